#include "platform/NativeForeground.h"
#include "platform/x11/XcbSupport.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

// The process that the window says it belongs to (_NET_WM_PID), 0 when it does not say.
std::int64_t WindowProcess(xcb_connection_t *connection, xcb_window_t window)
{
    const xcb_atom_t pid = InternAtom(connection, "_NET_WM_PID");
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, pid, XCB_ATOM_CARDINAL, 0, 1), nullptr),
        &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
        return 0;
    return *static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
}

}

namespace NativeForeground {

bool BringToFront(std::uintptr_t window, std::int64_t processId)
{
    // Only the X11 platform's connection: offscreen answers for X11 too, without a usable one.
    if (QGuiApplication::platformName() != QLatin1String("xcb") || window == 0 || window > UINT32_MAX || processId <= 0)
        return false;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const auto id = xcb_window_t(window);
    // Also whether the window exists at all: a window that has gone gives no geometry.
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    if (!geometry || WindowProcess(connection, id) != processId)
        return false;

    // A minimised window comes back when it is mapped again; the window manager sees the request.
    xcb_map_window(connection, id);
    // What a taskbar asks on the user's behalf: restore, raise and focus it (source 2).
    xcb_client_message_event_t activate{};
    activate.response_type = XCB_CLIENT_MESSAGE;
    activate.format = 32;
    activate.window = id;
    activate.type = InternAtom(connection, "_NET_ACTIVE_WINDOW");
    activate.data.data32[0] = 2;
    activate.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, geometry->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&activate));
    // Without a window manager nobody answers that: the window is raised directly.
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(connection);
    return true;
}

}
