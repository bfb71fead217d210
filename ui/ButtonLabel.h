#pragma once

#include <QLabel>

// A text label used as a button: it reports presses, releases and pointer moves of any mouse
// button, and a click when the left button is released inside it. It never takes the focus.
class ButtonLabel : public QLabel {
    Q_OBJECT
public:
    explicit ButtonLabel(QWidget *parent = nullptr);

signals:
    void MouseDown();
    void MouseUp();
    void MouseMove();
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};
