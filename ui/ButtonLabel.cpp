#include "ui/ButtonLabel.h"

#include <QMouseEvent>

ButtonLabel::ButtonLabel(QWidget *parent)
    : QLabel(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void ButtonLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit MouseDown();
}

void ButtonLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    emit MouseUp();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

void ButtonLabel::mouseMoveEvent(QMouseEvent *event)
{
    // Accepted, so that the move does not reach the frame, which clears every highlight.
    event->accept();
    emit MouseMove();
}
