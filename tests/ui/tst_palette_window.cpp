#include "PaletteFixture.h"
#include "settings/SettingsLocations.h"
#include "ui/ButtonLabel.h"

#include <QColorSpace>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>

// The palette built from settings: its buttons and tags, its colours, where it stands and how it
// scrolls, and how it closes.
class TestPaletteWindow : public QObject {
    Q_OBJECT

private slots:
    void buttonsAndTags_data();
    void buttonsAndTags();
    void colors_data();
    void colors();
    void placementAndScrolling_data();
    void placementAndScrolling();
    void closing();

private:
    static QString Version()
    {
        return QStringLiteral(" ver%1.%2.%3").arg(TAVRELO_VERSION_MAJOR).arg(TAVRELO_VERSION_MINOR).arg(TAVRELO_VERSION_PATCH);
    }
    // Gaps are skipped, an item without a name has no button, one without data has.
    static QString Three()
    {
        return PaletteFixture::Named(1, "一") + PaletteFixture::Item(2, "<Data>@@@@/@@/@@</Data>")
               + PaletteFixture::Named(3, "三") + PaletteFixture::Item(6, "<Name>六</Name>")
               + "<Title>ABC</Title><Version>true</Version><Link>https://example.com/a?b=c</Link>";
    }
    // Item1 to Item100 named, Item101 never read.
    static QString Hundred()
    {
        QString hundred = PaletteFixture::Named(101, "never read") + "<Version>TRUE</Version><Link></Link>";
        for (int i = 1; i <= 100; ++i)
            hundred += PaletteFixture::Named(i, QStringLiteral("項目%1").arg(i));
        return hundred;
    }
};

void TestPaletteWindow::buttonsAndTags_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<QStringList>("buttons"); // tag and caption of each visible button
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("link");

    // No settings file at all: one notice, and the palette as designed.
    QTest::newRow("none") << QString() << QStringList() << "Tavrelo" << QString();
    QTest::newRow("three") << Three() << QStringList{"0 一", "2 三", "5 六"} << "ABC" + Version() << "https://example.com/a?b=c";
    // A very long name is cut off at the button's edge.
    const QString longName(10000, QChar(0x9577));
    QTest::newRow("long name") << PaletteFixture::Named(1, longName) << QStringList{"0 " + longName} << "Tavrelo" << QString();
    QStringList buttons;
    for (int i = 1; i <= 100; ++i)
        buttons << QStringLiteral("%1 項目%2").arg(i - 1).arg(i);
    QTest::newRow("a hundred") << Hundred() << buttons << "Tavrelo" + Version() << QString();
}

void TestPaletteWindow::buttonsAndTags()
{
    QFETCH(QString, data);
    QFETCH(QStringList, buttons);
    QFETCH(QString, caption);
    QFETCH(QString, link);
    RecordingPresenter presenter;
    PaletteFixture palette;
    QVERIFY(palette.load(data));
    QWidget *window = palette.window.get();
    const int count = int(buttons.size());

    QStringList shown;
    for (int i = 0; i < count; ++i) {
        auto *button = palette.control<ButtonLabel>(QStringLiteral("Lbl_Button_%1").arg(i));
        QVERIFY(button->isVisibleTo(window));
        QCOMPARE(button->geometry(), QRect(12, 44 + 15 * i, 163, 15));
        shown << button->property("tag").toString() + ' ' + button->text();
    }
    QCOMPARE(shown, buttons);
    // Member 0 is the template: it exists, hidden, even without items.
    QWidget *next = palette.control(QStringLiteral("Lbl_Button_%1").arg(count));
    QVERIFY(count == 0 ? !next->isVisibleTo(window) : !next);
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(palette.control(QStringLiteral("Lbl_ButtonLink"))->isVisibleTo(window), !link.isEmpty());
    QCOMPARE(palette.control(QStringLiteral("Lbl_ButtonLink"))->property("tag").toString(), link);
    // The raw pixels the palette reads are those of ui/tavrelo.png (whose colour space tag the
    // window's icon does not carry).
    const QImage icon(QStringLiteral(TAVRELO_SOURCE_DIR "/ui/tavrelo.png"));
    QVERIFY(!icon.isNull());
    QImage expected = QPixmap::fromImage(icon).toImage();
    expected.setColorSpace(QColorSpace());
    QCOMPARE(window->windowIcon().pixmap(icon.size()).toImage(), expected);
    QCOMPARE(presenter.boxes.size(), data.isNull() ? 1 : 0);
    // The box names the file beside the program first, then the configuration folders' files.
    for (const RecordingPresenter::Box &box : presenter.boxes)
        QVERIFY(
            box.style == MsgBox::Information
            && box.prompt.startsWith("以下のファイルがみあたりません\r\n『" + QDir::toNativeSeparators(palette.file()) + "』\r\n")
            && box.prompt.contains("『" + QDir::toNativeSeparators(ConfigurationFolders().value(0) + "/tavrelo/tavrelo.xml")
                                   + "』"));
}

void TestPaletteWindow::colors_data()
{
    QTest::addColumn<QString>("colorSetting");
    QTest::addColumn<QList<QColor>>("colors"); // base, title, label, back

    QTest::newRow("all four") << PaletteFixture::Colors << QList<QColor>{0xE8F0F8u, 0x204060u, 0x0000C0u, 0xC0D8F0u};
    QTest::newRow("missing keys are black") << "<Label>ff0000</Label>"
                                            << QList<QColor>{Qt::black, Qt::black, 0xFF0000u, Qt::black};
}

void TestPaletteWindow::colors()
{
    QFETCH(QString, colorSetting);
    QFETCH(QList<QColor>, colors);
    PaletteFixture palette;
    QVERIFY(palette.load(Three(), colorSetting));
    const auto color = [&](const QString &name, QPalette::ColorRole role) {
        return palette.control(name)->palette().color(role);
    };
    QCOMPARE(palette.window->palette().color(QPalette::Window), colors[0]);
    QCOMPARE(color("Chk_Most", QPalette::Window), colors[0]);
    QCOMPARE(color("Fra_Items_0", QPalette::Window), colors[0]);
    QCOMPARE(color("Fra_Items_0", QPalette::WindowText), colors[1]);
    for (const QString name : {"Lbl_Button定型_0", "Lbl_ButtonLink", "Lbl_Button_0", "Lbl_Button_2"}) {
        QCOMPARE(color(name, QPalette::WindowText), colors[2]);
        if (name != QLatin1String("Lbl_ButtonLink"))
            QCOMPARE(color(name, QPalette::Window), colors[3]);
    }
    // No key reaches the check box's text.
    QCOMPARE(color("Chk_Most", QPalette::WindowText), QColor(0x0000C0u));
}

void TestPaletteWindow::placementAndScrolling_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("count");

    QTest::newRow("none") << QString() << QRect(0, 0, 1024, 768) << 0;
    QTest::newRow("three on a second screen") << Three() << QRect(1024, 0, 1920, 1080) << 3;
    QTest::newRow("a hundred, taller than the screen") << Hundred() << QRect(0, 0, 1024, 768) << 100;
}

void TestPaletteWindow::placementAndScrolling()
{
    QFETCH(QString, data);
    QFETCH(QRect, screen);
    QFETCH(int, count);
    RecordingPresenter presenter;
    PaletteFixture palette;
    QVERIFY(palette.load(data, PaletteFixture::Colors, screen));
    QWidget *window = palette.window.get();

    // 900 twips above the bottom, 100 twips (7 px) left of the right edge, the caption bar on screen.
    const QRect outer = window->frameGeometry();
    QCOMPARE(outer.x() + outer.width(), screen.x() + screen.width() - 7);
    QCOMPARE(outer.y() + outer.height(), screen.y() + screen.height() - 60);
    QVERIFY(outer.top() >= screen.top());
    QCOMPARE(palette.control(QStringLiteral("Fra_Items_0"))->height(), 65 + 15 * (count - 1));
    if (count < 40) { // Else the window is limited to the screen and wider by a scroll bar.
        QCOMPARE(window->height(), 66 + 15 * (count - 1));
        QCOMPARE(outer.width(), 184);
    }

    QVERIFY(palette.show());
    auto *scroll = palette.control<QScrollArea>(QStringLiteral("Scr_Items"));
    QCOMPARE(scroll->verticalScrollBar()->isVisible(), count == 100);
    if (count == 100) {
        // The frame keeps its full width beside the scroll bar, and the last button scrolls into view.
        QVERIFY(scroll->viewport()->width() >= palette.control(QStringLiteral("Fra_Items_0"))->width());
        QWidget *last = palette.control(QStringLiteral("Lbl_Button_99"));
        scroll->ensureWidgetVisible(last);
        QVERIFY(scroll->viewport()->rect().contains(QRect(last->mapTo(scroll->viewport(), QPoint()), last->size())));
    }
}

// Closing ends the run; the file stays as it was, without the date filled in at load time.
void TestPaletteWindow::closing()
{
    PaletteFixture palette;
    QVERIFY(palette.load(Three()));
    QVERIFY(palette.show());
    connect(palette.window.get(), &Frm_Item_FromIniFile::Unloaded, &EndApplication);
    QVERIFY(palette.window->close());
    QVERIFY(!Settings);
    QFile file(palette.file());
    QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), palette.written);
}

QTEST_MAIN(TestPaletteWindow)
#include "tst_palette_window.moc"
