#include "ui/EtchedFrame.h"

#include "ui/PaletteDesign.h"

#include <QPainter>

namespace {

// The caption's cut-out starts this far in, and leaves this much room on each side of the text.
constexpr int kCaptionIndent = 6;
constexpr int kCaptionPadding = 2;

}

EtchedFrame::EtchedFrame(const QString &title, QWidget *parent)
    : QGroupBox(title, parent)
{
}

int EtchedFrame::borderTop() const
{
    return fontMetrics().height() / 2;
}

QRect EtchedFrame::captionRect() const
{
    return QRect(kCaptionIndent, 0, fontMetrics().horizontalAdvance(title()) + 2 * kCaptionPadding,
                 fontMetrics().height());
}

void EtchedFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int top = borderTop();
    // Lines one pixel wide cover the pixel right and below each point they pass.
    const QRect outline(0, top, width() - 2, height() - top - 2);
    painter.setPen(QColor::fromRgb(QRgb(PaletteDesign::LineWhite)));
    painter.drawRect(outline.translated(1, 1));
    painter.setPen(QColor::fromRgb(QRgb(PaletteDesign::LineGrey)));
    painter.drawRect(outline);

    const QRect caption = captionRect();
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption.adjusted(kCaptionPadding, 0, -kCaptionPadding, 0), Qt::AlignLeft | Qt::AlignTop, title());
}
