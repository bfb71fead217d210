#include "ui/PalettePlacement.h"

#include "platform/NativeWindowFrame.h"
#include "ui/WindowManagerCorner.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// The window system's pixels are the toolkit's but under a scale factor, which keeps the screen's
// origin where it is.
double NativeScale(const QWidget *window)
{
    return window->windowHandle() ? window->windowHandle()->devicePixelRatio() : 1.0;
}

QPoint FromNative(const QWidget *window, int x, int y)
{
    const double scale = NativeScale(window);
    const QPoint origin = window->screen() ? window->screen()->geometry().topLeft() : QPoint();
    return origin + QPoint(qRound((x - origin.x()) / scale), qRound((y - origin.y()) / scale));
}

QMargins FromNative(const QWidget *window, const WindowFrameWatch::Extents &frame)
{
    const double scale = NativeScale(window);
    return QMargins(qRound(frame.left / scale), qRound(frame.top / scale), qRound(frame.right / scale),
                    qRound(frame.bottom / scale));
}

// The native window's own size limits, set before the geometry: the widget's limits would clamp
// that geometry, or resize the window on their own first. Each is set in the order that never
// lets the window be resized even for a moment, since a window manager frames a window that may
// be resized otherwise (openbox adds a handle at the bottom, and now and then keeps it).
void FixSize(QWindow &window, const QSize &size)
{
    if (size.width() >= window.maximumWidth() && size.height() >= window.maximumHeight()) {
        window.setMinimumSize(size);
        window.setMaximumSize(size);
    } else {
        window.setMaximumSize(size);
        window.setMinimumSize(size);
    }
}

}

PalettePlacement::PalettePlacement(QWidget *window, std::function<void()> placeAgain)
    : QObject(window), m_window(window), m_placeAgain(std::move(placeAgain)), m_managerCorner(new WindowManagerCorner(window))
{
    WindowFrameWatch::Listener listener;
    listener.frameChanged = [this](const WindowFrameWatch::Extents &frame) {
        if (m_placement.setFrame(FromNative(m_window, frame)))
            placeLater();
    };
    listener.placed = [this](int x, int y) {
        if (m_placement.reported(FromNative(m_window, x, y)))
            placeLater();
    };
    listener.told = [this](int x, int y) { m_placement.told(FromNative(m_window, x, y)); };
    listener.reframed = [this] {
        if (m_placement.reframed())
            placeLater();
    };
    m_frameWatch = std::make_unique<WindowFrameWatch>([window] { return std::uintptr_t(window->internalWinId()); },
                                                      std::move(listener));
    window->installEventFilter(this);
}

PalettePlacement::~PalettePlacement() = default;

void PalettePlacement::setScreenGeometry(const QRect &screen)
{
    m_screenGeometry = screen;
}

WindowPlacement::Decision PalettePlacement::apply(const QSize &content, int scrollBarWidth)
{
    m_isPlaced = true;
    m_isQueued = false;
    QRect screenRect = m_screenGeometry;
    if (!screenRect.isValid() && m_window->screen())
        screenRect = m_window->screen()->geometry();
    m_placement.setScreen(screenRect);
    // The desktop's frame around the inside: caption bar and borders. Where the window manager
    // tells it (X11), as it has told it so far, before mapping when it answers the request; the
    // watch follows what it tells later. Elsewhere the toolkit knows it before the window shows.
    QWindow *window = m_window->windowHandle();
    if (m_frameWatch->isWatching()) {
        if (const std::optional<WindowFrameWatch::Extents> frame = m_frameWatch->extents())
            m_placement.setFrame(FromNative(m_window, *frame));
    } else {
        m_placement.setFrame(window ? window->frameMargins() : QMargins());
    }

    const WindowPlacement::Decision decision = m_placement.place(content, scrollBarWidth);
    if (window)
        FixSize(*window, decision.inside.size());
    // One request to the window system, which the size limits now allow.
    m_window->setGeometry(decision.inside);
    m_managerCorner->request();
    return decision;
}

bool PalettePlacement::isMovedByWindowManager() const
{
    return m_managerCorner->isActive();
}

void PalettePlacement::placeLater()
{
    if (!m_isPlaced || m_isQueued)
        return;
    m_isQueued = true;
    QTimer::singleShot(0, this, [this] {
        if (m_isQueued)
            m_placeAgain();
    });
}

bool PalettePlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        // Before the window is mapped, which follows this event.
        m_frameWatch->requestExtents();
        break;
    case QEvent::Move:
        // Where the toolkit reports every move itself, it is the report of the window's place.
        if (!m_frameWatch->isWatching() && m_isPlaced && m_placement.reported(m_window->geometry().topLeft()))
            placeLater();
        break;
    default: break;
    }
    // Where the toolkit knows the frame itself, a frame that changes (known once the native window
    // exists) moves the window as long as the user has not.
    if (m_isPlaced && !m_frameWatch->isWatching() && m_window->isVisible() && m_window->windowHandle()
        && m_window->windowHandle()->frameMargins() != m_placement.frame() && m_placement.isFollowing())
        placeLater();
    return false;
}
