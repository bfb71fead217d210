#include "PaletteFixture.h"
#include "RecordingOpener.h"

#include "ui/EtchedFrame.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QWindow>

// The palette as a desktop user meets it: the frame's drawing, a double click, what assistive
// technology is told, and the words of a failed item's box.
class TestPaletteDesktop : public QObject {
    Q_OBJECT

private slots:
    void init();
    void frameDrawing();
    void doubleClick_data();
    void doubleClick();
    void accessibility();
    void screenReaderActions_data();
    void screenReaderActions();
    void keyboard_data();
    void keyboard();
    void failureMessages_data();
    void failureMessages();

private:
    PaletteFixture palette;
};

void TestPaletteDesktop::init()
{
    QVERIFY(palette.load(PaletteFixture::Item(1, "<Name>引用</Name><Reg>^</Reg><Replace>* </Replace>")
                         + "<Link>https://example.com/</Link>")
            && palette.show());
}

void TestPaletteDesktop::frameDrawing()
{
    QWidget *frame = palette.control(QStringLiteral("Fra_Items_0"));
    const QImage image = frame->grab().toImage();
    const QColor grey(0x808080u);
    // The border's top line: the first grey row at the frame's middle column.
    int border = 0;
    while (border < image.height() && image.pixelColor(frame->width() / 2, border) != grey)
        ++border;
    // It runs through the caption's middle, and the built-in button stands below it.
    const QFontMetrics caption(static_cast<EtchedFrame *>(frame)->captionFont());
    QVERIFY2(qAbs(border - caption.height() / 2) <= 1, qPrintable(QString::number(border)));
    QVERIFY(border < palette.control(QStringLiteral("Lbl_Button定型_0"))->y());
    // The caption is indented and cut out of the line.
    for (int x = 0; x < 4; ++x)
        QVERIFY(image.pixelColor(x, caption.height() / 2 - 2) != QColor(0x204060u));
    for (int x = 6; x < 6 + caption.horizontalAdvance(QStringLiteral("設定内容")); ++x)
        QVERIFY2(image.pixelColor(x, border) != grey, qPrintable(QString::number(x)));
    // The link text stays above the separator.
    QWidget *link = palette.control(QStringLiteral("Lbl_ButtonLink"));
    const QImage linkImage = link->grab().toImage();
    const int separatorRow = palette.control(QStringLiteral("Line1_0"))->y() - link->y();
    for (int x = 0; x < link->width(); ++x)
        QVERIFY(linkImage.pixelColor(x, separatorRow) != QColor(0x0000C0u));
}

void TestPaletteDesktop::doubleClick_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("after");
    QTest::newRow("item") << "Lbl_Button_0"
                          << "* abc";
    QTest::newRow("built-in") << "Lbl_Button定型_0"
                              << "abc";
}

void TestPaletteDesktop::doubleClick()
{
    QFETCH(QString, button);
    QFETCH(QString, after);
    RecordingPresenter presenter;
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    QWidget *target = palette.control(button);
    // Through the window, so that the desktop's timing makes the second press a double click.
    const QPoint point = target->mapTo(palette.window.get(), target->rect().center());
    QTest::mouseDClick(palette.window->windowHandle(), Qt::LeftButton, {}, point);
    QCOMPARE(QGuiApplication::clipboard()->text(), after);
    QCOMPARE(target->font().pointSizeF(), 9.0);
    // A later single click acts again.
    QTest::mouseClick(palette.window->windowHandle(), Qt::LeftButton, {}, point);
    QCOMPARE(QGuiApplication::clipboard()->text(), button == QLatin1String("Lbl_Button_0") ? "* " + after : after);
    QVERIFY(presenter.boxes.isEmpty());
}

void TestPaletteDesktop::accessibility()
{
    RecordingOpener opener;
    const auto check = [this](const char *name, QAccessible::Role role, const QString &text) {
        QAccessibleInterface *control = QAccessible::queryAccessibleInterface(palette.control(name));
        QVERIFY(control);
        QCOMPARE(control->role(), role);
        QCOMPARE(control->text(QAccessible::Name), text);
    };
    check("Lbl_Button_0", QAccessible::Button, QStringLiteral("引用"));
    check("Lbl_Button定型_0", QAccessible::Button, QStringLiteral("空白詰め＋先頭大文字化"));
    check("Lbl_ButtonLink", QAccessible::Link, QStringLiteral("link"));
    check("Chk_Most", QAccessible::CheckBox, QStringLiteral("常に手前に表示"));
    check("Fra_Items_0", QAccessible::Grouping, QStringLiteral("設定内容"));
    QCOMPARE(palette.control(QStringLiteral("Chk_Most"))->toolTip(), QStringLiteral("常に手前に表示"));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(palette.control(QStringLiteral("Lbl_ButtonLink")))->text(QAccessible::Description),
        QStringLiteral("Web翻訳ページを開きます。"));
    // A screen reader's press runs the action, once it has been answered.
    QAccessibleInterface *link = QAccessible::queryAccessibleInterface(palette.control(QStringLiteral("Lbl_ButtonLink")));
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(opener.calls.size(), 1);

    // The window is a window named by its caption; the frame holds the controls, not the lines
    // drawn on it, and nothing else is named after the frame; no hidden button takes the focus.
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(palette.window.get());
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), palette.window->windowTitle());
    QVERIFY(!palette.control(QStringLiteral("Cmd_Dummy")));
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(palette.control(QStringLiteral("Fra_Items_0")));
    QStringList children;
    for (int i = 0; i < frame->childCount(); ++i) {
        QAccessibleInterface *child = frame->child(i);
        QCOMPARE(frame->indexOfChild(child), i);
        QCOMPARE(child->parent()->object(), frame->object());
        children << child->object()->objectName();
        QVERIFY2(child->role() != QAccessible::Border && child->text(QAccessible::Name) != QStringLiteral("設定内容"),
                 qPrintable(child->object()->objectName()));
    }
    QCOMPARE(children, (QStringList{"Chk_Most", "Lbl_Button定型_0", "Lbl_ButtonLink", "Lbl_Button_0"}));
    QCOMPARE(frame->childAt(-100, -100), nullptr);
}

void TestPaletteDesktop::screenReaderActions_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("isOnTop"); // afterwards
    QTest::addColumn<int>("boxes"); // once the call has returned and the events have run

    // Toggle ticks the box without a click: it must keep the window on top all the same.
    QTest::newRow("Toggle on the check box") << "Chk_Most" << QAccessibleActionInterface::toggleAction() << true << 0;
    // A failing item's box would hold the screen reader until it is closed: it comes after.
    QTest::newRow("Press on a failing item") << "Lbl_Button_1" << QAccessibleActionInterface::pressAction() << false << 1;
}

void TestPaletteDesktop::screenReaderActions()
{
    QFETCH(QString, control);
    QFETCH(QString, action);
    QFETCH(bool, isOnTop);
    QFETCH(int, boxes);
    RecordingPresenter presenter;
    QVERIFY(palette.load(PaletteFixture::Item(1, "<Name>引用</Name><Reg>^</Reg><Replace>* </Replace>")
                         + PaletteFixture::Item(2, "<Name>壊れた</Name><Reg>(abc</Reg>"))
            && palette.show());
    QAccessibleInterface *target = QAccessible::queryAccessibleInterface(palette.control(control));
    QVERIFY(target->actionInterface()->actionNames().contains(action));
    target->actionInterface()->doAction(action);
    QCOMPARE(presenter.boxes.size(), 0);
    const auto onTop = [this] { return palette.window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };
    QTRY_COMPARE(onTop(), isOnTop);
    QTRY_COMPARE(presenter.boxes.size(), boxes);
    QCOMPARE(target->state().checked, isOnTop);
}

void TestPaletteDesktop::keyboard_data()
{
    QTest::addColumn<int>("tabs"); // Tab presses from the first focus
    QTest::addColumn<QString>("focused");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after"); // the clipboard after the key, from "get user name"

    QTest::newRow("first focus, Space") << 0 << "Lbl_Button_0" << int(Qt::Key_Space) << "* get user name";
    QTest::newRow("first focus, Return") << 0 << "Lbl_Button_0" << int(Qt::Key_Return) << "* get user name";
    QTest::newRow("built-in, Enter") << 1 << "Lbl_Button定型_0" << int(Qt::Key_Enter) << "getUserName";
    QTest::newRow("check box, Space") << 2 << "Chk_Most" << int(Qt::Key_Space) << "get user name";
    QTest::newRow("link, Return") << 3 << "Lbl_ButtonLink" << int(Qt::Key_Return) << "get user name";
    QTest::newRow("round again") << 4 << "Lbl_Button_0" << int(Qt::Key_A) << "get user name";
}

// Every control can be reached with Tab, in the order of the frame from the item buttons on, and
// Space or Return presses the one that has the focus.
void TestPaletteDesktop::keyboard()
{
    QFETCH(int, tabs);
    QFETCH(QString, focused);
    QFETCH(int, key);
    QFETCH(QString, after);
    RecordingPresenter presenter;
    RecordingOpener opener;
    QGuiApplication::clipboard()->setText(QStringLiteral("get user name"));
    palette.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(palette.window.get()));
    QCOMPARE(QApplication::focusWidget(), palette.control(QStringLiteral("Lbl_Button_0")));
    for (int i = 0; i < tabs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), palette.control(focused));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(QGuiApplication::clipboard()->text(), after);
    QCOMPARE(palette.control<QCheckBox>(QStringLiteral("Chk_Most"))->isChecked(), focused == QLatin1String("Chk_Most"));
    QCOMPARE(opener.calls.size(), focused == QLatin1String("Lbl_ButtonLink") ? 1 : 0);
    QVERIFY(presenter.boxes.isEmpty());
}

void TestPaletteDesktop::failureMessages_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("reason"); // the box's lines between the item's name and the clipboard note

    QTest::newRow("missing )") << "(abc"
                               << "パターンの終わり：閉じかっこ「)」が足りません。";
    QTest::newRow("stray )") << "abc)"
                             << "パターンの 4 文字目：対応する「(」のない「)」があります。";
    QTest::newRow("missing ]") << "[abc"
                               << "パターンの終わり：閉じかっこ「]」が足りません。";
    QTest::newRow("nothing to repeat") << "a**"
                                       << "パターンの 3 文字目：繰り返しの記号（* + ? {}）の前に、繰り返すものがありません。";
    QTest::newRow("trailing backslash") << "ab\\"
                                        << "パターンの終わり：パターンが「\\」で終わっています。";
    QTest::newRow("group name") << "(?<1a>x)"
                                << "パターンの 4 文字目：グループの名前（(?<名前>…) や \\k<名前>）が正しくありません。";
    QTest::newRow("range") << "[z-a]"
                           << "パターンの 4 文字目：範囲の指定が逆順か、正しくありません。";
    QTest::newRow("repeat range") << "a{3,1}"
                                  << "パターンの 6 文字目：範囲の指定が逆順か、正しくありません。";
    QTest::newRow("unknown group name") << "(?<a>x)\\k<b>"
                                        << "パターンの 11 文字目：グループの名前（(?<名前>…) や \\k<名前>）が正しくありません。";
    QTest::newRow("lookbehind") << "(?<=a+)b"
                                << "パターンの 1 文字目：後読み (?<=…) (?<!…) の中では使えない書き方です。";
    QTest::newRow("duplicate group name")
        << "(?<a>x)(?<a>y)"
        << "パターンの 11 文字目：グループの名前（(?<名前>…) や \\k<名前>）が正しくありません。";
    // Any other error names the place, and the engine's own words on a line of their own.
    QTest::newRow("other") << QString(300, '(') + "a" + QString(300, ')')
                           << "パターンの 252 文字目に誤りがあります。\r\nparentheses are too deeply nested";
    QTest::newRow("work limit") << "(a|a)*[bc]"
                                << "パターンの照合に手間がかかりすぎるため、途中でやめました。";
}

void TestPaletteDesktop::failureMessages()
{
    QFETCH(QString, pattern);
    QFETCH(QString, reason);
    RecordingPresenter presenter;
    QVERIFY(palette.load(PaletteFixture::Item(1, "<Name>壊れた</Name><Reg>" + pattern + "</Reg>")) && palette.show());
    QGuiApplication::clipboard()->setText(QString(40, QLatin1Char('a')));
    QTest::mouseClick(palette.control(QStringLiteral("Lbl_Button_0")), Qt::LeftButton);
    QCOMPARE(presenter.boxes.size(), 1);
    QCOMPARE(presenter.boxes[0].prompt,
             "「壊れた」の文字列を作れませんでした。\r\n" + reason + "\r\nクリップボードの内容はそのままです。");
}

QTEST_MAIN(TestPaletteDesktop)
#include "tst_palette_desktop.moc"
