#include "platform/NativeGlobalKeys.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <Qt>

#include <windows.h>

namespace NativeGlobalKeys {

namespace {

UINT VirtualKey(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return UINT(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + UINT(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    default: return 0;
    }
}

// Hot keys of the thread: Windows posts WM_HOTKEY to the thread's queue, which the toolkit's
// event loop hands to native event filters before anything else.
class WindowsGrabber : public Grabber, public QAbstractNativeEventFilter {
public:
    explicit WindowsGrabber(Listener listener) : m_listener(std::move(listener))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~WindowsGrabber() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        releaseAll();
    }

    void take(const std::vector<Key> &keys) override
    {
        releaseAll();
        std::vector<Result> results;
        for (const Key &key : keys) {
            const UINT virtualKey = VirtualKey(key.key);
            // MOD_NOREPEAT: a key held down runs its item once.
            const UINT modifiers = ((key.modifiers & 1) ? MOD_CONTROL : 0) | ((key.modifiers & 2) ? MOD_ALT : 0)
                                   | ((key.modifiers & 4) ? MOD_SHIFT : 0) | ((key.modifiers & 8) ? MOD_WIN : 0) | MOD_NOREPEAT;
            Outcome outcome = Outcome::NoSuchKey;
            if (virtualKey != 0) {
                if (RegisterHotKey(nullptr, key.id, modifiers, virtualKey)) {
                    m_ids.push_back(key.id);
                    outcome = Outcome::Taken;
                } else {
                    outcome = GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? Outcome::InUse : Outcome::Unavailable;
                }
            }
            results.push_back({key.id, outcome});
        }
        if (m_listener.taken)
            m_listener.taken(results);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_dispatcher_MSG" && eventType != "windows_generic_MSG")
            return false;
        const auto *msg = static_cast<const MSG *>(message);
        if (msg->message != WM_HOTKEY || msg->hwnd != nullptr)
            return false;
        if (m_listener.pressed)
            m_listener.pressed(int(msg->wParam));
        return true;
    }

private:
    void releaseAll()
    {
        for (const int id : m_ids)
            UnregisterHotKey(nullptr, id);
        m_ids.clear();
    }

    Listener m_listener;
    std::vector<int> m_ids;
};

}

std::unique_ptr<Grabber> Make(Listener listener)
{
    // Hot keys belong to the desktop, which a window system without one (offscreen) stands for.
    if (QGuiApplication::platformName() != QLatin1String("windows"))
        return MakeUnavailable(std::move(listener));
    return std::make_unique<WindowsGrabber>(std::move(listener));
}

}
