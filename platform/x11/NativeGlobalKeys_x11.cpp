#include "platform/NativeGlobalKeys.h"

#include "platform/portal/PortalGlobalKeys.h"
#include "platform/x11/XcbKeyboard.h"
#include "platform/x11/XcbSupport.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace NativeGlobalKeys {

namespace {

// Grabs on the root window, which the server reports to this client whatever window has the
// focus, once for every state of CapsLock and NumLock: the server compares the whole state.
class X11Grabber : public Grabber, public QAbstractNativeEventFilter {
public:
    X11Grabber(xcb_connection_t *connection, xcb_window_t root, Listener listener)
        : m_connection(connection), m_root(root), m_listener(std::move(listener)), m_mapping(connection)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~X11Grabber() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        releaseAll();
        xcb_flush(m_connection);
    }

    void take(const std::vector<Key> &keys) override
    {
        releaseAll();
        std::vector<Result> results;
        results.reserve(keys.size());
        for (const Key &key : keys)
            results.push_back({key.id, grab(key)});
        xcb_flush(m_connection);
        if (m_listener.taken)
            m_listener.taken(results);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        const uint8_t type = event->response_type & 0x7f;
        if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
            return false;
        const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
        if (key->event != m_root)
            return false;
        for (Grabbed &grabbed : m_grabbed) {
            if (std::find(grabbed.codes.begin(), grabbed.codes.end(), key->detail) == grabbed.codes.end()
                || (key->state & relevantMask()) != grabbed.mask)
                continue;
            if (type == XCB_KEY_RELEASE) {
                grabbed.releasedAt = key->time;
                return true;
            }
            // A key held down repeats as a release and a press at the same moment: it runs once.
            if (grabbed.releasedAt != key->time && m_listener.pressed)
                m_listener.pressed(grabbed.id);
            return true;
        }
        return false;
    }

private:
    struct Grabbed {
        int id = 0;
        std::vector<xcb_keycode_t> codes;
        uint16_t mask = 0;
        xcb_timestamp_t releasedAt = 0;
    };

    uint16_t relevantMask() const
    {
        const XcbKeyboard::Modifiers &m = m_mapping.modifiers();
        return uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | m.alt | m.meta);
    }

    std::vector<uint16_t> lockStates() const
    {
        const uint16_t numLock = m_mapping.modifiers().numLock;
        return {0, XCB_MOD_MASK_LOCK, numLock, uint16_t(XCB_MOD_MASK_LOCK | numLock)};
    }

    Outcome grab(const Key &key)
    {
        const XcbKeyboard::Modifiers &m = m_mapping.modifiers();
        Grabbed grabbed{key.id, m_mapping.keycodes(XcbKeyboard::KeysymOfQtKey(key.key)), 0, 0};
        if (grabbed.codes.empty())
            return Outcome::NoSuchKey;
        grabbed.mask = uint16_t(((key.modifiers & 1) ? XCB_MOD_MASK_CONTROL : 0) | ((key.modifiers & 2) ? m.alt : 0)
                                | ((key.modifiers & 4) ? XCB_MOD_MASK_SHIFT : 0) | ((key.modifiers & 8) ? m.meta : 0));
        // Checked one by one: another client's grab of the same key and state is an error.
        for (const xcb_keycode_t code : grabbed.codes) {
            for (const uint16_t locks : lockStates()) {
                const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 0, m_root, uint16_t(grabbed.mask | locks),
                                                                      code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
                if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
                    std::free(error);
                    release(grabbed);
                    return Outcome::InUse;
                }
            }
        }
        m_grabbed.push_back(std::move(grabbed));
        return Outcome::Taken;
    }

    void release(const Grabbed &grabbed)
    {
        for (const xcb_keycode_t code : grabbed.codes) {
            for (const uint16_t locks : lockStates())
                xcb_ungrab_key(m_connection, code, m_root, uint16_t(grabbed.mask | locks));
        }
    }

    void releaseAll()
    {
        for (const Grabbed &grabbed : m_grabbed)
            release(grabbed);
        m_grabbed.clear();
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    Listener m_listener;
    XcbKeyboard::Mapping m_mapping;
    std::vector<Grabbed> m_grabbed;
};

}

std::unique_ptr<Grabber> Make(Listener listener)
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb") && !IsWaylandSession()) {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
        if (connection) {
            const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
            return std::make_unique<X11Grabber>(connection, screen->root, std::move(listener));
        }
    }
    if (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland")))
        return MakePortalGrabber(std::move(listener));
    return MakeUnavailable(std::move(listener));
}

}
