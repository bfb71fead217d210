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
#include <QTextLayout>

#include <QtMath>

#include <algorithm>
#include <utility>

namespace {

// Whether the text makes one paragraph of a plain-text document, which starts a new one at each
// line feed, carriage return (a CR LF is one break), paragraph separator and frame mark.
bool IsOneParagraph(const QString &text)
{
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
    });
}

// A label that assistive technology sees as what it does: a button (or a link) with its caption
// as the name and a press action, where QLabel's own interface is static text.
class AccessibleButtonLabel : public QAccessibleWidget {
public:
    explicit AccessibleButtonLabel(ButtonLabel *label) : QAccessibleWidget(label, label->accessibleRole()) { }

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

ButtonLabel::ButtonLabel(QWidget *parent) : QWidget(parent)
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
    // document (a pixel lower than the style's text drawing puts it). A caption of one paragraph
    // is one text layout there, laid out so directly: a document for each paint brought the text
    // document's code into the palette's memory, 0.2 MB of it.
    painter.save();
    if (IsOneParagraph(m_text))
        DrawParagraph(painter);
    else
        DrawDocument(painter);
    painter.restore();
}

// The caption's one paragraph as the document's layout places it: each line as wide as the
// label, or as its text where that is wider, and as high as its ascent, descent and leading
// rounded up.
void ButtonLabel::DrawParagraph(QPainter &painter) const
{
    const QRect area = contentsRect();
    QTextLayout layout(m_text, font());
    QTextOption option;
    option.setAlignment(m_alignment);
    option.setWrapMode(QTextOption::ManualWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(area.width());
        if (line.naturalTextWidth() > area.width())
            line.setLineWidth(line.naturalTextWidth());
        line.setPosition(QPointF(0, height));
        height += qCeil(line.ascent() + line.descent() + line.leading());
    }
    layout.endLayout();

    MoveToCaption(painter, height);
    painter.setPen(CaptionColors().color(QPalette::Text));
    layout.draw(&painter, QPointF(0, 0));
}

// A caption of several paragraphs, in a document that lives only as long as the paint; the
// label kept one for good, some 10 KB a button.
void ButtonLabel::DrawDocument(QPainter &painter) const
{
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
    document.setTextWidth(contentsRect().width());

    MoveToCaption(painter, document.documentLayout()->documentSize().height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = CaptionColors();
    document.documentLayout()->draw(&painter, context);
}

// Moves the painter's origin to the caption's top left and clips it to the label's contents,
// for a caption `height` high that the alignment puts at the top, middle or bottom.
void ButtonLabel::MoveToCaption(QPainter &painter, qreal height) const
{
    const QRect area = contentsRect();
    qreal top = 0;
    if (m_alignment & Qt::AlignVCenter)
        top = qMax((area.height() - height) / 2, qreal(0));
    else if (m_alignment & Qt::AlignBottom)
        top = qMax(area.height() - height, qreal(0));
    const QRect place = QRectF(area.x(), area.y() + top, area.width(), area.height()).toAlignedRect();
    painter.translate(place.topLeft());
    painter.setClipRect(place.translated(-place.topLeft()));
}

// The label's colours with its text colour as the one text is drawn in.
QPalette ButtonLabel::CaptionColors() const
{
    QStyleOption style;
    style.initFrom(this);
    QPalette colors = style.palette;
    if (foregroundRole() != QPalette::Text && isEnabled())
        colors.setColor(QPalette::Text, colors.color(foregroundRole()));
    return colors;
}
