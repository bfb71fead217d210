#include "ui/PaletteAccessibility.h"

#include "ui/EtchedFrame.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr const char *kDrawingOnly = "isDrawingOnly";

// The frame as a group named by its caption whose children are its controls. Qt would list every
// child widget, and name each line of the separator after the frame, as a frame of its own.
class AccessibleFrame : public QAccessibleWidget {
public:
    explicit AccessibleFrame(EtchedFrame *frame) : QAccessibleWidget(frame, QAccessible::Grouping) { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<EtchedFrame *>(widget())->title();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(controls().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QWidgetList list = controls();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() && child->object()->isWidgetType()
                   ? int(controls().indexOf(static_cast<QWidget *>(child->object())))
                   : -1;
    }

private:
    QWidgetList controls() const
    {
        QWidgetList list;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !child->property(kDrawingOnly).toBool())
                list.append(child);
        }
        return list;
    }
};

QAccessibleInterface *PaletteAccessibilityFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("Frm_Item_FromIniFile"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (className == QLatin1String("EtchedFrame"))
        return new AccessibleFrame(static_cast<EtchedFrame *>(object));
    return nullptr;
}

}

void InstallPaletteAccessibility()
{
    static const bool isInstalled = (QAccessible::installFactory(&PaletteAccessibilityFactory), true);
    Q_UNUSED(isInstalled);
}

void MarkAsDrawingOnly(QWidget *widget)
{
    widget->setProperty(kDrawingOnly, true);
}
