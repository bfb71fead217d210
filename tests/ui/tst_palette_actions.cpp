#include "PaletteFixture.h"
#include "RecordingPresenter.h"
#include "app/mdl_API_Shell32.h"
#include "ui/ClipboardText.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QWindow>

namespace {

const QString kItems = PaletteFixture::Item(1, "<Name>空白削除</Name><Reg>[ 　]+</Reg>")
                       + PaletteFixture::Item(2, "<Name>定型文</Name><Data>よろしくお願いします。</Data>")
                       + PaletteFixture::Item(3, "<Name>壊れた</Name><Reg>(abc</Reg>")
                       + PaletteFixture::Item(4, "<Name>空</Name>")
                       + PaletteFixture::Item(5, "<Name>倍</Name><Reg>a</Reg><Replace>aa</Replace>")
                       + QStringLiteral("<Link>https://example.com/翻訳</Link>");

QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

// A clipboard that another program may hold: it refuses a number of reads and writes, or
// swallows writes so that they never read back.
class BusyClipboard : public ClipboardPort {
public:
    BusyClipboard() { SetClipboardPort(this); }
    ~BusyClipboard() override { SetClipboardPort(nullptr); }

    bool read(QString &value) override
    {
        cursorWhileBusy = QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : -1;
        if (refusedReads > 0) {
            --refusedReads;
            return false;
        }
        value = text;
        return true;
    }

    bool write(const QString &value) override
    {
        ++writes;
        if (refusedWrites > 0) {
            --refusedWrites;
            return false;
        }
        if (!isSwallowingWrites)
            text = value;
        return true;
    }

    QString text;
    int refusedReads = 0;
    int refusedWrites = 0;
    bool isSwallowingWrites = false;
    int writes = 0;
    int cursorWhileBusy = -1;
};

class RecordingOpener : public LinkOpener {
public:
    RecordingOpener() { SetLinkOpener(this); }
    ~RecordingOpener() override { SetLinkOpener(nullptr); }
    qint32 open(quintptr hWnd, const QString &target) override
    {
        calls.append({hWnd, target});
        return 42;
    }
    QList<QPair<quintptr, QString>> calls;
};

}

class TestPaletteActions : public QObject {
    Q_OBJECT

private slots:
    void init();
    void clicks_data();
    void clicks();
    void failedItemKeepsTheClipboard();
    void undoPutsBackThePreviousText_data();
    void undoPutsBackThePreviousText();
    void busyClipboard_data();
    void busyClipboard();
    void busyCursorOnlyWhileWorking();
    void linkOpensThroughTheShell();
    void keepOnTop();

private:
    PaletteFixture palette;
};

void TestPaletteActions::init()
{
    palette.window.reset();
    QVERIFY(palette.write(kItems));
    palette.load();
    QVERIFY(palette.show());
}

void TestPaletteActions::clicks_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("after");

    QTest::newRow("rewrite") << "Lbl_Button_0" << QStringLiteral("a b　c  d") << 1 << QStringLiteral("abcd");
    QTest::newRow("fixed text ignores the clipboard") << "Lbl_Button_1" << QStringLiteral("anything") << 1
                                                      << QStringLiteral("よろしくお願いします。");
    QTest::newRow("neither pattern nor text") << "Lbl_Button_3" << QStringLiteral("gone") << 1 << QString();
    QTest::newRow("two clicks chain") << "Lbl_Button_4" << QStringLiteral("ab") << 2 << QStringLiteral("aaaab");
    QTest::newRow("built-in button") << "Lbl_Button定型_0" << QStringLiteral("  item count  \r\nmax value")
                                     << 1 << QStringLiteral("itemCount\r\nmaxValue");
    QTest::newRow("built-in button keeps a final CR LF") << "Lbl_Button定型_0" << QStringLiteral("get user name\r\n")
                                                         << 1 << QStringLiteral("getUserName\r\n");
}

void TestPaletteActions::clicks()
{
    QFETCH(QString, button);
    QFETCH(QString, before);
    QFETCH(int, clicks);
    QFETCH(QString, after);
    RecordingPresenter presenter;
    clipboard()->setText(before);

    auto *label = palette.control<QLabel>(button);
    QVERIFY(label);
    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(label, Qt::LeftButton);

    QCOMPARE(clipboard()->text(), after);
    QVERIFY(presenter.boxes.isEmpty());
}

void TestPaletteActions::failedItemKeepsTheClipboard()
{
    RecordingPresenter presenter;
    clipboard()->setText(QStringLiteral("untouched"));

    QTest::mouseClick(palette.control(QStringLiteral("Lbl_Button_2")), Qt::LeftButton);

    QCOMPARE(clipboard()->text(), QStringLiteral("untouched"));
    QCOMPARE(presenter.boxes.size(), 1);
    QCOMPARE(presenter.boxes[0].style, MsgBox::Exclamation);
    QVERIFY2(presenter.boxes[0].prompt.contains(QStringLiteral("「壊れた」")), qPrintable(presenter.boxes[0].prompt));
}

void TestPaletteActions::undoPutsBackThePreviousText_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("undos");
    QTest::addColumn<QString>("after");

    QTest::newRow("one action") << QStringList{"Lbl_Button_0"} << 1 << QStringLiteral("a b");
    QTest::newRow("only one level") << QStringList{"Lbl_Button_4", "Lbl_Button_0"} << 2 << QStringLiteral("aa b");
    QTest::newRow("built-in button") << QStringList{"Lbl_Button定型_0"} << 1 << QStringLiteral("a b");
    QTest::newRow("a failed action is not undone") << QStringList{"Lbl_Button_2"} << 1 << QStringLiteral("a b");
    QTest::newRow("nothing to undo") << QStringList{} << 1 << QStringLiteral("a b");
}

void TestPaletteActions::undoPutsBackThePreviousText()
{
    QFETCH(QStringList, buttons);
    QFETCH(int, undos);
    QFETCH(QString, after);
    RecordingPresenter presenter;
    clipboard()->setText(QStringLiteral("a b"));

    for (const QString &button : buttons)
        QTest::mouseClick(palette.control(button), Qt::LeftButton);
    for (int i = 0; i < undos; ++i)
        QTest::keyClick(palette.window.get(), Qt::Key_Z, Qt::ControlModifier);

    QCOMPARE(clipboard()->text(), after);
}

void TestPaletteActions::busyClipboard_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("refusedReads");
    QTest::addColumn<int>("refusedWrites");
    QTest::addColumn<bool>("isSwallowingWrites");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("boxes");

    QTest::newRow("free again after two refusals") << "Lbl_Button_0" << 2 << 2 << false << QStringLiteral("ab") << 0;
    QTest::newRow("never readable") << "Lbl_Button_0" << 1000 << 0 << false << QStringLiteral("a b") << 1;
    QTest::newRow("never writable") << "Lbl_Button_0" << 0 << 1000 << false << QStringLiteral("a b") << 1;
    QTest::newRow("writes do not stick") << "Lbl_Button_1" << 0 << 0 << true << QStringLiteral("a b") << 1;
}

void TestPaletteActions::busyClipboard()
{
    QFETCH(QString, button);
    QFETCH(int, refusedReads);
    QFETCH(int, refusedWrites);
    QFETCH(bool, isSwallowingWrites);
    QFETCH(QString, after);
    QFETCH(int, boxes);
    RecordingPresenter presenter;
    BusyClipboard busy;
    busy.text = QStringLiteral("a b");
    busy.refusedReads = refusedReads;
    busy.refusedWrites = refusedWrites;
    busy.isSwallowingWrites = isSwallowingWrites;

    QTest::mouseClick(palette.control(button), Qt::LeftButton);

    QCOMPARE(busy.text, after);
    QCOMPARE(presenter.boxes.size(), boxes);
    if (boxes > 0) {
        QCOMPARE(presenter.boxes[0].style, MsgBox::Exclamation);
        QVERIFY(presenter.boxes[0].prompt.contains(QStringLiteral("クリップボード")));
    }
    if (refusedReads >= ClipboardAttempts)
        QCOMPARE(busy.writes, 0);
}

void TestPaletteActions::busyCursorOnlyWhileWorking()
{
    // The box comes after the wait cursor is gone.
    class CursorPresenter : public RecordingPresenter {
    public:
        qint16 show(qint32 style, const QString &prompt, const QString &title) override
        {
            hadOverrideCursor = QGuiApplication::overrideCursor() != nullptr;
            return RecordingPresenter::show(style, prompt, title);
        }
        bool hadOverrideCursor = true;
    } presenter;
    BusyClipboard busy;
    busy.refusedWrites = 1000;

    QTest::mouseClick(palette.control(QStringLiteral("Lbl_Button_0")), Qt::LeftButton);

    QCOMPARE(busy.cursorWhileBusy, int(Qt::WaitCursor));
    QCOMPARE(presenter.boxes.size(), 1);
    QVERIFY(!presenter.hadOverrideCursor);
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestPaletteActions::linkOpensThroughTheShell()
{
    RecordingPresenter presenter;
    RecordingOpener opener;
    auto *link = palette.control<QLabel>(QStringLiteral("Lbl_ButtonLink"));

    QTest::mouseClick(link, Qt::LeftButton);
    // A release outside the label is no click.
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));

    QCOMPARE(opener.calls.size(), 1);
    QCOMPARE(opener.calls[0].first, GetDesktopWindow());
    QCOMPARE(opener.calls[0].second, QStringLiteral("https://example.com/翻訳"));
    QVERIFY(presenter.boxes.isEmpty());
}

void TestPaletteActions::keepOnTop()
{
    auto *check = palette.control<QCheckBox>(QStringLiteral("Chk_Most"));
    QVERIFY(!check->isChecked());
    const QRect before = palette.window->geometry();
    auto onTop = [this] {
        return palette.window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    };

    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(check->isChecked());
    QVERIFY(onTop());
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(!onTop());
    QCOMPARE(palette.window->geometry(), before);
}

QTEST_MAIN(TestPaletteActions)
#include "tst_palette_actions.moc"
