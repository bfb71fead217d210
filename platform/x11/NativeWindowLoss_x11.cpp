#include "platform/NativeWindowLoss.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

// On X11 the toolkit's connection receives the window's DestroyNotify, as it asks for structure
// events on its windows; other window systems give no such event to the program.
struct WindowLossWatch::Watcher : QAbstractNativeEventFilter {
    Watcher(std::function<std::uintptr_t()> currentWindow, std::function<void()> lost)
        : currentWindow(std::move(currentWindow)), lost(std::move(lost))
    {
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (!lost || eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
            return false;
        const auto *destroyed = reinterpret_cast<const xcb_destroy_notify_event_t *>(event);
        const std::uintptr_t window = currentWindow();
        if (window == 0 || destroyed->window != window)
            return false;
        std::function<void()> call = std::move(lost);
        lost = nullptr;
        call();
        return false;
    }

    std::function<std::uintptr_t()> currentWindow;
    std::function<void()> lost;
};

WindowLossWatch::WindowLossWatch(std::function<std::uintptr_t()> currentWindow, std::function<void()> lost)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    m_watcher = std::make_unique<Watcher>(std::move(currentWindow), std::move(lost));
    QCoreApplication::instance()->installNativeEventFilter(m_watcher.get());
}

WindowLossWatch::~WindowLossWatch()
{
    if (m_watcher && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_watcher.get());
}
