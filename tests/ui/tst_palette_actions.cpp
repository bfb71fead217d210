#include "PaletteFixture.h"
#include "RecordingOpener.h"
#include "services/ClipboardService.h"
#include "services/mdl_API_Win32.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <optional>

namespace {

// A clipboard that another program may hold: it refuses a number of reads and writes, or swallows
// writes so that they never read back; what it does take goes to the desktop's clipboard.
struct BusyClipboard : ClipboardPort {
    explicit BusyClipboard(const QList<int> &busy) : refusedReads(busy[0]), refusedWrites(busy[1]), isSwallowingWrites(busy[2])
    {
        SetClipboardPort(this);
    }
    ~BusyClipboard() override { SetClipboardPort(nullptr); }
    bool read(ClipboardMode, QString &value) override
    {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        sawWaitCursor |= cursor && cursor->shape() == Qt::WaitCursor;
        if (refusedReads-- > 0)
            return false;
        value = QGuiApplication::clipboard()->text();
        return true;
    }
    bool write(ClipboardMode, const QString &value) override
    {
        ++writes;
        if (refusedWrites-- > 0)
            return false;
        if (!isSwallowingWrites)
            QGuiApplication::clipboard()->setText(value);
        return true;
    }
    int refusedReads, refusedWrites, writes = 0;
    bool isSwallowingWrites, sawWaitCursor = false;
};

// A clipboard with a picture beside its text; what is written goes to the desktop's clipboard too.
struct PictureClipboard : ClipboardPort {
    PictureClipboard() { SetClipboardPort(this); }
    ~PictureClipboard() override { SetClipboardPort(nullptr); }
    bool read(ClipboardMode, QString &value) override
    {
        value = held.text;
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
    ClipboardSnapshot held;
};

// Remembers too whether a cursor was still up when a box came.
struct CursorPresenter : RecordingPresenter {
    qint16 show(qint32 style, const QString &prompt, const QString &title) override
    {
        cursorAtBox |= QGuiApplication::overrideCursor() != nullptr;
        return RecordingPresenter::show(style, prompt, title);
    }
    bool cursorAtBox = false;
};

}

class TestPaletteActions : public QObject {
    Q_OBJECT

private slots:
    void init();
    void clicks_data();
    void clicks();
    void undoEveryFormat_data();
    void undoEveryFormat();
    void noTextToRewrite_data();
    void noTextToRewrite();
    void keepOnTop();
    void longRewriteCancelled_data();
    void longRewriteCancelled();

private:
    PaletteFixture palette;
};

void TestPaletteActions::init()
{
    QVERIFY(palette.load(PaletteFixture::Item(1, "<Name>空白削除</Name><Reg>[ 　]+</Reg>")
                         + PaletteFixture::Item(2, "<Name>定型文</Name><Data>よろしくお願いします。</Data>")
                         + PaletteFixture::Item(3, "<Name>壊れた</Name><Reg>(abc</Reg>")
                         + PaletteFixture::Item(4, "<Name>空</Name>")
                         + PaletteFixture::Item(5, "<Name>倍</Name><Reg>a</Reg><Replace>aa</Replace>")
                         + PaletteFixture::Item(6, "<Name>長い</Name><Reg>(\\w+)\\s*=\\s*\\1!</Reg>")
                         + QStringLiteral("<Link>https://example.com/翻訳</Link>"))
            && palette.show());
}

void TestPaletteActions::clicks_data()
{
    QTest::addColumn<QStringList>("keys"); // after "Lbl_Button" a button to click; ^Z for Ctrl+Z
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("box"); // what the one exclamation box names, if any
    QTest::addColumn<QList<int>>("busy"); // refused reads, refused writes, swallowed writes; none: a free clipboard

    const QList<int> none;
    QTest::newRow("rewrite") << QStringList{"_0"} << "a b　c  d"
                             << "abcd" << QString() << none;
    QTest::newRow("fixed text ignores the clipboard") << QStringList{"_1"} << "x"
                                                      << "よろしくお願いします。" << QString() << none;
    QTest::newRow("neither pattern nor text") << QStringList{"_3"} << "gone"
                                              << "" << QString() << none;
    QTest::newRow("two clicks chain") << QStringList{"_4", "_4"} << "ab"
                                      << "aaaab" << QString() << none;
    QTest::newRow("built-in button") << QStringList{"定型_0"} << "  item count  \r\nmax value"
                                     << "itemCount\r\nmaxValue" << QString() << none;
    QTest::newRow("failure keeps the clipboard") << QStringList{"_2"} << "untouched"
                                                 << "untouched"
                                                 << "「壊れた」" << none;
    QTest::newRow("undo") << QStringList{"_0", "^Z"} << "a b"
                          << "a b" << QString() << none;
    QTest::newRow("undo, built-in button") << QStringList{"定型_0", "^Z"} << "a b"
                                           << "a b" << QString() << none;
    QTest::newRow("undo only one level") << QStringList{"_4", "_0", "^Z", "^Z"} << "a b"
                                         << "aa b" << QString() << none;
    QTest::newRow("a failed action is not undone") << QStringList{"_4", "_2", "^Z"} << "a b"
                                                   << "a b"
                                                   << "「壊れた」" << none;
    QTest::newRow("nothing to undo") << QStringList{"^Z"} << "a b"
                                     << "a b" << QString() << none;
    QTest::newRow("link opens through the shell") << QStringList{"Link"} << "a b"
                                                  << "a b" << QString() << none;
    // Retried until free, never emptied; one box when it stays busy, shown after the wait cursor.
    const QString busyBox = QStringLiteral("クリップボード");
    QTest::newRow("busy, free after two refusals") << QStringList{"_0"} << "a b"
                                                   << "ab" << QString() << QList<int>{2, 2, 0};
    QTest::newRow("busy, never readable") << QStringList{"_0"} << "a b"
                                          << "a b" << busyBox << QList<int>{1000, 0, 0};
    QTest::newRow("busy, never writable") << QStringList{"_0"} << "a b"
                                          << "a b" << busyBox << QList<int>{0, 1000, 0};
    QTest::newRow("busy, writes do not stick") << QStringList{"_0"} << "a b"
                                               << "a b" << busyBox << QList<int>{0, 0, 1};
}

void TestPaletteActions::clicks()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, box);
    QFETCH(QList<int>, busy);
    CursorPresenter presenter;
    RecordingOpener opener;
    QGuiApplication::clipboard()->setText(before);
    std::optional<BusyClipboard> port;
    if (!busy.isEmpty())
        port.emplace(busy);

    for (const QString &key : keys) {
        if (key == QLatin1String("^Z"))
            QTest::keyClick(palette.window.get(), Qt::Key_Z, Qt::ControlModifier);
        else
            QTest::mouseClick(palette.control("Lbl_Button" + key), Qt::LeftButton);
    }

    QCOMPARE(QGuiApplication::clipboard()->text(), after);
    QCOMPARE(presenter.boxes.size(), box.isEmpty() ? 0 : 1);
    for (const RecordingPresenter::Box &shown : presenter.boxes)
        QVERIFY2(shown.style == MsgBox::Exclamation && shown.prompt.contains(box), qPrintable(shown.prompt));
    QVERIFY(!presenter.cursorAtBox && !QGuiApplication::overrideCursor());
    QCOMPARE(opener.calls, (QList<QPair<quintptr, QString>>(keys.count("Link"),
                                                            {mdl_API_Win32::GetDesktopWindow(), "https://example.com/翻訳"})));
    // A clipboard that cannot be read is never written.
    QVERIFY(!port || (port->sawWaitCursor && (busy[0] < ClipboardRetry::Attempts || port->writes == 0)));
}

void TestPaletteActions::undoEveryFormat_data()
{
    QTest::addColumn<bool>("isTextOnly"); // the formats were above the cap when they were read
    QTest::newRow("picture and text come back") << false;
    QTest::newRow("above the cap: the text alone, and a box says so") << true;
}

void TestPaletteActions::undoEveryFormat()
{
    QFETCH(bool, isTextOnly);
    RecordingPresenter presenter;
    PictureClipboard port;
    const QList<QPair<QString, QByteArray>> picture{{"image/png", QByteArray("\x89PNG\r\n\x1a\n", 8)}, {"text/html", "<b>a</b>"}};
    port.held = ClipboardSnapshot{QStringLiteral("a b"), isTextOnly ? decltype(picture)() : picture, isTextOnly};

    QTest::mouseClick(palette.control("Lbl_Button_1"), Qt::LeftButton);
    QCOMPARE(port.held.text, QStringLiteral("よろしくお願いします。"));
    QVERIFY(port.held.formats.isEmpty());
    QTest::keyClick(palette.window.get(), Qt::Key_Z, Qt::ControlModifier);

    QCOMPARE(port.held.text, QStringLiteral("a b"));
    QCOMPARE(port.held.formats, isTextOnly ? decltype(picture)() : picture);
    QCOMPARE(presenter.boxes.size(), isTextOnly ? 1 : 0);
    if (isTextOnly) {
        QCOMPARE(presenter.boxes[0].style, MsgBox::Information);
        QVERIFY2(presenter.boxes[0].prompt.contains(QStringLiteral("256 MB")), qPrintable(presenter.boxes[0].prompt));
    }
}

void TestPaletteActions::noTextToRewrite_data()
{
    QTest::addColumn<QString>("format"); // what the clipboard holds, and nothing else
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("isLeft"); // the clipboard is left as it was, and a notice says so

    const QList<QPair<QString, QByteArray>> contents{{"image/png", QByteArray("\x89PNG\r\n\x1a\n", 8)},
                                                     {"text/uri-list", "file:///home/user/a.txt\r\n"},
                                                     {"text/html", "<b>rich</b> text"}};
    for (const auto &[format, bytes] : contents) {
        QTest::addRow("%s, rewrite", qPrintable(format)) << format << bytes << "_0" << true;
        QTest::addRow("%s, built-in button", qPrintable(format)) << format << bytes << "定型_0" << true;
        // A fixed text needs no text to rewrite; Ctrl+Z gives the content back.
        QTest::addRow("%s, fixed text", qPrintable(format)) << format << bytes << "_1" << false;
    }
}

// A clipboard without text has nothing to rewrite: a rewrite leaves it as it was (no empty text
// in its place), says so at the button without a box, and leaves Ctrl+Z to undo the action before.
void TestPaletteActions::noTextToRewrite()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, button);
    QFETCH(bool, isLeft);
    RecordingPresenter presenter;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("a b"));
    QTest::mouseClick(palette.control("Lbl_Button_4"), Qt::LeftButton);
    QCOMPARE(clipboard->text(), QStringLiteral("aa b"));
    auto *data = new QMimeData;
    data->setData(format, bytes);
    clipboard->setMimeData(data);
    QToolTip::hideText();

    QTest::mouseClick(palette.control("Lbl_Button" + button), Qt::LeftButton);
    QCOMPARE(clipboard->mimeData()->formats().contains(format), isLeft);
    if (isLeft)
        QCOMPARE(clipboard->mimeData()->data(format), bytes);
    else
        QCOMPARE(clipboard->text(), QStringLiteral("よろしくお願いします。"));
    QCOMPARE(QToolTip::isVisible(), isLeft);
    if (isLeft)
        QVERIFY2(QToolTip::text().contains(QStringLiteral("文字列がありません")), qPrintable(QToolTip::text()));
    QVERIFY(presenter.boxes.isEmpty());

    QTest::keyClick(palette.window.get(), Qt::Key_Z, Qt::ControlModifier);
    if (isLeft)
        QCOMPARE(clipboard->text(), QStringLiteral("a b"));
    else
        QCOMPARE(clipboard->mimeData()->data(format), bytes);
    QToolTip::hideText();
}

void TestPaletteActions::keepOnTop()
{
    mdl_API_Win32::SetWindowTopMost(nullptr, true); // ignored
    auto *check = palette.control<QCheckBox>(QStringLiteral("Chk_Most"));
    const QRect geometry = palette.window->geometry();
    const auto onTop = [this] { return palette.window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };
    for (bool state : {true, false}) {
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(check->isChecked(), state);
        QCOMPARE(onTop(), state);
        QVERIFY(palette.window->isVisible());
        QCOMPARE(palette.window->geometry(), geometry);
        // The band survives a new native window.
        palette.window->destroy();
        QVERIFY(!palette.window->windowHandle());
        palette.window->create();
        QCOMPARE(onTop(), state);
        QVERIFY(palette.show());
    }
}

void TestPaletteActions::longRewriteCancelled_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");

    // Quadratic work, which the rewrite's own budget stops only after seconds.
    QTest::newRow("rewrite") << "Lbl_Button_5" << QString(150'000, u'a') + QStringLiteral("=!");
    // 3 million short lines take the word joining about 2 s.
    QTest::newRow("built-in button") << "Lbl_Button定型_0" << QStringLiteral("get user name\r\n").repeated(3'000'000);
}

// A long action: the window keeps working with a wait cursor, a second click is dropped, after
// half a second the modal progress box offers 中止, which stops the work and keeps the clipboard.
void TestPaletteActions::longRewriteCancelled()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    CursorPresenter presenter;
    QGuiApplication::clipboard()->setText(text);
    bool sawSecondClick = false;
    bool sawWaitCursor = false;
    QString cancelText;
    QTimer::singleShot(100, palette.window.get(), [&] {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        sawWaitCursor = cursor && cursor->shape() == Qt::WaitCursor;
        // Would double every a if it ran, now or later.
        QTest::mouseClick(palette.control("Lbl_Button_4"), Qt::LeftButton);
        sawSecondClick = true;
    });
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, palette.window.get(), [&] {
        auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (!progress || !progress->isVisible())
            return;
        poll.stop();
        auto *cancel = progress->findChild<QPushButton *>();
        QVERIFY(cancel);
        cancelText = cancel->text();
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    poll.start();
    QElapsedTimer clicked;
    clicked.start();
    QTest::mouseClick(palette.control(button), Qt::LeftButton);
    const qint64 total = clicked.elapsed();
    poll.stop();

    QVERIFY(sawSecondClick && sawWaitCursor);
    QCOMPARE(cancelText, QStringLiteral("中止"));
    QVERIFY2(total >= 400, qPrintable(QString::number(total)));
    QVERIFY(QGuiApplication::clipboard()->text() == text);
    QVERIFY2(presenter.boxes.isEmpty(), qPrintable(presenter.boxes.value(0).prompt));
    QVERIFY(!QGuiApplication::overrideCursor() && !QApplication::activeModalWidget());
    // Nothing was done, so there is nothing to undo.
    QTest::keyClick(palette.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(QGuiApplication::clipboard()->text() == text);
}

QTEST_MAIN(TestPaletteActions)
#include "tst_palette_actions.moc"
