#include "app/SingleInstance.h"
#include "platform/NativeInstanceMailbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

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

// One palette per user and program file: the lock, and the window a second start brings forward.
class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    // A row that failed half-way gives the lock up all the same.
    void cleanup() { ReleaseInstanceLock(); }
    void instanceLock_data();
    void instanceLock();
    void instanceWindow_data();
    void instanceWindow();
};

void TestSingleInstance::instanceLock_data()
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

void TestSingleInstance::instanceLock()
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

void TestSingleInstance::instanceWindow_data()
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
// it, and whatever it finds there ends it at once. No window can be brought to the front here:
// only the mailbox that the holder opens as it publishes takes the request.
void TestSingleInstance::instanceWindow()
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
    // The holder takes a later start's request in its mailbox where the system has one; on
    // Windows a later start reaches the window itself, which here is none.
    const bool hasMailbox =
        InstanceMailbox(QDir(runtime.folder.path()).filePath(QStringLiteral("probe.socket")).toStdU16String(), {}).isOpen();
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(BringInstanceToFront(), file == QLatin1String("published") && hasMailbox);
    QVERIFY(timer.elapsed() < 5000);
    ReleaseInstanceLock();
    if (file == QLatin1String("published"))
        QVERIFY(!QFileInfo::exists(windowPath));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
