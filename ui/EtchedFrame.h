#pragma once

#include <QGroupBox>

// A frame as the classic desktop draws one: an etched border (a grey line with a white line
// inside it) whose top runs through the vertical middle of the caption; the caption stands a
// few pixels in from the left edge on the frame's background, which cuts it out of the line.
// Children keep the positions they are given, measured from the frame's outer corner.
class EtchedFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit EtchedFrame(const QString &title, QWidget *parent = nullptr);

    // Where the border's top line runs, from the frame's top.
    int borderTop() const;
    // The caption's cut-out in the line, in frame coordinates.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
