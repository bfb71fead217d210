#include "PaletteFixture.h"
#include "RecordingPresenter.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

namespace {

const QString kItems = PaletteFixture::Item(1, "<Name>一</Name><Data>1</Data>")
                       + PaletteFixture::Item(2, "<Name>二</Name><Data>2</Data>")
                       + QStringLiteral("<Link>https://example.com/</Link>");

QColor windowColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

QColor textColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::WindowText);
}

}

class TestPaletteLook : public QObject {
    Q_OBJECT

private slots:
    void colours_data();
    void colours();
    void hover_data();
    void hover();
    void highlightIsPainted();
    void pressedLook_data();
    void pressedLook();
};

void TestPaletteLook::colours_data()
{
    QTest::addColumn<QString>("colorSetting");
    QTest::addColumn<QColor>("base");
    QTest::addColumn<QColor>("title");
    QTest::addColumn<QColor>("label");
    QTest::addColumn<QColor>("back");

    QTest::newRow("example") << PaletteFixture::Colors << QColor(0xE8, 0xF0, 0xF8) << QColor(0x20, 0x40, 0x60)
                             << QColor(0, 0, 0xC0) << QColor(0xC0, 0xD8, 0xF0);
    QTest::newRow("missing keys are black") << QStringLiteral("<Label>ff0000</Label>") << QColor(Qt::black)
                                            << QColor(Qt::black) << QColor(255, 0, 0) << QColor(Qt::black);
}

void TestPaletteLook::colours()
{
    QFETCH(QString, colorSetting);
    QFETCH(QColor, base);
    QFETCH(QColor, title);
    QFETCH(QColor, label);
    QFETCH(QColor, back);
    PaletteFixture palette;
    QVERIFY(palette.write(kItems, colorSetting));
    palette.load();

    QCOMPARE(windowColor(palette.window.get()), base);
    QCOMPARE(windowColor(palette.control(QStringLiteral("Chk_Most"))), base);
    QCOMPARE(windowColor(palette.control(QStringLiteral("Fra_Items_0"))), base);
    QCOMPARE(textColor(palette.control(QStringLiteral("Fra_Items_0"))), title);
    for (const QString &name : {"Lbl_ButtonLink", "Lbl_Button定型_0", "Lbl_Button_0", "Lbl_Button_1"})
        QCOMPARE(textColor(palette.control(name)), label);
    for (const QString &name : {"Lbl_Button定型_0", "Lbl_Button_0", "Lbl_Button_1"}) {
        QCOMPARE(windowColor(palette.control(name)), back);
        // Transparent until the pointer comes.
        QVERIFY(!palette.control(name)->autoFillBackground());
    }
    // No key reaches the check box's text or the separator.
    QCOMPARE(textColor(palette.control(QStringLiteral("Chk_Most"))), QColor(0, 0, 0xC0));
    QCOMPARE(windowColor(palette.control(QStringLiteral("Line1_0"))), QColor(0x80, 0x80, 0x80));
    QCOMPARE(windowColor(palette.control(QStringLiteral("Line1_1"))), QColor(Qt::white));
}

void TestPaletteLook::hover_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("highlighted");

    QTest::newRow("one button") << QStringList{"Lbl_Button_0"} << "Lbl_Button_0";
    QTest::newRow("next button") << QStringList{"Lbl_Button_0", "Lbl_Button_1"} << "Lbl_Button_1";
    QTest::newRow("built-in button") << QStringList{"Lbl_Button_1", "Lbl_Button定型_0"} << "Lbl_Button定型_0";
    QTest::newRow("bare frame clears") << QStringList{"Lbl_Button_0", "Fra_Items_0"} << QString();
    QTest::newRow("link label keeps it") << QStringList{"Lbl_Button_0", "Lbl_ButtonLink"} << "Lbl_Button_0";
    QTest::newRow("check box keeps it") << QStringList{"Lbl_Button定型_0", "Chk_Most"} << "Lbl_Button定型_0";
}

void TestPaletteLook::hover()
{
    QFETCH(QStringList, path);
    QFETCH(QString, highlighted);
    PaletteFixture palette;
    QVERIFY(palette.write(kItems));
    palette.load();
    QVERIFY(palette.show());

    for (const QString &name : path) {
        QWidget *target = palette.control(name);
        // The frame's empty strip left of the item buttons.
        const QPoint point = name == QStringLiteral("Fra_Items_0") ? QPoint(4, 50) : target->rect().center();
        QTest::mouseMove(target, point);
    }

    for (const QString &name : {"Lbl_Button定型_0", "Lbl_Button_0", "Lbl_Button_1", "Lbl_ButtonLink"})
        QCOMPARE(palette.control(name)->autoFillBackground(), name == highlighted);
}

void TestPaletteLook::highlightIsPainted()
{
    PaletteFixture palette;
    QVERIFY(palette.write(kItems));
    palette.load();
    QVERIFY(palette.show());
    auto *button = palette.control<QLabel>(QStringLiteral("Lbl_Button_1"));
    // A corner of the label that its text does not reach, as the window draws it.
    const QPoint corner = button->mapTo(palette.window.get(), QPoint(button->width() - 2, 1));
    auto pixel = [&](QPoint point) {
        return palette.window->grab(QRect(point, QSize(1, 1))).toImage().pixelColor(0, 0);
    };
    // At rest the frame shows through: the label's corner looks like the frame beside it.
    const QColor frame = pixel(QPoint(6, corner.y()));

    QCOMPARE(pixel(corner), frame);
    QTest::mouseMove(button, button->rect().center());
    QCOMPARE(pixel(corner), QColor(0xC0, 0xD8, 0xF0));
}

void TestPaletteLook::pressedLook_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QList<Qt::MouseButton>>("presses");
    QTest::addColumn<QList<qreal>>("sizes");
    QTest::addColumn<qreal>("released");

    QTest::newRow("item button") << "Lbl_Button_0" << QList<Qt::MouseButton>{Qt::LeftButton} << QList<qreal>{8} << 9.0;
    QTest::newRow("two buttons accumulate") << "Lbl_Button_1" << QList<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton}
                                            << QList<qreal>{8, 7} << 9.0;
    QTest::newRow("built-in button, right button") << "Lbl_Button定型_0" << QList<Qt::MouseButton>{Qt::RightButton}
                                                   << QList<qreal>{8} << 9.0;
    QTest::newRow("link label") << "Lbl_ButtonLink" << QList<Qt::MouseButton>{Qt::LeftButton} << QList<qreal>{4.25}
                                << 5.0;
}

void TestPaletteLook::pressedLook()
{
    QFETCH(QString, label);
    QFETCH(QList<Qt::MouseButton>, presses);
    QFETCH(QList<qreal>, sizes);
    QFETCH(qreal, released);
    RecordingPresenter presenter;
    PaletteFixture palette;
    QVERIFY(palette.write(kItems));
    palette.load();
    QVERIFY(palette.show());
    QWidget *target = palette.control(label);
    QCOMPARE(target->font().pointSizeF(), label == QStringLiteral("Lbl_ButtonLink") ? 5.25 : 9.0);

    for (int i = 0; i < presses.size(); ++i) {
        QTest::mousePress(target, presses[i]);
        QCOMPARE(target->font().pointSizeF(), sizes[i]);
    }
    // Released outside, so that no click runs; the size comes back all the same.
    QTest::mouseRelease(target, presses.first(), {}, QPoint(-5, -5));
    QCOMPARE(target->font().pointSizeF(), released);
    // The pointer look never changes the face.
    QCOMPARE(target->font().family(), palette.window->font().family());
}

QTEST_MAIN(TestPaletteLook)
#include "tst_palette_look.moc"
