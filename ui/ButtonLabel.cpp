#include "ui/ButtonLabel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <utility>

namespace {

// A label that assistive technology sees as what it does: a button (or a link) with its caption
// as the name and a press action, where QLabel's own interface is static text.
class AccessibleButtonLabel : public QAccessibleWidget {
public:
    explicit AccessibleButtonLabel(ButtonLabel *label)
        : QAccessibleWidget(label, label->accessibleRole())
    {
    }

    // Read each time: the role may be set after the interface was made.
    QAccessible::Role role() const override { return label()->accessibleRole(); }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return label()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        // The screen reader waits for this call to return; an action that works for a while or
        // ends in a box would hold it up all that time.
        if (actionName == pressAction())
            QMetaObject::invokeMethod(label(), &ButtonLabel::click, Qt::QueuedConnection);
    }

private:
    ButtonLabel *label() const { return static_cast<ButtonLabel *>(widget()); }
};

QAccessibleInterface *AccessibleButtonLabelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("ButtonLabel") && object && object->isWidgetType())
        return new AccessibleButtonLabel(static_cast<ButtonLabel *>(object));
    return nullptr;
}

}

ButtonLabel::ButtonLabel(QWidget *parent)
    : QLabel(parent)
{
    static const bool isFactoryInstalled = (QAccessible::installFactory(&AccessibleButtonLabelFactory), true);
    Q_UNUSED(isFactoryInstalled);
    // Captions come from the settings file and are shown as written: "<b>", "&lt;" and "<img>"
    // are characters, not markup.
    setTextFormat(Qt::PlainText);
    // Reached with Tab; a click does not take the focus from where the keyboard left it.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
}

void ButtonLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit MouseDown();
}

void ButtonLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The desktop reports the second press of a double click as a double click: the first
    // click has acted already.
    if (event->button() == Qt::LeftButton)
        m_isSecondPress = true;
    mousePressEvent(event);
}

void ButtonLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    emit MouseUp();
    if (event->button() != Qt::LeftButton)
        return;
    const bool isSecondPress = std::exchange(m_isSecondPress, false);
    if (!isSecondPress && rect().contains(event->position().toPoint()))
        emit Click();
}

void ButtonLabel::mouseMoveEvent(QMouseEvent *event)
{
    // Accepted, so that the move does not reach the frame, which clears every highlight.
    event->accept();
    emit MouseMove();
}

void ButtonLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        // Holding the key down presses once.
        if (!event->isAutoRepeat())
            emit Click();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ButtonLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Where the keyboard is: the desktop's focus frame around the caption.
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
