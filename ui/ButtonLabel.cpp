#include "ui/ButtonLabel.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

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
        if (actionName == pressAction())
            label()->click();
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
    setFocusPolicy(Qt::NoFocus);
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
