#include "ui/DesktopLimits.h"

#include "platform/NativeWindowRequests.h"

#include <QPoint>
#include <QToolTip>
#include <QWidget>

namespace {

const QString kKeepOnTop = QStringLiteral("常に手前に表示");
const QString kKeepOnTopIgnored = QStringLiteral("このデスクトップは「常に手前に表示」を受け付けません。");
const QString kPlaceIgnored = QStringLiteral("このデスクトップはウィンドウの位置を自分で決めるため、画面の右下に置けません。");

// A notice rather than a box: it asks for nothing and goes by itself.
void Notice(QWidget *anchor, const QString &text)
{
    QToolTip::showText(anchor->mapToGlobal(QPoint(0, anchor->height())), text, anchor);
}

}

QString DesktopLimits::KeepOnTopToolTip()
{
    if (NativeWindowRequests::KeepsOnTop())
        return kKeepOnTop;
    return kKeepOnTop + QStringLiteral("（このデスクトップはこの指定を無視します）");
}

void DesktopLimits::keepOnTopTicked(QWidget *checkBox)
{
    if (m_isKeepOnTopTold || NativeWindowRequests::KeepsOnTop())
        return;
    m_isKeepOnTopTold = true;
    Notice(checkBox, kKeepOnTopIgnored);
}

void DesktopLimits::shown(QWidget *window, bool isMovedByWindowManager)
{
    if (m_isPlaceTold || isMovedByWindowManager || NativeWindowRequests::PlacesAsAsked())
        return;
    m_isPlaceTold = true;
    Notice(window, kPlaceIgnored);
}
