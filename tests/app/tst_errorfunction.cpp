#include "app/mdl_ErrorFunction.h"

#include "RecordingPresenter.h"

#include <QtTest>

class TestErrorFunction : public QObject {
    Q_OBJECT

private slots:
    void errorBoxPrompt_data();
    void errorBoxPrompt();
    void trappedExceptions_data();
    void trappedExceptions();
    void messageBox();
    void styleOutside16BitsOverflows();
};

void TestErrorFunction::errorBoxPrompt_data()
{
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("prompt");

    QTest::newRow("overflow") << 6 << "Overflow" << "Tavrelo" << "6 Overflow\rTavrelo";
    QTest::newRow("negative number") << -2147221504 << "Automation error" << "Tavrelo"
                                     << "-2147221504 Automation error\rTavrelo";
}

void TestErrorFunction::errorBoxPrompt()
{
    QFETCH(qint32, number);
    QFETCH(QString, description);
    QFETCH(QString, source);
    QFETCH(QString, prompt);

    RecordingPresenter boxes;
    SetCurrentError({number, description, source});
    ShowErrorBox();
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].style, 16);
    QCOMPARE(boxes.boxes[0].title, QStringLiteral("VB Error"));
    QCOMPARE(boxes.boxes[0].prompt, prompt);
    QCOMPARE(CurrentError().number, 0);
    QVERIFY(CurrentError().description.isEmpty());
}

void TestErrorFunction::trappedExceptions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QString>("description");

    QTest::newRow("run-time error") << 0 << 53 << "File not found";
    QTest::newRow("out of memory") << 1 << 7 << "Out of memory";
    QTest::newRow("other exception") << 2 << 5 << "bad thing";
}

void TestErrorFunction::trappedExceptions()
{
    QFETCH(int, kind);
    QFETCH(qint32, number);
    QFETCH(QString, description);
    try {
        if (kind == 0)
            throw RuntimeError(ErrorNumber::FileNotFound);
        if (kind == 1)
            throw std::bad_alloc();
        throw std::runtime_error("bad thing");
    } catch (...) {
        RecordCurrentException();
    }
    QCOMPARE(CurrentError().number, number);
    QCOMPARE(CurrentError().description, description);
    QCOMPARE(CurrentError().source, QStringLiteral("Tavrelo"));
    ClearCurrentError();
}

void TestErrorFunction::messageBox()
{
    RecordingPresenter boxes;
    QCOMPARE(ShowMessageBox(MsgBox::Exclamation, QStringLiteral("p"), QStringLiteral("t")), MsgBox::Ok);
    QCOMPARE(ShowMessageBox(MsgBox::OkOnly, QStringLiteral("p")), MsgBox::Ok);
    QCOMPARE(boxes.boxes.size(), 2);
    QCOMPARE(boxes.boxes[0].style, 48);
    QCOMPARE(boxes.boxes[0].title, QStringLiteral("t"));
    QCOMPARE(boxes.boxes[1].title, QStringLiteral("Tavrelo"));
}

void TestErrorFunction::styleOutside16BitsOverflows()
{
    RecordingPresenter boxes;
    try {
        ShowMessageBox(70000, QStringLiteral("p"));
        QFAIL("no overflow");
    } catch (const RuntimeError &e) {
        QCOMPARE(e.number(), 6);
    }
    QVERIFY(boxes.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(TestErrorFunction)
#include "tst_errorfunction.moc"
