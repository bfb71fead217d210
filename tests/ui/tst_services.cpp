#include "RecordingPresenter.h"
#include "app/MessageBoxPresenter.h"
#include "app/SingleInstance.h"
#include "app/mdl_API_Shell32.h"
#include "app/mdl_API_Win32.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <QtTest>

namespace {

// Answers every request with a fixed shell result and remembers what it was asked.
class RecordingOpener : public LinkOpener {
public:
    explicit RecordingOpener(qint32 result) : m_result(result) { SetLinkOpener(this); }
    ~RecordingOpener() override { SetLinkOpener(nullptr); }

    qint32 open(quintptr hWnd, const QString &target) override
    {
        calls.append({hWnd, target});
        return m_result;
    }

    QList<QPair<quintptr, QString>> calls;

private:
    qint32 m_result;
};

class ThrowingOpener : public LinkOpener {
public:
    ThrowingOpener() { SetLinkOpener(this); }
    ~ThrowingOpener() override { SetLinkOpener(nullptr); }
    qint32 open(quintptr, const QString &) override { throw RuntimeError(ErrorNumber::OutOfMemory); }
};

// create() and destroy() are protected; the tests need to rebuild the native window.
class RecreatableWidget : public QWidget {
public:
    using QWidget::create;
    using QWidget::destroy;
};

bool stayOnTopFlag(const QWidget &widget)
{
    return widget.windowHandle() && widget.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}

}

class TestServices : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void shellErrorMessage_data();
    void shellErrorMessage();
    void shellExecuteOpenAsksTheOpener_data();
    void shellExecuteOpenAsksTheOpener();
    void shellExecuteOpenReportsRefusal_data();
    void shellExecuteOpenReportsRefusal();
    void shellExecuteOpenReportsUnexpectedFailure();
    void missingLocalTargetIsReported_data();
    void missingLocalTargetIsReported();
    void desktopWindowIsZeroOffWindows();

    void setWindowTopMost_data();
    void setWindowTopMost();
    void topMostSurvivesNativeWindowRecreation();
    void nullWindowIsIgnored();

    void lockHeldByAnotherProcessBlocks();
    void staleLockDoesNotBlock();

    void messageBoxStyle_data();
    void messageBoxStyle();
    void buttonCodes_data();
    void buttonCodes();
    void displayText_data();
    void displayText();
};

void TestServices::initTestCase()
{
    // A run of these tests that was killed may have left its lock file behind.
    QFile::remove(InstanceLockPath());
}

void TestServices::shellErrorMessage_data()
{
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("message");

    const QMap<qint32, QString> named{
        {2, "File not found"},
        {3, "Path not found"},
        {5, "Access denied"},
        {8, "Out of memory"},
        {11, "Invalid EXE file or error in EXE image"},
        {26, "A sharing violation occurred"},
        {27, "Incomplete or invalid file association"},
        {28, "DDE Time out"},
        {29, "DDE transaction failed"},
        {30, "DDE busy"},
        {31, "No association for file extension"},
        {32, "DLL not found"},
    };
    for (qint32 code = 0; code <= 32; ++code)
        QTest::addRow("%d", code) << code << named.value(code, QStringLiteral("Unknown error"));
    QTest::newRow("negative") << -1 << "Unknown error";
}

void TestServices::shellErrorMessage()
{
    QFETCH(qint32, code);
    QFETCH(QString, message);
    QCOMPARE(ShellErrorMessage(code), message);
}

void TestServices::shellExecuteOpenAsksTheOpener_data()
{
    QTest::addColumn<quintptr>("hWnd");
    QTest::addColumn<QString>("target");

    QTest::newRow("address") << quintptr(0) << "https://translate.google.com/";
    QTest::newRow("address with query and quotes")
        << quintptr(0) << "https://example.com/search?q=a b&x='1'\"; rm -rf ~";
    QTest::newRow("path with blanks") << quintptr(77) << "/tmp/a folder/メモ.txt";
    QTest::newRow("owner handle passed on") << quintptr(0x10010) << "mailto:taro@example.com";
}

void TestServices::shellExecuteOpenAsksTheOpener()
{
    QFETCH(quintptr, hWnd);
    QFETCH(QString, target);

    RecordingPresenter boxes;
    RecordingOpener opener(33);
    QVERIFY(ShellExecuteOpen(hWnd, target));
    QCOMPARE(opener.calls.size(), 1);
    QCOMPARE(opener.calls.first().first, hWnd);
    QCOMPARE(opener.calls.first().second, target);
    QVERIFY(boxes.boxes.isEmpty());
}

void TestServices::shellExecuteOpenReportsRefusal_data()
{
    QTest::addColumn<qint32>("result");
    QTest::addColumn<QString>("message");

    QTest::newRow("0 resources") << 0 << "Unknown error";
    QTest::newRow("2 file") << 2 << "File not found";
    QTest::newRow("3 path") << 3 << "Path not found";
    QTest::newRow("5 access") << 5 << "Access denied";
    QTest::newRow("8 memory") << 8 << "Out of memory";
    QTest::newRow("31 association") << 31 << "No association for file extension";
    QTest::newRow("32 last refusal") << 32 << "DLL not found";
}

void TestServices::shellExecuteOpenReportsRefusal()
{
    QFETCH(qint32, result);
    QFETCH(QString, message);

    RecordingPresenter boxes;
    RecordingOpener opener(result);
    QVERIFY(!ShellExecuteOpen(0, QStringLiteral("C:\\report.xyz")));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().style, MsgBox::OkOnly);
    QCOMPARE(boxes.boxes.first().prompt, message);
    QCOMPARE(boxes.boxes.first().title, ApplicationTitle());
}

void TestServices::shellExecuteOpenReportsUnexpectedFailure()
{
    RecordingPresenter boxes;
    ThrowingOpener opener;
    QVERIFY(!ShellExecuteOpen(0, QStringLiteral("https://example.com/")));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().style, MsgBox::Critical);
    QCOMPARE(boxes.boxes.first().title, QStringLiteral("VB Error"));
    QCOMPARE(boxes.boxes.first().prompt, QStringLiteral("7 Out of memory\r") + ApplicationTitle());
    QCOMPARE(CurrentError().number, 0);
}

void TestServices::missingLocalTargetIsReported_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("asUrl");
    QTest::addColumn<QString>("message");

    QTest::newRow("file in existing folder") << "missing.txt" << false << "File not found";
    QTest::newRow("file url in existing folder") << "missing.txt" << true << "File not found";
    QTest::newRow("folder missing") << "gone/missing.txt" << false << "Path not found";
    QTest::newRow("file url, folder missing") << "gone/missing.txt" << true << "Path not found";
    QTest::newRow("missing folder itself") << "gone/" << false << "Path not found";
}

void TestServices::missingLocalTargetIsReported()
{
    QFETCH(QString, relative);
    QFETCH(bool, asUrl);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(relative);
    const QString target = asUrl ? QUrl::fromLocalFile(path).toString() : path;

    RecordingPresenter boxes;
    QVERIFY(!ShellExecuteOpen(0, target));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().prompt, message);
    QCOMPARE(boxes.boxes.first().style, MsgBox::OkOnly);
}

void TestServices::desktopWindowIsZeroOffWindows()
{
#ifdef Q_OS_WIN
    QVERIFY(GetDesktopWindow() != 0);
#else
    QCOMPARE(GetDesktopWindow(), quintptr(0));
#endif
}

void TestServices::setWindowTopMost_data()
{
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QList<bool>>("states");

    QTest::newRow("shown, on") << true << QList<bool>{true};
    QTest::newRow("shown, on then off") << true << QList<bool>{true, false};
    QTest::newRow("shown, off while off") << true << QList<bool>{false};
    QTest::newRow("shown, on twice then off") << true << QList<bool>{true, true, false};
    QTest::newRow("not yet shown, on") << false << QList<bool>{true};
    QTest::newRow("not yet shown, on then off") << false << QList<bool>{true, false};
}

void TestServices::setWindowTopMost()
{
    QFETCH(bool, shown);
    QFETCH(QList<bool>, states);

    QWidget window;
    window.setWindowTitle(QStringLiteral("palette"));
    window.setGeometry(300, 200, 184, 66);
    if (shown) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    const QRect geometry = window.geometry();

    for (bool state : states) {
        SetWindowTopMost(&window, state);
        QVERIFY(window.windowHandle());
        QCOMPARE(stayOnTopFlag(window), state);
        QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), state);
        QCOMPARE(window.isVisible(), shown);
        QCOMPARE(window.geometry(), geometry);
    }

    if (!shown) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(stayOnTopFlag(window), states.last());
        QCOMPARE(window.geometry().size(), geometry.size());
    }
}

void TestServices::topMostSurvivesNativeWindowRecreation()
{
    RecreatableWidget window;
    window.setGeometry(300, 200, 184, 66);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SetWindowTopMost(&window, true);

    window.destroy();
    QVERIFY(!window.windowHandle());
    window.create();
    QVERIFY(window.windowHandle());
    QVERIFY(stayOnTopFlag(window));

    SetWindowTopMost(&window, false);
    window.destroy();
    window.create();
    QVERIFY(!stayOnTopFlag(window));
}

void TestServices::nullWindowIsIgnored()
{
    SetWindowTopMost(nullptr, true);
}

void TestServices::lockHeldByAnotherProcessBlocks()
{
    // A live lock owner: the lock file names a running process and is held.
    QLockFile other(InstanceLockPath());
    QVERIFY(other.tryLock(0));
    QVERIFY(AnotherInstanceRuns());
    QVERIFY(AnotherInstanceRuns());
    other.unlock();
}

void TestServices::staleLockDoesNotBlock()
{
    const QString path = InstanceLockPath();
    QByteArray content;
    {
        QLockFile lock(path);
        QVERIFY(lock.tryLock(0));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        content = file.readAll();
    }
    QVERIFY(!QFile::exists(path));

    // A process that has ended leaves its PID behind, as a killed instance would.
    QProcess finished;
    finished.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
    QVERIFY(finished.waitForStarted());
    const QByteArray deadPid = QByteArray::number(finished.processId());
    QVERIFY(finished.waitForFinished());
    content.replace(0, content.indexOf('\n'), deadPid);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QVERIFY(!AnotherInstanceRuns());
    QVERIFY2(!QLockFile(path).tryLock(0), "this process should now hold the lock");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readLine().trimmed(), QByteArray::number(QCoreApplication::applicationPid()));
    // The holder asking again is not another instance.
    QVERIFY(!AnotherInstanceRuns());
}

void TestServices::messageBoxStyle_data()
{
    using Buttons = QList<QMessageBox::StandardButton>;
    QTest::addColumn<qint32>("style");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<QMessageBox::StandardButton>("defaultButton");

    QTest::newRow("0 OK, no icon") << 0 << QMessageBox::NoIcon << Buttons{QMessageBox::Ok} << QMessageBox::Ok;
    QTest::newRow("16 critical") << 16 << QMessageBox::Critical << Buttons{QMessageBox::Ok} << QMessageBox::Ok;
    QTest::newRow("32 question") << 32 << QMessageBox::Question << Buttons{QMessageBox::Ok} << QMessageBox::Ok;
    QTest::newRow("48 exclamation") << 48 << QMessageBox::Warning << Buttons{QMessageBox::Ok} << QMessageBox::Ok;
    QTest::newRow("64 information") << 64 << QMessageBox::Information << Buttons{QMessageBox::Ok} << QMessageBox::Ok;
    QTest::newRow("1 OK/Cancel") << 1 << QMessageBox::NoIcon << Buttons{QMessageBox::Ok, QMessageBox::Cancel}
                                 << QMessageBox::Ok;
    QTest::newRow("2 Abort/Retry/Ignore")
        << 2 << QMessageBox::NoIcon << Buttons{QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}
        << QMessageBox::Abort;
    QTest::newRow("35 question, Yes/No/Cancel")
        << 35 << QMessageBox::Question << Buttons{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}
        << QMessageBox::Yes;
    QTest::newRow("52 exclamation, Yes/No") << 52 << QMessageBox::Warning
                                            << Buttons{QMessageBox::Yes, QMessageBox::No} << QMessageBox::Yes;
    QTest::newRow("21 critical, Retry/Cancel") << 21 << QMessageBox::Critical
                                               << Buttons{QMessageBox::Retry, QMessageBox::Cancel}
                                               << QMessageBox::Retry;
    QTest::newRow("259 second default") << 259 << QMessageBox::NoIcon
                                        << Buttons{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}
                                        << QMessageBox::No;
    QTest::newRow("514 third default") << 514 << QMessageBox::NoIcon
                                       << Buttons{QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}
                                       << QMessageBox::Ignore;
    QTest::newRow("772 default beyond the buttons")
        << 772 << QMessageBox::NoIcon << Buttons{QMessageBox::Yes, QMessageBox::No} << QMessageBox::Yes;
    QTest::newRow("4144 system modal, exclamation") << 4144 << QMessageBox::Warning << Buttons{QMessageBox::Ok}
                                                    << QMessageBox::Ok;
}

void TestServices::messageBoxStyle()
{
    QFETCH(qint32, style);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QList<QMessageBox::StandardButton>, buttons);
    QFETCH(QMessageBox::StandardButton, defaultButton);

    QCOMPARE(MessageBoxPresenter::IconOfStyle(style), icon);
    QCOMPARE(MessageBoxPresenter::ButtonsOfStyle(style), buttons);
    QCOMPARE(MessageBoxPresenter::DefaultButtonOfStyle(style), defaultButton);
}

void TestServices::buttonCodes_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("button");
    QTest::addColumn<qint16>("code");

    QTest::newRow("OK") << QMessageBox::Ok << qint16(1);
    QTest::newRow("Cancel") << QMessageBox::Cancel << qint16(2);
    QTest::newRow("Abort") << QMessageBox::Abort << qint16(3);
    QTest::newRow("Retry") << QMessageBox::Retry << qint16(4);
    QTest::newRow("Ignore") << QMessageBox::Ignore << qint16(5);
    QTest::newRow("Yes") << QMessageBox::Yes << qint16(6);
    QTest::newRow("No") << QMessageBox::No << qint16(7);
}

void TestServices::buttonCodes()
{
    QFETCH(QMessageBox::StandardButton, button);
    QFETCH(qint16, code);
    QCOMPARE(MessageBoxPresenter::CodeOfButton(button), code);
}

void TestServices::displayText_data()
{
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("shown");

    QTest::newRow("error box's lone CR") << "7 Out of memory\rTavrelo" << "7 Out of memory\nTavrelo";
    QTest::newRow("CR LF is one break") << "以下のファイルがみあたりません\r\n『』" << "以下のファイルがみあたりません\n『』";
    QTest::newRow("LF kept") << "a\nb" << "a\nb";
}

void TestServices::displayText()
{
    QFETCH(QString, prompt);
    QFETCH(QString, shown);
    QCOMPARE(MessageBoxPresenter::DisplayText(prompt), shown);
}

QTEST_MAIN(TestServices)
#include "tst_services.moc"
