#pragma once

#include "ui/CaptionImage.h"

#include <QGroupBox>

// A frame as the classic desktop draws one: an etched border (a grey line with a white line
// inside it) whose top runs through the vertical middle of the caption; the caption stands a
// few pixels in from the left edge on the frame's background, which cuts it out of the line.
// Children keep the positions they are given, measured from the frame's outer corner.
// The caption has a font of its own; the frame's font is the one its children inherit.
class EtchedFrame : public QGroupBox {
    Q_OBJECT
public:
    EtchedFrame(const QString &title, const QFont &captionFont, QWidget *parent = nullptr);

    const QFont &captionFont() const { return m_caption.font(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CaptionImage m_caption;
};
