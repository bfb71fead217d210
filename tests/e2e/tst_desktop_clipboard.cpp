#include "services/ClipboardService.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <memory>

#include <csignal>

// The desktop's clipboard service against a real X server, where the clipboard and the selection
// are two: each mode reads, writes and waits for its own owner, which xclip plays.
namespace {

// An xclip that holds one selection with a text for as long as it lives.
struct Owner {
    Owner(const char *selection, const QByteArray &text)
    {
        process.start(QStringLiteral("xclip"), {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                                                QString::fromLatin1(selection), QStringLiteral("-i")});
        process.write(text);
        process.closeWriteChannel();
    }
    ~Owner()
    {
        ::kill(pid_t(process.processId()), SIGCONT);
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
};

// What xclip reads from a selection. The events go on meanwhile, so that this process answers
// for a selection it holds.
QByteArray Held(const char *selection)
{
    QProcess process;
    process.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), QString::fromLatin1(selection)});
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < 5000)
        QTest::qWait(10);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return QByteArrayLiteral("(xclip did not answer)");
    }
    return process.readAllStandardOutput();
}

QString Read(ClipboardMode mode)
{
    ClipboardSnapshot snapshot;
    return ReadClipboardSnapshot(mode, snapshot) ? snapshot.text : QStringLiteral("(busy)");
}

}

class TestDesktopClipboard : public QObject {
    Q_OBJECT

private slots:
    void readsEachMode()
    {
        const Owner clipboard("clipboard", "copied");
        const Owner selection("primary", "selected");
        QTRY_COMPARE(Read(ClipboardMode::Clipboard), QStringLiteral("copied"));
        QTRY_COMPARE(Read(ClipboardMode::Selection), QStringLiteral("selected"));
    }

    void writesEachMode()
    {
        const Owner clipboard("clipboard", "copied");
        QTRY_COMPARE(Held("clipboard"), QByteArray("copied"));
        QVERIFY(WriteClipboardText(ClipboardMode::Selection, QStringLiteral("選択")));
        QCOMPARE(Held("primary"), QStringLiteral("選択").toUtf8());
        QCOMPARE(Held("clipboard"), QByteArray("copied"));
        QVERIFY(WriteClipboardText(ClipboardMode::Clipboard, QStringLiteral("書いた")));
        QCOMPARE(Held("clipboard"), QStringLiteral("書いた").toUtf8());
        QCOMPARE(Held("primary"), QStringLiteral("選択").toUtf8());
    }

    // An owner that does not answer makes its own mode busy, within the time it is given, and
    // leaves the other mode alone.
    void silentOwnerOfOneMode_data()
    {
        QTest::addColumn<bool>("isSelectionSilent");
        QTest::newRow("selection") << true;
        QTest::newRow("clipboard") << false;
    }

    void silentOwnerOfOneMode()
    {
        QFETCH(bool, isSelectionSilent);
        const ClipboardMode silentMode = isSelectionSilent ? ClipboardMode::Selection : ClipboardMode::Clipboard;
        const ClipboardMode otherMode = isSelectionSilent ? ClipboardMode::Clipboard : ClipboardMode::Selection;
        const Owner silent(isSelectionSilent ? "primary" : "clipboard", "stopped");
        const Owner other(isSelectionSilent ? "clipboard" : "primary", "answers");
        QTRY_COMPARE(Read(silentMode), QStringLiteral("stopped"));
        QTRY_COMPARE(Read(otherMode), QStringLiteral("answers"));
        QVERIFY(::kill(pid_t(silent.process.processId()), SIGSTOP) == 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(Read(silentMode), QStringLiteral("(busy)"));
        QVERIFY2(timer.elapsed() < ClipboardRetry::OwnerMilliseconds + 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(Read(otherMode), QStringLiteral("answers"));
    }
};

QTEST_MAIN(TestDesktopClipboard)
#include "tst_desktop_clipboard.moc"
