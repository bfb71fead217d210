#include "PaletteFixture.h"
#include "app/mdl_API_Win32.h"
#include "ui/ClipboardText.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QWindow>

namespace {

// A clipboard that another program may hold: it refuses a number of reads and writes, or swallows
// writes so that they never read back. It records the boxes too, and which cursor was up when.
class BusyClipboard : public ClipboardPort, public RecordingPresenter {
public:
    BusyClipboard() { SetClipboardPort(this); }
    ~BusyClipboard() override { SetClipboardPort(nullptr); }
    bool read(QString &value) override
    {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        sawWaitCursor |= cursor && cursor->shape() == Qt::WaitCursor;
        if (refusedReads > 0 && refusedReads--)
            return false;
        value = text;
        return true;
    }
    bool write(const QString &value) override
    {
        ++writes;
        if (refusedWrites > 0 && refusedWrites--)
            return false;
        if (!isSwallowingWrites)
            text = value;
        return true;
    }
    qint16 show(qint32 style, const QString &prompt, const QString &title) override
    {
        cursorAtBox |= QGuiApplication::overrideCursor() != nullptr;
        return RecordingPresenter::show(style, prompt, title);
    }
    QString text = QStringLiteral("a b");
    int refusedReads = 0, refusedWrites = 0, writes = 0;
    bool isSwallowingWrites = false, sawWaitCursor = false, cursorAtBox = false;
};

}

class TestPaletteActions : public QObject {
    Q_OBJECT

private slots:
    void init();
    void clicks_data();
    void clicks();
    void busyClipboard_data();
    void busyClipboard();
    void keepOnTop();

private:
    PaletteFixture palette;
};

void TestPaletteActions::init()
{
    QVERIFY(palette.write(PaletteFixture::Item(1, "<Name>空白削除</Name><Reg>[ 　]+</Reg>")
                          + PaletteFixture::Item(2, "<Name>定型文</Name><Data>よろしくお願いします。</Data>")
                          + PaletteFixture::Item(3, "<Name>壊れた</Name><Reg>(abc</Reg>")
                          + PaletteFixture::Item(4, "<Name>空</Name>")
                          + PaletteFixture::Item(5, "<Name>倍</Name><Reg>a</Reg><Replace>aa</Replace>")
                          + QStringLiteral("<Link>https://example.com/翻訳</Link>")));
    palette.load();
    QVERIFY(palette.show());
}

void TestPaletteActions::clicks_data()
{
    QTest::addColumn<QStringList>("buttons"); // after "Lbl_Button"
    QTest::addColumn<int>("undos");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("box"); // what the one exclamation box names, if any

    QTest::newRow("rewrite") << QStringList{"_0"} << 0 << "a b　c  d" << "abcd" << QString();
    QTest::newRow("fixed text ignores the clipboard") << QStringList{"_1"} << 0 << "x" << "よろしくお願いします。" << QString();
    QTest::newRow("neither pattern nor text") << QStringList{"_3"} << 0 << "gone" << "" << QString();
    QTest::newRow("two clicks chain") << QStringList{"_4", "_4"} << 0 << "ab" << "aaaab" << QString();
    QTest::newRow("built-in button") << QStringList{"定型_0"} << 0 << "  item count  \r\nmax value" << "itemCount\r\nmaxValue"
                                     << QString();
    QTest::newRow("failure keeps the clipboard") << QStringList{"_2"} << 0 << "untouched" << "untouched" << "「壊れた」";
    QTest::newRow("undo") << QStringList{"_0"} << 1 << "a b" << "a b" << QString();
    QTest::newRow("undo, built-in button") << QStringList{"定型_0"} << 1 << "a b" << "a b" << QString();
    QTest::newRow("undo only one level") << QStringList{"_4", "_0"} << 2 << "a b" << "aa b" << QString();
    QTest::newRow("a failed action is not undone") << QStringList{"_4", "_2"} << 1 << "a b" << "a b" << "「壊れた」";
    QTest::newRow("nothing to undo") << QStringList{} << 1 << "a b" << "a b" << QString();
    QTest::newRow("link opens through the shell") << QStringList{"Link"} << 0 << "a b" << "a b" << QString();
}

void TestPaletteActions::clicks()
{
    QFETCH(QStringList, buttons);
    QFETCH(int, undos);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, box);
    RecordingPresenter presenter;
    RecordingOpener opener;
    QGuiApplication::clipboard()->setText(before);

    for (const QString &button : buttons)
        QTest::mouseClick(palette.control("Lbl_Button" + button), Qt::LeftButton);
    for (int i = 0; i < undos; ++i)
        QTest::keyClick(palette.window.get(), Qt::Key_Z, Qt::ControlModifier);

    QCOMPARE(QGuiApplication::clipboard()->text(), after);
    QCOMPARE(presenter.boxes.size(), box.isEmpty() ? 0 : 1);
    for (const RecordingPresenter::Box &shown : presenter.boxes)
        QVERIFY2(shown.style == MsgBox::Exclamation && shown.prompt.contains(box), qPrintable(shown.prompt));
    QCOMPARE(opener.calls.size(), buttons.count("Link"));
    for (const auto &call : opener.calls)
        QCOMPARE(call, (QPair<quintptr, QString>(GetDesktopWindow(), "https://example.com/翻訳")));
}

void TestPaletteActions::busyClipboard_data()
{
    QTest::addColumn<int>("refusedReads");
    QTest::addColumn<int>("refusedWrites");
    QTest::addColumn<bool>("isSwallowingWrites");
    QTest::addColumn<QString>("after");

    QTest::newRow("free again after two refusals") << 2 << 2 << false << "ab";
    QTest::newRow("never readable") << 1000 << 0 << false << "a b";
    QTest::newRow("never writable") << 0 << 1000 << false << "a b";
    QTest::newRow("writes do not stick") << 0 << 0 << true << "a b";
}

void TestPaletteActions::busyClipboard()
{
    QFETCH(int, refusedReads);
    QFETCH(int, refusedWrites);
    QFETCH(bool, isSwallowingWrites);
    QFETCH(QString, after);
    BusyClipboard busy;
    busy.refusedReads = refusedReads;
    busy.refusedWrites = refusedWrites;
    busy.isSwallowingWrites = isSwallowingWrites;

    QTest::mouseClick(palette.control(QStringLiteral("Lbl_Button_0")), Qt::LeftButton);

    // Retried until free, never emptied; one box when it stays busy, shown after the wait cursor.
    QCOMPARE(busy.text, after);
    QCOMPARE(busy.boxes.size(), after == QLatin1String("a b") ? 1 : 0);
    for (const RecordingPresenter::Box &shown : busy.boxes)
        QVERIFY(shown.style == MsgBox::Exclamation && shown.prompt.contains(QStringLiteral("クリップボード")));
    if (refusedReads >= ClipboardAttempts)
        QCOMPARE(busy.writes, 0);
    QVERIFY(busy.sawWaitCursor && !busy.cursorAtBox && !QGuiApplication::overrideCursor());
}

void TestPaletteActions::keepOnTop()
{
    SetWindowTopMost(nullptr, true); // ignored
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

QTEST_MAIN(TestPaletteActions)
#include "tst_palette_actions.moc"
