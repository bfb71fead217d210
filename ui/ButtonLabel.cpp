#include "ui/ButtonLabel.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTextDocument>
#include <QTextFrame>

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
    : QWidget(parent)
{
    static const bool isFactoryInstalled = (QAccessible::installFactory(&AccessibleButtonLabelFactory), true);
    Q_UNUSED(isFactoryInstalled);
    // Reached with Tab; a click does not take the focus from where the keyboard left it.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
}

void ButtonLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    update();
    if (accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void ButtonLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
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
    QWidget::keyPressEvent(event);
}

void ButtonLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    DrawCaption(painter);
    if (!hasFocus())
        return;
    // Where the keyboard is: the desktop's focus frame around the caption.
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void ButtonLabel::DrawCaption(QPainter &painter) const
{
    // Laid out as a plain-text QLabel that takes the focus lays out its caption: in a text
    // document (a pixel lower than the style's text drawing puts it). The document lives only as
    // long as the paint; the label kept one for good, some 10 KB a button.
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    document.setDefaultFont(font());
    // As written: "<b>", "&lt;", "&" and "<img>" are characters, not markup or mnemonics.
    document.setPlainText(m_text);
    QTextOption option = document.defaultTextOption();
    option.setAlignment(m_alignment);
    option.setWrapMode(QTextOption::ManualWrap);
    document.setDefaultTextOption(option);
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setMargin(0);
    document.rootFrame()->setFrameFormat(frame);
    const QRect area = contentsRect();
    document.setTextWidth(area.width());

    const qreal height = document.documentLayout()->documentSize().height();
    qreal top = 0;
    if (m_alignment & Qt::AlignVCenter)
        top = qMax((area.height() - height) / 2, qreal(0));
    else if (m_alignment & Qt::AlignBottom)
        top = qMax(area.height() - height, qreal(0));
    const QRect layout = QRectF(area.x(), area.y() + top, area.width(), area.height()).toAlignedRect();

    QAbstractTextDocumentLayout::PaintContext context;
    QStyleOption style;
    style.initFrom(this);
    context.palette = style.palette;
    if (foregroundRole() != QPalette::Text && isEnabled())
        context.palette.setColor(QPalette::Text, context.palette.color(foregroundRole()));
    painter.save();
    painter.translate(layout.topLeft());
    painter.setClipRect(layout.translated(-layout.topLeft()));
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}
