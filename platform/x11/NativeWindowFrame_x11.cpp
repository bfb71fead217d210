#include "platform/NativeWindowFrame.h"
#include "platform/x11/XcbSupport.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>

// The toolkit's own connection: the window's events reach this filter as they reach the toolkit
// (it asks for structure and property events on its windows), in the order the server sent them,
// so a frame that changes is known before the move that goes with it.
struct WindowFrameWatch::Watcher : QAbstractNativeEventFilter {
    Watcher(xcb_connection_t *connection, std::function<std::uintptr_t()> currentWindow, Listener listener)
        : connection(connection), currentWindow(std::move(currentWindow)), listener(std::move(listener))
    {
        extentsAtom = InternAtom(connection, "_NET_FRAME_EXTENTS");
        requestAtom = InternAtom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    }

    // The window asked about now; a window made anew starts as a child of the root, unframed.
    xcb_window_t window()
    {
        const std::uintptr_t current = currentWindow();
        const auto id = current <= UINT32_MAX ? xcb_window_t(current) : xcb_window_t(XCB_WINDOW_NONE);
        if (id != followed) {
            followed = id;
            parent = XCB_WINDOW_NONE;
            root = XCB_WINDOW_NONE;
            told.reset();
            if (id != XCB_WINDOW_NONE) {
                const XcbReply<xcb_get_geometry_reply_t> geometry(
                    xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
                if (geometry)
                    root = parent = geometry->root;
            }
        }
        return followed;
    }

    std::optional<Extents> read(xcb_window_t id) const
    {
        if (id == XCB_WINDOW_NONE || extentsAtom == XCB_ATOM_NONE)
            return std::nullopt;
        const XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection, xcb_get_property(connection, 0, id, extentsAtom, XCB_ATOM_CARDINAL, 0, 4),
                                   nullptr),
            &std::free);
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
            return std::nullopt;
        // Left, right, top, bottom.
        const auto *value = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
        return Extents{int(value[0]), int(value[1]), int(value[2]), int(value[3])};
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        switch (event->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if (property->atom == extentsAtom && property->window != XCB_WINDOW_NONE && property->window == window()) {
                const Extents extents = read(property->window).value_or(Extents{});
                if (told != extents) {
                    told = extents;
                    if (listener.frameChanged)
                        listener.frameChanged(extents);
                }
            }
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            const auto *reparent = reinterpret_cast<const xcb_reparent_notify_event_t *>(event);
            if (reparent->window == XCB_WINDOW_NONE || reparent->window != window())
                break;
            parent = reparent->parent;
            // A window manager has taken the window over, or given it back when it ended.
            if (listener.reframed)
                listener.reframed();
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            const auto *configure = reinterpret_cast<const xcb_configure_notify_event_t *>(event);
            if (configure->window == XCB_WINDOW_NONE || configure->window != window() || !listener.placed)
                break;
            // The event only says that something changed: a window manager's own report (ICCCM
            // 4.1.5) may tell a place the window does not stand at yet, or any more (openbox tells
            // the frame's new size at the frame's old place while it changes its theme). The
            // server answers where the window stands.
            const xcb_translate_coordinates_cookie_t placeCookie = xcb_translate_coordinates(connection, followed, root, 0, 0);
            const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(connection, followed);
            const XcbReply<xcb_translate_coordinates_reply_t> place(
                xcb_translate_coordinates_reply(connection, placeCookie, nullptr), &std::free);
            const XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection, treeCookie, nullptr), &std::free);
            // Taken over meanwhile: the frame still stands where the window manager made it, and the
            // notice of the new parent, which comes next, asks for the window's place again.
            if (place && tree && tree->parent == parent) {
                // A window manager's report is sent (ICCCM) and tells the place on the screen; the
                // server's own tells it in the parent, which is the screen only without a frame.
                const bool isSent = (event->response_type & 0x80) != 0;
                if (listener.told && (isSent || parent == root))
                    listener.told(configure->x, configure->y);
                listener.placed(place->dst_x, place->dst_y);
            }
            break;
        }
        default: break;
        }
        return false;
    }

    xcb_connection_t *connection;
    std::function<std::uintptr_t()> currentWindow;
    Listener listener;
    xcb_atom_t extentsAtom = XCB_ATOM_NONE;
    xcb_atom_t requestAtom = XCB_ATOM_NONE;
    xcb_window_t followed = XCB_WINDOW_NONE;
    xcb_window_t parent = XCB_WINDOW_NONE;
    xcb_window_t root = XCB_WINDOW_NONE;
    std::optional<Extents> told;
};

WindowFrameWatch::WindowFrameWatch(std::function<std::uintptr_t()> currentWindow, Listener listener)
{
    // Only the X11 platform's connection: offscreen answers for X11 too, without a usable one.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    m_watcher = std::make_unique<Watcher>(connection, std::move(currentWindow), std::move(listener));
    QCoreApplication::instance()->installNativeEventFilter(m_watcher.get());
}

WindowFrameWatch::~WindowFrameWatch()
{
    if (m_watcher && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_watcher.get());
}

bool WindowFrameWatch::isWatching() const
{
    return m_watcher != nullptr;
}

void WindowFrameWatch::requestExtents()
{
    if (!m_watcher)
        return;
    const xcb_window_t window = m_watcher->window();
    if (window == XCB_WINDOW_NONE || m_watcher->root == XCB_WINDOW_NONE || m_watcher->requestAtom == XCB_ATOM_NONE)
        return;
    // EWMH: a window manager that supports it puts _NET_FRAME_EXTENTS on the unmapped window at once.
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = window;
    request.type = m_watcher->requestAtom;
    xcb_send_event(m_watcher->connection, 0, m_watcher->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(m_watcher->connection);
}

std::optional<WindowFrameWatch::Extents> WindowFrameWatch::extents() const
{
    if (!m_watcher)
        return std::nullopt;
    std::optional<Extents> extents = m_watcher->read(m_watcher->window());
    if (extents)
        m_watcher->told = extents;
    return extents;
}
