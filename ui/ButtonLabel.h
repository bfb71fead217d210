#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>

class QPainter;

// A text label used as a button: it reports presses, releases and pointer moves of any mouse
// button, and a click when the left button is released inside it. The second press of a double
// click gives the pressed look but no second click. Tab reaches it, and Space or Return presses
// it. For assistive technology it is a button (or the role it is given) named by its caption,
// whose press action clicks it once the call has returned.
// It draws its caption as a plain-text QLabel that takes the focus does, characters as written.
// It is no QLabel: such a QLabel keeps a whole text document for its caption (some 10 KB a
// button, 1 MB of a palette with 100 items).
class ButtonLabel : public QWidget {
    Q_OBJECT
public:
    explicit ButtonLabel(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    QAccessible::Role accessibleRole() const { return m_accessibleRole; }
    void setAccessibleRole(QAccessible::Role role) { m_accessibleRole = role; }
    // What a release of the left button inside the label does.
    void click() { emit Click(); }

signals:
    void MouseDown();
    void MouseUp();
    void MouseMove();
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void DrawCaption(QPainter &painter) const;
    void DrawParagraph(QPainter &painter) const;
    void DrawDocument(QPainter &painter) const;
    void MoveToCaption(QPainter &painter, qreal height) const;
    QPalette CaptionColors() const;

    QString m_text;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QAccessible::Role m_accessibleRole = QAccessible::Button;
    bool m_isSecondPress = false;
};
