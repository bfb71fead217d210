#include "RecordingPresenter.h"
#include "services/ClipboardService.h"
#include "ui/PaletteActions.h"

#include <QToolTip>
#include <QWidget>
#include <QtTest>

// A run by a global key that pastes its result, where the desktop takes no keystroke from a
// program (offscreen here, as native Wayland): the result stays on the clipboard, written so
// that a read of it can be told, the user is told so once, and Ctrl+Z undoes the run as it
// undoes a click. Where the keystroke goes, the end-to-end tests show the paste and the restore.
namespace {

struct WatchingClipboard : ClipboardPort {
    WatchingClipboard() { SetClipboardPort(this); }
    ~WatchingClipboard() override { SetClipboardPort(nullptr); }
    bool read(ClipboardMode, QString &value) override
    {
        value = held.text;
        if (read_)
            read_();
        return true;
    }
    bool write(ClipboardMode, const QString &value) override
    {
        held = ClipboardSnapshot{value, {}, false};
        return true;
    }
    bool readAll(ClipboardMode, ClipboardSnapshot &snapshot) override
    {
        snapshot = held;
        return true;
    }
    bool writeAll(ClipboardMode, const ClipboardSnapshot &snapshot) override
    {
        held = snapshot;
        return true;
    }
    bool writeWatched(ClipboardMode mode, const QString &text, const QStringList &formats,
                      const std::function<void()> &read) override
    {
        watchedWrites.append(formats);
        read_ = read;
        return write(mode, text);
    }
    ClipboardSnapshot held;
    QList<QStringList> watchedWrites;
    std::function<void()> read_;
};

GeneratedText Upper(const QString &text, const CancelToken *)
{
    return GeneratedText{GeneratedText::Outcome::Made, text.toUpper(), {}, -1};
}

}

class TestPalettePaste : public QObject {
    Q_OBJECT

private slots:
    void withoutKeystrokes_data();
    void withoutKeystrokes();
};

void TestPalettePaste::withoutKeystrokes_data()
{
    QTest::addColumn<bool>("isRestore");
    QTest::newRow("Paste") << false;
    QTest::newRow("Paste and Restore: nothing is given back before a read") << true;
}

void TestPalettePaste::withoutKeystrokes()
{
    QFETCH(bool, isRestore);
#ifdef Q_OS_WIN
    // Windows takes a program's keystrokes on every desktop: there the paste goes, and the
    // Windows end-to-end test shows it and the restore.
    QSKIP("Windows never refuses the keystroke");
#endif
    RecordingPresenter presenter;
    WatchingClipboard clipboard;
    clipboard.held = ClipboardSnapshot{
        QStringLiteral("given"), {{QStringLiteral("text/html"), QByteArray("<b>given</b>")}}, false};
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaletteActions actions(&window);

    actions.act(&window, QStringLiteral("大文字"), true, &Upper, PaletteActions::Paste{1, isRestore});
    QCOMPARE(clipboard.held.text, QStringLiteral("GIVEN"));
    QCOMPARE(clipboard.watchedWrites.size(), 1);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY2(QToolTip::text().contains(QStringLiteral("貼り付けを送れません")), qPrintable(QToolTip::text()));
    QVERIFY(presenter.boxes.isEmpty());

    // Undo gives back what the clipboard held before the run, every format, as after a click.
    actions.undo();
    QCOMPARE(clipboard.held.text, QStringLiteral("given"));
    QCOMPARE(clipboard.held.formats.size(), 1);

    // Said once: the next run leaves the result without a word.
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    actions.act(&window, QStringLiteral("大文字"), true, &Upper, PaletteActions::Paste{1, isRestore});
    QCOMPARE(clipboard.held.text, QStringLiteral("GIVEN"));
    QCOMPARE(clipboard.watchedWrites.size(), 2);
    QTest::qWait(50);
    QVERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TestPalettePaste)
#include "tst_palette_paste.moc"
