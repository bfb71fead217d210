#include "ui/CaptionImage.h"
#include "ui/DesignFonts.h"
#include "ui/PaletteDesign.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QTest>

#include <cmath>

// The caption drawn on a thread of its own looks as if drawn on the window's, in the look last
// asked for.
class TestCaptionImage : public QObject {
    Q_OBJECT

private slots:
    void sameAsDrawnHere_data();
    void sameAsDrawnHere();
};

namespace {

const QString kCaption = QStringLiteral("設定内容");

QImage DrawnHere(const QFont &font, qreal ratio, const QColor &text, const QColor &ground)
{
    const QFontMetrics metrics(font);
    const QSize size(metrics.horizontalAdvance(kCaption), metrics.height());
    QImage image(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(ground);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(text);
    painter.drawText(QRect(QPoint(), size), Qt::AlignLeft | Qt::AlignTop, kCaption);
    return image;
}

}

void TestCaptionImage::sameAsDrawnHere_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("ground");
    const QColor designText(PaletteDesign::FrameText), designGround(PaletteDesign::FrameBack);
    QTest::newRow("design") << qreal(1) << designText << designGround;
    QTest::newRow("caption colour from the settings") << qreal(1) << QColor(0x204060u) << designGround;
    QTest::newRow("frame colour from the settings") << qreal(1) << designText << QColor(0xE8F0F8u);
    QTest::newRow("screen of twice the pixels") << qreal(2) << designText << designGround;
    QTest::newRow("screen of 1.5 times the pixels") << qreal(1.5) << designText << designGround;
}

void TestCaptionImage::sameAsDrawnHere()
{
    QFETCH(qreal, ratio);
    QFETCH(QColor, text);
    QFETCH(QColor, ground);
    const QFont font = DesignFont(SerifFamily(), PaletteDesign::FrameFontSize, QFont::Bold);
    const CaptionImage caption(kCaption, font);
    // Another look first: what is asked for now is drawn again, not the last picture shown.
    caption.picture(1, Qt::red, Qt::white);
    const CaptionImage::Picture &picture = caption.picture(ratio, text, ground);

    const QFontMetrics metrics(font);
    QCOMPARE(picture.height, metrics.height());
    QCOMPARE(picture.width, metrics.horizontalAdvance(kCaption));
    QCOMPARE(picture.image, DrawnHere(font, ratio, text, ground));
}

QTEST_MAIN(TestCaptionImage)
#include "tst_captionimage.moc"
