#include "PaletteFixture.h"
#include "app/MessageBoxPresenter.h"
#include "app/NativeForeground.h"
#include "app/SingleInstance.h"

#include <QLibrary>
#include <QLockFile>
#include <QProcess>
#include <QWidget>

#include <optional>

namespace {

// Wine's ntdll answers its own version; Windows' does not.
bool RunsUnderWine()
{
    return QLibrary(QStringLiteral("ntdll")).resolve("wine_get_version") != nullptr;
}

constexpr qint32 kDesktop = std::numeric_limits<qint32>::max(); // no recorded shell: the desktop's own

// A runtime folder of the test's own for as long as it lives: the runtime folder of Unix
// desktops, the temporary folder of Windows.
struct OwnRuntimeFolder {
    OwnRuntimeFolder()
    {
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        for (const QByteArray &variable : variables) {
            saved.append(qgetenv(variable));
            qputenv(variable, QFile::encodeName(QDir::toNativeSeparators(folder.path())));
        }
    }
    ~OwnRuntimeFolder()
    {
        for (qsizetype i = 0; i < variables.size(); ++i)
            saved[i].isNull() ? qunsetenv(variables[i]) : qputenv(variables[i], saved[i]);
    }
    QTemporaryDir folder;
    const QList<QByteArray> variables{"XDG_RUNTIME_DIR", "TMP", "TEMP"};
    QList<QByteArray> saved;
};
}

class TestServices : public QObject {
    Q_OBJECT

private slots:
    void shellExecuteOpen_data();
    void shellExecuteOpen();
    void instanceLock_data();
    void instanceLock();
    void instanceWindow_data();
    void instanceWindow();
    void bringToFront_data();
    void bringToFront();
    void messageBoxStyle_data();
    void messageBoxStyle();
};

void TestServices::shellExecuteOpen_data()
{
    QTest::addColumn<QString>("target"); // a relative path or "file:" URL lies in an empty temporary folder
    QTest::addColumn<qint32>("result");
    QTest::addColumn<QString>("prompt");

    // Handed on untouched: no shell parses the target.
    const QString url = QStringLiteral("https://example.com/search?q=a b&x='1'\"; rm -rf ~");
    // Accepted; 0 is not "Out of memory", only 8 is; a failing call shows the error box. The
    // Windows lane checks the message of every code.
    const QMap<qint32, QString> rows{{33, QString()}, {0, "Unknown error"}, {8, "Out of memory"},
                                     {-1, "7 Out of memory\r" + ApplicationTitle()}}; // -1 throws
    for (auto row = rows.begin(); row != rows.end(); ++row)
        QTest::addRow("%d", row.key()) << url << row.key() << row.value();
    QTest::newRow("missing file") << "missing.txt" << kDesktop << "File not found";
    QTest::newRow("missing file url") << "file:missing.txt" << kDesktop << "File not found";
    QTest::newRow("file url, folder missing") << "file:gone/missing.txt" << kDesktop << "Path not found";
    QTest::newRow("missing folder itself") << "gone/" << kDesktop << "Path not found";
}

void TestServices::shellExecuteOpen()
{
    QFETCH(QString, target);
    QFETCH(qint32, result);
    QFETCH(QString, prompt);
    if (result == kDesktop && prompt == QLatin1String("Path not found") && RunsUnderWine())
        QSKIP("wine's shell answers 2 (file not found) for a missing folder, where Windows answers 3");
    RecordingPresenter presenter;
    QTemporaryDir dir;
    std::optional<RecordingOpener> opener;
    if (result != kDesktop)
        opener.emplace(result);
    else if (target.startsWith(QLatin1String("file:")))
        target = QUrl::fromLocalFile(dir.filePath(target.mid(5))).toString();
    else
        target = dir.filePath(target);

    QCOMPARE(mdl_API_Shell32::ShellExecuteOpen(0x10010, target), prompt.isEmpty());
    if (opener)
        QCOMPARE(opener->calls, (QList<QPair<quintptr, QString>>{{0x10010, target}}));
    QCOMPARE(presenter.boxes.size(), prompt.isEmpty() ? 0 : 1);
    if (!prompt.isEmpty()) {
        QCOMPARE(presenter.boxes[0].prompt, prompt);
        QCOMPARE(presenter.boxes[0].style, result < 0 ? MsgBox::Critical : MsgBox::OkOnly);
        QCOMPARE(presenter.boxes[0].title, result < 0 ? QStringLiteral("VB Error") : ApplicationTitle());
    }
    QCOMPARE(CurrentError().number, 0);
}

void TestServices::instanceLock_data()
{
    QTest::addColumn<QString>("lock"); // what lies at the lock's path before the start
    QTest::addColumn<bool>("isRunning");
    QTest::addColumn<bool>("isLocked"); // whether this start holds the lock afterwards

    QTest::newRow("none") << "none" << false << true;
    QTest::newRow("a live holder") << "live" << true << false;
    // A process that has ended leaves its PID behind, as a killed instance would.
    QTest::newRow("an ended holder") << "ended" << false << true;
    // Process ids are reused: a new start may get the very id of a killed instance (as on Windows).
    QTest::newRow("an ended holder with this process's id") << "own id" << false << true;
    // A crash between creating and writing the file, or a file put there by hand.
    QTest::newRow("empty") << "empty" << false << true;
    QTest::newRow("garbled") << "garbled" << false << true;
    QTest::newRow("unreadable") << "unreadable" << false << true;
    // No lock can be made at all: the palette starts without one rather than never.
    QTest::newRow("a folder in the way") << "folder" << false << false;
}

void TestServices::instanceLock()
{
    QFETCH(QString, lock);
    QFETCH(bool, isRunning);
    QFETCH(bool, isLocked);
    QTemporaryDir runtime;
    // A runtime folder of a Unix desktop must be private; Windows folders have no such bits.
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The runtime folder of Unix desktops, the temporary folder of Windows.
    const QList<QByteArray> variables{"XDG_RUNTIME_DIR", "TMP", "TEMP"};
    QList<QByteArray> saved;
    for (const QByteArray &variable : variables) {
        saved.append(qgetenv(variable));
        qputenv(variable, QFile::encodeName(QDir::toNativeSeparators(runtime.path())));
    }
    const auto restore = qScopeGuard([&] {
        ReleaseInstanceLock();
        for (qsizetype i = 0; i < variables.size(); ++i)
            saved[i].isNull() ? qunsetenv(variables[i]) : qputenv(variables[i], saved[i]);
    });
    const QString path = InstanceLockPath();
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(runtime.path()).absoluteFilePath());

    QLockFile other(path);
    QFile file(path);
    const bool isEnded = lock == QLatin1String("ended") || lock == QLatin1String("own id");
    if (lock == QLatin1String("live") || isEnded) {
        QVERIFY(other.tryLock(0));
    } else if (lock == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (lock != QLatin1String("none")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lock == QLatin1String("garbled") ? QByteArray("not a lock\n\xff\n") : QByteArray());
        file.close();
        if (lock == QLatin1String("unreadable") && !file.setPermissions(QFileDevice::Permissions()))
            QSKIP("this system cannot take its owner's right to read a file");
    }
    if (isEnded) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray content = file.readAll();
        file.close();
        other.unlock();
        qint64 pid = QCoreApplication::applicationPid();
        if (lock == QLatin1String("ended")) {
            QProcess finished;
            finished.start(QCoreApplication::applicationFilePath(), {QStringLiteral("-functions")});
            QVERIFY(finished.waitForStarted());
            pid = finished.processId();
            QVERIFY(finished.waitForFinished());
        }
        content.replace(0, content.indexOf('\n'), QByteArray::number(pid));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0);
        file.close();
    }

    QCOMPARE(AnotherInstanceRuns(), isRunning);
    if (isLocked) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readLine().trimmed(), QByteArray::number(QCoreApplication::applicationPid()));
        file.close();
        // The holder asking again is not another instance.
        QVERIFY(!AnotherInstanceRuns());
    }
    ReleaseInstanceLock();
    QCOMPARE(QFileInfo(path).isFile(), lock == QLatin1String("live"));
}

void TestServices::instanceWindow_data()
{
    QTest::addColumn<QString>("file"); // what names the holder's window for a second start

    QTest::newRow("published by the holder") << "published";
    QTest::newRow("none") << "none";
    QTest::newRow("garbled") << "garbled";
    QTest::newRow("a number too large") << "large";
    // A file that never answers must not hold the second start up.
    QTest::newRow("a FIFO") << "fifo";
}

// The holder names its window beside the lock until it gives the lock up; a second start reads
// it, and whatever it finds there ends it at once (here no window can be brought to the front).
void TestServices::instanceWindow()
{
    QFETCH(QString, file);
    const OwnRuntimeFolder runtime;
    const QString lockPath = InstanceLockPath();
    const QString windowPath = lockPath.chopped(5) + QStringLiteral(".window");
    QLockFile holder(lockPath);
    QVERIFY(holder.tryLock(0));
    if (file == QLatin1String("fifo")) {
        if (QProcess::execute(QStringLiteral("mkfifo"), {windowPath}) != 0)
            QSKIP("no FIFO can be made here");
    } else if (file != QLatin1String("none") && file != QLatin1String("published")) {
        QFile out(windowPath);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file == QLatin1String("garbled") ? QByteArray("\xff\x00 window\n") : QByteArray("99999999999999999999999\n"));
    }
    QVERIFY(AnotherInstanceRuns());
    if (file == QLatin1String("published")) {
        // Only the holder publishes.
        PublishInstanceWindow(0x1234);
        QVERIFY(!QFileInfo::exists(windowPath));
        holder.unlock();
        QVERIFY(!AnotherInstanceRuns());
        PublishInstanceWindow(0x1234);
        QFile in(windowPath);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), QByteArray::number(0x1234) + '\n');
    }
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!BringInstanceToFront());
    QVERIFY(timer.elapsed() < 5000);
    ReleaseInstanceLock();
    if (file == QLatin1String("published"))
        QVERIFY(!QFileInfo::exists(windowPath));
}

void TestServices::bringToFront_data()
{
    QTest::addColumn<bool>("isOwnWindow");
    QTest::addColumn<qint64>("pidOffset"); // from this process's id
    QTest::addColumn<bool>("isBrought");

    QTest::newRow("this process's window") << true << qint64(0) << true;
    // Handles are reused: one that now names another program's window is left alone.
    QTest::newRow("another process's id") << true << qint64(1) << false;
    QTest::newRow("no window") << false << qint64(0) << false;
}

// A minimised window comes back. Where the desktop needs a window manager for that (X11; see
// e2e_session) or has no way at all (offscreen), nothing is done and the answer is false.
void TestServices::bringToFront()
{
    QFETCH(bool, isOwnWindow);
    QFETCH(qint64, pidOffset);
    QFETCH(bool, isBrought);
    const bool canBring = QGuiApplication::platformName() == QLatin1String("windows");
    QWidget window;
    window.showMinimized();
    const std::uintptr_t handle = isOwnWindow ? std::uintptr_t(window.winId()) : 0;
    QCOMPARE(NativeForeground::BringToFront(handle, QCoreApplication::applicationPid() + pidOffset), canBring && isBrought);
    if (canBring)
        QTRY_COMPARE(window.isMinimized(), !isBrought);
}

void TestServices::messageBoxStyle_data()
{
    using B = QMessageBox;
    using Buttons = QList<B::StandardButton>;
    QTest::addColumn<qint32>("style");
    QTest::addColumn<B::Icon>("icon");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<B::StandardButton>("defaultButton");

    QTest::newRow("0") << 0 << B::NoIcon << Buttons{B::Ok} << B::Ok;
    QTest::newRow("291 second default") << 291 << B::Question << Buttons{B::Yes, B::No, B::Cancel} << B::No;
    // The default beyond the buttons falls back to the first; the system-modal bit is ignored.
    QTest::newRow("4884") << 4884 << B::Critical << Buttons{B::Yes, B::No} << B::Yes;
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
    // A lone CR breaks the line as CR LF does.
    QCOMPARE(MessageBoxPresenter::DisplayText("a\rb\r\nc\nd"), QStringLiteral("a\nb\nc\nd"));
}

QTEST_MAIN(TestServices)
#include "tst_services.moc"
