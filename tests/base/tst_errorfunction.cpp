#include "base/mdl_ErrorFunction.h"

#include "ErrorBesideWorker.h"
#include "RecordingPresenter.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::exception_ptr)

class TestErrorFunction : public QObject {
    Q_OBJECT

private slots:
    // A trapped exception becomes the error record, which the error box shows and then clears.
    void errorBox_data()
    {
        QTest::addColumn<std::exception_ptr>("exception");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("run-time error") << std::make_exception_ptr(RuntimeError(ErrorNumber::FileNotFound))
                                        << "53 File not found\rTavrelo";
        QTest::newRow("negative number, own source")
            << std::make_exception_ptr(RuntimeError(-2147221504, QStringLiteral("Automation error"), QStringLiteral("src")))
            << "-2147221504 Automation error\rsrc";
        QTest::newRow("out of memory") << std::make_exception_ptr(std::bad_alloc()) << "7 Out of memory\rTavrelo";
        QTest::newRow("other exception") << std::make_exception_ptr(std::runtime_error("bad thing")) << "5 bad thing\rTavrelo";
    }

    void errorBox()
    {
        QFETCH(std::exception_ptr, exception);
        QFETCH(QString, prompt);
        RecordingPresenter boxes;
        try {
            std::rethrow_exception(exception);
        } catch (...) {
            RecordCurrentException();
        }
        ShowErrorBox();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].style, 16);
        QCOMPARE(boxes.boxes[0].title, QStringLiteral("VB Error"));
        QCOMPARE(boxes.boxes[0].prompt, prompt);
        QCOMPARE(CurrentError().number, 0);
        QVERIFY(CurrentError().description.isEmpty());
    }

    // A rewrite runs on a worker thread, whose traps record and clear errors of their own (the
    // XML store's lookups trap every failure): the window's box, shown on its own thread
    // meanwhile, still tells the window's error. ThreadSanitizer sees any sharing of the record.
    void errorRecordPerThread()
    {
        const QList<RecordingPresenter::Box> boxes = BoxesBesideWorker([] {
            for (int i = 0; i < 2000; ++i) {
                try {
                    throw RuntimeError(ErrorNumber::FileNotFound);
                } catch (...) {
                    RecordCurrentException();
                }
                ClearCurrentError();
            }
        });
        QCOMPARE(boxes.size(), 2000);
        for (const RecordingPresenter::Box &box : boxes)
            QCOMPARE(box.prompt, QStringLiteral("6 Overflow\rTavrelo"));
    }

    // OK is the answer, the program's name the title when none is given; a style outside 16 bits shows nothing.
    void messageBox()
    {
        RecordingPresenter boxes;
        QCOMPARE(ShowMessageBox(MsgBox::Exclamation, QStringLiteral("p"), QStringLiteral("t")), MsgBox::Ok);
        QCOMPARE(ShowMessageBox(MsgBox::OkOnly, QStringLiteral("p")), MsgBox::Ok);
        try {
            ShowMessageBox(70000, QStringLiteral("p"));
            QFAIL("no overflow");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number(), 6);
        }
        QCOMPARE(boxes.boxes.size(), 2);
        QCOMPARE(boxes.boxes[0].style, 48);
        QCOMPARE(boxes.boxes[0].title, QStringLiteral("t"));
        QCOMPARE(boxes.boxes[1].title, QStringLiteral("Tavrelo"));
    }
};

QTEST_GUILESS_MAIN(TestErrorFunction)
#include "tst_errorfunction.moc"
