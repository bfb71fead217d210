#include "ui/EtchedFrame.h"

#include "ui/PaletteDesign.h"

#include <QPainter>

namespace {

// The caption's cut-out starts this far in, and leaves this much room on each side of the text.
constexpr int kCaptionIndent = 6;
constexpr int kCaptionPadding = 2;

}

EtchedFrame::EtchedFrame(const QString &title, const QFont &captionFont, QWidget *parent)
    : QGroupBox(title, parent), m_caption(title, captionFont)
{
}

void EtchedFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const CaptionImage::Picture &caption = m_caption.picture(
        painter.device()->devicePixelRatioF(), palette().color(QPalette::WindowText), palette().color(QPalette::Window));
    // The top line runs through the caption's middle.
    const int top = caption.height / 2;
    // Lines one pixel wide cover the pixel right and below each point they pass.
    const QRect outline(0, top, width() - 2, height() - top - 2);
    painter.setPen(QColor::fromRgb(QRgb(PaletteDesign::LineWhite)));
    painter.drawRect(outline.translated(1, 1));
    painter.setPen(QColor::fromRgb(QRgb(PaletteDesign::LineGrey)));
    painter.drawRect(outline);

    // The cut-out in the line, with room on each side of the text.
    const QRect cutOut(kCaptionIndent, 0, caption.width + 2 * kCaptionPadding, caption.height);
    painter.fillRect(cutOut, palette().color(QPalette::Window));
    painter.drawImage(cutOut.topLeft() + QPoint(kCaptionPadding, 0), caption.image);
}
