#include "PaletteFixture.h"

namespace {

const QString kItems = PaletteFixture::Named(1, "一") + PaletteFixture::Named(2, "二")
                       + QStringLiteral("<Link>https://example.com/</Link>");
const char *const kLabels[] = {"Lbl_Button定型_0", "Lbl_Button_0", "Lbl_Button_1", "Lbl_ButtonLink"};

}

class TestPaletteLook : public QObject {
    Q_OBJECT

private slots:
    void init();
    void colours_data();
    void colours();
    void hover_data();
    void hover();
    void pressedLook_data();
    void pressedLook();

private:
    QColor color(const QString &name, QPalette::ColorRole role) const
    {
        return palette.control(name)->palette().color(role);
    }
    PaletteFixture palette;
};

void TestPaletteLook::init()
{
    QVERIFY(palette.load(kItems) && palette.show());
}

void TestPaletteLook::colours_data()
{
    QTest::addColumn<QString>("colorSetting");
    QTest::addColumn<QList<QColor>>("baseTitleLabelBack");

    QTest::newRow("all keys") << PaletteFixture::Colors
                              << QList<QColor>{0xE8F0F8u, 0x204060u, 0x0000C0u, 0xC0D8F0u};
    QTest::newRow("missing keys are black") << QStringLiteral("<Label>ff0000</Label>")
                                            << QList<QColor>{Qt::black, Qt::black, 0xFF0000u, Qt::black};
}

void TestPaletteLook::colours()
{
    QFETCH(QString, colorSetting);
    QFETCH(QList<QColor>, baseTitleLabelBack);
    QVERIFY(palette.load(kItems, colorSetting));

    QCOMPARE(palette.window->palette().color(QPalette::Window), baseTitleLabelBack[0]);
    QCOMPARE(color("Chk_Most", QPalette::Window), baseTitleLabelBack[0]);
    QCOMPARE(color("Fra_Items_0", QPalette::Window), baseTitleLabelBack[0]);
    QCOMPARE(color("Fra_Items_0", QPalette::WindowText), baseTitleLabelBack[1]);
    for (const char *name : kLabels) {
        QCOMPARE(color(name, QPalette::WindowText), baseTitleLabelBack[2]);
        if (name != QLatin1String("Lbl_ButtonLink"))
            QCOMPARE(color(name, QPalette::Window), baseTitleLabelBack[3]);
    }
    // No key reaches the check box's text.
    QCOMPARE(color("Chk_Most", QPalette::WindowText), QColor(0x0000C0u));
}

void TestPaletteLook::hover_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("highlighted");

    QTest::newRow("one at a time") << QStringList{"Lbl_Button_0", "Lbl_Button_1"} << "Lbl_Button_1";
    QTest::newRow("built-in button") << QStringList{"Lbl_Button_1", "Lbl_Button定型_0"} << "Lbl_Button定型_0";
    QTest::newRow("bare frame clears") << QStringList{"Lbl_Button_0", "Fra_Items_0"} << QString();
    QTest::newRow("link never, keeps the last") << QStringList{"Lbl_Button_0", "Lbl_ButtonLink"} << "Lbl_Button_0";
}

void TestPaletteLook::hover()
{
    QFETCH(QStringList, path);
    QFETCH(QString, highlighted);
    for (const QString &name : path) {
        QWidget *target = palette.control(name);
        // The frame's empty strip left of the item buttons.
        QTest::mouseMove(target, name == QLatin1String("Fra_Items_0") ? QPoint(4, 50) : target->rect().center());
    }

    for (const char *name : kLabels) {
        QWidget *label = palette.control(name);
        QCOMPARE(label->autoFillBackground(), name == highlighted);
        // A corner of the label that its text does not reach, as the window draws it.
        const QPoint corner = label->mapTo(palette.window.get(), QPoint(label->width() - 2, 1));
        const QColor shown = palette.window->grab(QRect(corner, QSize(1, 1))).toImage().pixelColor(0, 0);
        QCOMPARE(shown == QColor(0xC0D8F0u), name == highlighted);
    }
}

void TestPaletteLook::pressedLook_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QList<Qt::MouseButton>>("presses");
    QTest::addColumn<QList<qreal>>("sizes");

    // The first size is at rest, then one per press; the last after the release.
    QTest::newRow("item button, two buttons accumulate")
        << "Lbl_Button_1" << QList<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton} << QList<qreal>{9, 8, 7, 9};
    QTest::newRow("built-in button, right button") << "Lbl_Button定型_0" << QList<Qt::MouseButton>{Qt::RightButton}
                                                   << QList<qreal>{9, 8, 9};
    QTest::newRow("link label") << "Lbl_ButtonLink" << QList<Qt::MouseButton>{Qt::LeftButton}
                                << QList<qreal>{5.25, 4.25, 5};
}

void TestPaletteLook::pressedLook()
{
    QFETCH(QString, label);
    QFETCH(QList<Qt::MouseButton>, presses);
    QFETCH(QList<qreal>, sizes);
    RecordingPresenter presenter;
    RecordingOpener opener;
    QWidget *target = palette.control(label);

    QCOMPARE(target->font().pointSizeF(), sizes[0]);
    for (int i = 0; i < presses.size(); ++i) {
        QTest::mousePress(target, presses[i]);
        QCOMPARE(target->font().pointSizeF(), sizes[i + 1]);
    }
    // Released outside, so that no click runs; the size comes back all the same.
    QTest::mouseRelease(target, presses.first(), {}, QPoint(-5, -5));
    QCOMPARE(target->font().pointSizeF(), sizes.last());
    QVERIFY(opener.calls.isEmpty() && presenter.boxes.isEmpty());
    // The pointer look never changes the face.
    QCOMPARE(target->font().family(), palette.window->font().family());
}

QTEST_MAIN(TestPaletteLook)
#include "tst_palette_look.moc"
