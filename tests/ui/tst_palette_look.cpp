#include "PaletteFixture.h"
#include "RecordingOpener.h"
#include "ui/ButtonLabel.h"

#include <QAccessible>
#include <QImage>
#include <QLabel>

class TestPaletteLook : public QObject {
    Q_OBJECT

private slots:
    void init();
    void hover_data();
    void hover();
    void pressedLook_data();
    void pressedLook();
    void namesAsWritten_data();
    void namesAsWritten();

private:
    PaletteFixture palette;
};

void TestPaletteLook::init()
{
    QVERIFY(palette.load(PaletteFixture::Named(1, "一") + PaletteFixture::Named(2, "二") + "<Link>https://example.com/</Link>")
            && palette.show());
}

void TestPaletteLook::hover_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("highlighted");

    QTest::newRow("one at a time") << QStringList{"Lbl_Button_0", "Lbl_Button_1"} << "Lbl_Button_1";
    QTest::newRow("built-in button") << QStringList{"Lbl_Button_1", "Lbl_Button定型_0"} << "Lbl_Button定型_0";
    QTest::newRow("bare frame clears") << QStringList{"Lbl_Button_0", "Fra_Items_0"} << QString();
    QTest::newRow("separator is frame") << QStringList{"Lbl_Button定型_0", "Line1_0"} << QString();
    QTest::newRow("link never, keeps the last") << QStringList{"Lbl_Button_0", "Lbl_ButtonLink"} << "Lbl_Button_0";
}

void TestPaletteLook::hover()
{
    QFETCH(QStringList, path);
    QFETCH(QString, highlighted);
    for (const QString &name : path) {
        QWidget *target = palette.control(name);
        // The frame's empty strip left of the item buttons.
        const QPoint point = name == QLatin1String("Fra_Items_0") ? QPoint(4, 50) : target->rect().center();
        // Handed to the window as the desktop would hand it: a move of the real pointer (what the
        // widget overload does) reaches an X server's window only some time later.
        QTest::mouseMove(palette.window->windowHandle(), target->mapTo(palette.window.get(), point));
    }

    for (const char *name : {"Lbl_Button定型_0", "Lbl_Button_0", "Lbl_Button_1", "Lbl_ButtonLink"}) {
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
    QTest::addColumn<QList<qreal>>("sizes"); // at rest, then one per press; the last after the release

    using Presses = QList<Qt::MouseButton>;
    QTest::newRow("item, two buttons accumulate")
        << "Lbl_Button_1" << Presses{Qt::LeftButton, Qt::RightButton} << QList<qreal>{9, 8, 7, 9};
    QTest::newRow("built-in, right button") << "Lbl_Button定型_0" << Presses{Qt::RightButton} << QList<qreal>{9, 8, 9};
    QTest::newRow("link label") << "Lbl_ButtonLink" << Presses{Qt::LeftButton} << QList<qreal>{5.25, 4.25, 5};
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

void TestPaletteLook::namesAsWritten_data()
{
    QTest::addColumn<QString>("name"); // PICTURE stands for a red picture's file name

    QTest::newRow("bold tags") << "<b>太字</b>";
    QTest::newRow("line-break tag") << "a<br>b";
    QTest::newRow("entity") << "x &lt; y";
    QTest::newRow("picture tag") << "<img src=\"PICTURE\">";
    QTest::newRow("colour tag") << "<font color=red>赤</font>";
    QTest::newRow("ampersand") << "A&B";
}

// A caption is shown as the settings file writes it, markup and all, on the palette and to
// assistive technology: the button draws what a plain-text label of its look draws.
void TestPaletteLook::namesAsWritten()
{
    QFETCH(QString, name);
    QTemporaryDir pictures;
    const QString picture = pictures.filePath(QStringLiteral("red.png"));
    QImage red(16, 12, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(picture));
    name.replace(QStringLiteral("PICTURE"), picture);
    QVERIFY(palette.load(PaletteFixture::Named(1, name)) && palette.show());

    auto *button = palette.control<ButtonLabel>(QStringLiteral("Lbl_Button_0"));
    QCOMPARE(button->text(), name);
    // Without the keyboard's focus frame, which the plain label lacks.
    button->clearFocus();
    QLabel plain(name, button->parentWidget());
    plain.setTextFormat(Qt::PlainText);
    plain.setFont(button->font());
    plain.setPalette(button->palette());
    plain.setAlignment(button->alignment());
    plain.setGeometry(button->geometry());
    // A label that takes the focus lays its text out a pixel lower.
    plain.setFocusPolicy(button->focusPolicy());
    QCOMPARE(button->grab().toImage(), plain.grab().toImage());
    QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), name);
}

QTEST_MAIN(TestPaletteLook)
#include "tst_palette_look.moc"
