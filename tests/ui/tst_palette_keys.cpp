#include "PaletteFixture.h"
#include "settings/SettingsLocations.h"
#include "settings/SettingsReload.h"
#include "ui/ButtonLabel.h"

#include <QLabel>

// The palette's global keys as the window shows them. The offscreen desktop gives a program no
// global keys, which is what the palette must then say; taking and pressing them is for the
// end-to-end test on a real X server.
class TestPaletteKeys : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void notice_data();
    void notice();
    void reloadTakesTheNewKeys();

private:
    QLabel *keyNotice() const { return palette.control<QLabel>(QStringLiteral("Lbl_KeyNotice")); }
    bool isKeyNoticeShown() const { return keyNotice() && keyNotice()->isVisibleTo(palette.window.get()); }

    PaletteFixture palette;
};

void TestPaletteKeys::cleanup()
{
    palette.window.reset();
}

void TestPaletteKeys::notice_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<QStringList>("lines"); // what the notice's tooltip says, line by line
    QTest::addColumn<QStringList>("buttonTips"); // of each item button, then of the built-in one

    QTest::newRow("no keys: no notice, no tooltips") << PaletteFixture::Named(1, "一") << QStringList() << QStringList{"", ""};
    const QString keys = PaletteFixture::Item(1, "<Name>一</Name><Data>1</Data><Key>ctrl+alt+1</Key>")
                         + PaletteFixture::Item(2, "<Name>二</Name><Data>2</Data><Key>Ctrl+Alt+?</Key>")
                         + PaletteFixture::Item(3, "<Name>三</Name><Data>3</Data><Key>Alt+Ctrl+1</Key>")
                         + "<JoinKey>F9</JoinKey>";
    QTest::newRow("a desktop without global keys, a key that is none, one taken twice")
        << keys
        << QStringList{"このデスクトップではグローバルキーを使えません。ボタンはそのまま使えます。",
                       "「Ctrl+Alt+?」（二）はキーとして読めません", "Ctrl+Alt+1（三）は「一」と重なっています"}
        << QStringList{"Ctrl+Alt+1 はこのデスクトップでは使えません", "「Ctrl+Alt+?」（二）はキーとして読めません",
                       "Ctrl+Alt+1（三）は「一」と重なっています", "F9 はこのデスクトップでは使えません"};
    QTest::newRow("only keys that are none: the desktop is not asked")
        << PaletteFixture::Item(1, "<Name>一</Name><Data>1</Data><Key>Q</Key>")
        << QStringList{"「Q」（一）には Ctrl、Alt か Win が必要です"}
        << QStringList{"「Q」（一）には Ctrl、Alt か Win が必要です", ""};
}

void TestPaletteKeys::notice()
{
    QFETCH(QString, data);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, buttonTips);
    QVERIFY(palette.load(data));
    QVERIFY(palette.show());
    QCOMPARE(isKeyNoticeShown(), !lines.isEmpty());
    if (!lines.isEmpty()) {
        QCOMPARE(keyNotice()->text(), QStringLiteral("！使えないキーがあります"));
        QCOMPARE(keyNotice()->toolTip().split(u'\n'), lines);
        // One row below the buttons, inside the frame and the window.
        const auto *last = palette.control<ButtonLabel>(QStringLiteral("Lbl_Button_%1").arg(buttonTips.size() - 2));
        QCOMPARE(keyNotice()->geometry(), last->geometry().translated(0, last->height()));
        QVERIFY(keyNotice()->parentWidget()->rect().contains(keyNotice()->geometry()));
    }
    for (int i = 0; i < buttonTips.size() - 1; ++i)
        QCOMPARE(palette.control<ButtonLabel>(QStringLiteral("Lbl_Button_%1").arg(i))->toolTip(), buttonTips[i]);
    QCOMPARE(palette.control<ButtonLabel>(QStringLiteral("Lbl_Button定型_0"))->toolTip(), buttonTips.last());
}

// A reload takes the keys of the new file: the notice goes with the keys that caused it, and the
// window shrinks by its row again.
void TestPaletteKeys::reloadTakesTheNewKeys()
{
    QVERIFY(palette.load(PaletteFixture::Item(1, "<Name>一</Name><Data>1</Data><Key>Ctrl+Alt+1</Key>")));
    SettingsReload reload(SettingsFileCandidates(palette.dir.path(), QStringLiteral("tavrelo")));
    reload.setQuietTime(20);
    palette.window->FollowSettings(&reload);
    QVERIFY(palette.show());
    QVERIFY(isKeyNoticeShown());
    const int withNotice = palette.window->height();

    QFile file(palette.file());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(palette.written.replace("<Key>Ctrl+Alt+1</Key>", ""));
    file.close();
    QTRY_VERIFY(!isKeyNoticeShown());
    QCOMPARE(palette.window->height(), withNotice - palette.control<ButtonLabel>(QStringLiteral("Lbl_Button_0"))->height());
    QCOMPARE(palette.control<ButtonLabel>(QStringLiteral("Lbl_Button_0"))->toolTip(), QString());
}

QTEST_MAIN(TestPaletteKeys)
#include "tst_palette_keys.moc"
