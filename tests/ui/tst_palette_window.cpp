#include "PaletteFixture.h"
#include "RecordingPresenter.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

namespace {

QString Named(int number, const QString &name)
{
    return PaletteFixture::Item(number, QStringLiteral("<Name>%1</Name><Data>x</Data>").arg(name));
}

QString Version()
{
    return QStringLiteral(" ver%1.%2.%3").arg(TAVRELO_VERSION_MAJOR).arg(TAVRELO_VERSION_MINOR).arg(TAVRELO_VERSION_PATCH);
}

}

class TestPaletteWindow : public QObject {
    Q_OBJECT

private slots:
    void buttonsFollowTheItems_data();
    void buttonsFollowTheItems();
    void caption_data();
    void caption();
    void linkLabel_data();
    void linkLabel();
    void placement_data();
    void placement();
    void tallPaletteScrolls();
    void missingFileIsAnnouncedOnce();
    void noSettingsObjectReportsEachFailure();
    void closingEndsTheRun();
};

void TestPaletteWindow::buttonsFollowTheItems_data()
{
    QTest::addColumn<QString>("items");
    QTest::addColumn<QStringList>("tags");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("none") << QString() << QStringList() << QStringList();
    QTest::newRow("gaps are skipped")
        << Named(1, "一") + Named(3, "三") + Named(6, "六") << QStringList{"0", "2", "5"} << QStringList{"一", "三", "六"};
    QTest::newRow("an item without a name has no button")
        << PaletteFixture::Item(1, "<Data>d</Data>") + PaletteFixture::Item(2, "<Name>名前だけ</Name>")
        << QStringList{"1"} << QStringList{"名前だけ"};
    QTest::newRow("the 101st item is never read")
        << Named(100, "百") + Named(101, "百一") << QStringList{"99"} << QStringList{"百"};
    QString hundred;
    QStringList tags;
    QStringList captions;
    for (int i = 1; i <= 100; ++i) {
        hundred += Named(i, QStringLiteral("項目%1").arg(i));
        tags << QString::number(i - 1);
        captions << QStringLiteral("項目%1").arg(i);
    }
    QTest::newRow("a hundred") << hundred << tags << captions;
}

void TestPaletteWindow::buttonsFollowTheItems()
{
    QFETCH(QString, items);
    QFETCH(QStringList, tags);
    QFETCH(QStringList, captions);
    RecordingPresenter presenter;
    PaletteFixture palette;
    QVERIFY(palette.write(items));
    palette.load();

    QCOMPARE(palette.visibleButtonTags(), tags);
    const int count = int(tags.size());
    for (int i = 0; i < count; ++i) {
        auto *button = palette.control<QLabel>(QStringLiteral("Lbl_Button_%1").arg(i));
        QCOMPARE(button->text(), captions[i]);
        QCOMPARE(button->geometry(), QRect(12, 44 + 15 * i, 163, 15));
    }
    // Member 0 is the template: it exists, hidden, even without items.
    QVERIFY(palette.control(QStringLiteral("Lbl_Button_0")));
    QVERIFY(!palette.control(QStringLiteral("Lbl_Button_%1").arg(qMax(count, 1))));

    auto *frame = palette.control<QGroupBox>(QStringLiteral("Fra_Items_0"));
    QCOMPARE(frame->height(), 65 + 15 * (count - 1));
    if (count < 40)
        QCOMPARE(palette.window->height(), 66 + 15 * (count - 1));
    QVERIFY(presenter.boxes.isEmpty());
}

void TestPaletteWindow::caption_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("caption");

    QTest::newRow("design caption") << QString() << QStringLiteral("Tavrelo");
    QTest::newRow("title") << QStringLiteral("<Title>ABC</Title>") << QStringLiteral("ABC");
    QTest::newRow("title and version") << QStringLiteral("<Title>ABC</Title><Version>true</Version>")
                                       << QStringLiteral("ABC") + Version();
    QTest::newRow("version on the design caption") << QStringLiteral("<Version>TRUE</Version>")
                                                   << QStringLiteral("Tavrelo") + Version();
}

void TestPaletteWindow::caption()
{
    QFETCH(QString, data);
    QFETCH(QString, caption);
    PaletteFixture palette;
    QVERIFY(palette.write(data + Named(1, "a")));
    palette.load();
    QCOMPARE(palette.window->windowTitle(), caption);
}

void TestPaletteWindow::linkLabel_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("tag");

    QTest::newRow("link") << QStringLiteral("<Link>https://example.com/a?b=c</Link>") << true
                          << QStringLiteral("https://example.com/a?b=c");
    QTest::newRow("empty link") << QStringLiteral("<Link></Link>") << false << QString();
}

void TestPaletteWindow::linkLabel()
{
    QFETCH(QString, data);
    QFETCH(bool, visible);
    QFETCH(QString, tag);
    PaletteFixture palette;
    QVERIFY(palette.write(data));
    palette.load();
    auto *link = palette.control<QLabel>(QStringLiteral("Lbl_ButtonLink"));
    QCOMPARE(link->isVisibleTo(palette.window.get()), visible);
    QCOMPARE(link->property("tag").toString(), tag);
}

void TestPaletteWindow::placement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("items");

    QTest::newRow("no item, 1024x768") << QRect(0, 0, 1024, 768) << 0;
    QTest::newRow("thirty items, second screen") << QRect(1024, 0, 1920, 1080) << 30;
}

void TestPaletteWindow::placement()
{
    QFETCH(QRect, screen);
    QFETCH(int, items);
    PaletteFixture palette;
    QString data;
    for (int i = 1; i <= items; ++i)
        data += Named(i, "n");
    QVERIFY(palette.write(data));
    AppPath = palette.dir.path();
    ExeName = QStringLiteral("tavrelo");
    LoadSettings();
    Frm_Item_FromIniFile window;
    window.SetScreenGeometry(screen);
    window.Form_Load();

    // 900 twips above the bottom, 100 twips (7 px) left of the right edge.
    const QRect outer = window.frameGeometry();
    QCOMPARE(outer.x() + outer.width(), screen.x() + screen.width() - 7);
    QCOMPARE(outer.y() + outer.height(), screen.y() + screen.height() - 60);
    QCOMPARE(outer.width(), 184);
}

void TestPaletteWindow::tallPaletteScrolls()
{
    PaletteFixture palette;
    QString data;
    for (int i = 1; i <= 100; ++i)
        data += Named(i, QStringLiteral("項目%1").arg(i));
    QVERIFY(palette.write(data));
    palette.load();

    const QRect outer = palette.window->frameGeometry();
    QVERIFY2(outer.top() >= PaletteFixture::Screen.top(), "the caption bar left the screen");
    QCOMPARE(outer.y() + outer.height(), 768 - 60);
    QCOMPARE(outer.x() + outer.width(), 1024 - 7);

    QVERIFY(palette.show());
    auto *scroll = palette.control<QScrollArea>(QStringLiteral("Scr_Items"));
    QVERIFY(scroll->verticalScrollBar()->isVisible());
    // The frame keeps its full width beside the scroll bar.
    QVERIFY(scroll->viewport()->width() >= palette.control(QStringLiteral("Fra_Items_0"))->width());

    auto *last = palette.control(QStringLiteral("Lbl_Button_99"));
    scroll->ensureWidgetVisible(last);
    const QRect shown(last->mapTo(scroll->viewport(), QPoint(0, 0)), last->size());
    QVERIFY(scroll->viewport()->rect().contains(shown));
}

void TestPaletteWindow::missingFileIsAnnouncedOnce()
{
    RecordingPresenter presenter;
    PaletteFixture palette;
    palette.load();

    QCOMPARE(presenter.boxes.size(), 1);
    QCOMPARE(presenter.boxes[0].style, MsgBox::Information);
    const QString path = QDir::toNativeSeparators(palette.dir.filePath(QStringLiteral("tavrelo.xml")));
    QCOMPARE(presenter.boxes[0].prompt, QStringLiteral("以下のファイルがみあたりません\r\n『%1』").arg(path));

    // The empty palette as designed, one template row smaller.
    QCOMPARE(palette.window->windowTitle(), QStringLiteral("Tavrelo"));
    QCOMPARE(palette.window->windowIcon().actualSize(QSize(32, 32)), QSize(32, 32));
    QVERIFY(palette.visibleButtonTags().isEmpty());
    QVERIFY(!palette.control(QStringLiteral("Lbl_ButtonLink"))->isVisibleTo(palette.window.get()));
    QCOMPARE(palette.window->height(), 66 - 15);
}

void TestPaletteWindow::noSettingsObjectReportsEachFailure()
{
    RecordingPresenter presenter;
    Settings.reset();
    Frm_Item_FromIniFile window;
    window.SetScreenGeometry(PaletteFixture::Screen);
    window.Form_Load();

    // Building the buttons and each of the four colours trap their own error.
    QCOMPARE(presenter.boxes.size(), 5);
    for (const RecordingPresenter::Box &box : presenter.boxes) {
        QCOMPARE(box.style, MsgBox::Critical);
        QCOMPARE(box.title, QStringLiteral("VB Error"));
    }
    // Placing goes on whatever failed before it.
    QCOMPARE(window.frameGeometry().bottom() + 1, 768 - 60);
}

void TestPaletteWindow::closingEndsTheRun()
{
    PaletteFixture palette;
    QVERIFY(palette.write(Named(1, "a") + QStringLiteral("<Title>@@@@/@@/@@</Title>")));
    QFile file(palette.dir.filePath(QStringLiteral("tavrelo.xml")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    palette.load();
    QVERIFY(palette.show());
    connect(palette.window.get(), &Frm_Item_FromIniFile::Unloaded, &EndApplication);

    QVERIFY(Settings);
    QVERIFY(palette.window->close());
    QVERIFY(!Settings);
    // The date filled in at load time never reaches the file.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

QTEST_MAIN(TestPaletteWindow)
#include "tst_palette_window.moc"
