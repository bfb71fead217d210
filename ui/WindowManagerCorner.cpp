#include "ui/WindowManagerCorner.h"

#include "platform/NativeWindowManagerIpc.h"
#include "ui/PaletteDesign.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

namespace {

// The window manager takes the window over a moment after it is mapped: asked again every 50 ms,
// for up to 5 s (sway under load took over 1 s).
constexpr int kRetryMilliseconds = 50;
constexpr int kAttempts = 100;

}

WindowManagerCorner::WindowManagerCorner(QWidget *window)
    : QObject(window), m_window(window),
      // Only a window on the window manager's own display: offscreen windows are no one's.
      m_isActive(
          (QGuiApplication::platformName() == QLatin1String("xcb") || QGuiApplication::platformName() == QLatin1String("wayland"))
          && NativeWindowManagerIpc::IsRunning())
{
}

void WindowManagerCorner::request()
{
    if (!m_isActive)
        return;
    const bool isWaiting = m_attempts > 0;
    m_attempts = kAttempts;
    if (!isWaiting)
        QTimer::singleShot(0, this, &WindowManagerCorner::attempt);
}

void WindowManagerCorner::attempt()
{
    if (m_attempts == 0)
        return;
    --m_attempts;
    // Only an X11 window has an id that the window manager knows.
    const std::uint32_t x11Window = QGuiApplication::platformName() == QLatin1String("xcb")
                                        ? std::uint32_t(m_window->internalWinId())
                                        : 0;
    const std::optional<NativeWindowManagerIpc::Floating> floating = NativeWindowManagerIpc::FindFloating(
        QCoreApplication::applicationPid(), x11Window, m_window->windowTitle().toStdString());
    if (!floating || !m_window->isVisible()) {
        if (m_attempts > 0)
            QTimer::singleShot(kRetryMilliseconds, this, &WindowManagerCorner::attempt);
        return;
    }
    m_attempts = 0;
    const NativeWindowManagerIpc::Rect &frame = floating->frame;
    const QPoint place(frame.x, frame.y);
    if (m_asked && place != *m_asked)
        m_leftAt = place + QPoint(frame.width, frame.height);
    const NativeWindowManagerIpc::Rect &output = floating->output;
    using namespace PaletteDesign;
    const QPoint gaps(Px(ScreenRightGap), Px(ScreenBottomGap));
    const QPoint corner = m_leftAt.value_or(QPoint(output.x + output.width, output.y + output.height) - gaps);
    const QPoint target = corner - QPoint(frame.width, frame.height);
    if (target != place && NativeWindowManagerIpc::Move(floating->container, target.x(), target.y()))
        m_asked = target;
    else if (!m_asked)
        m_asked = place;
}
