#include "platform/NativeWindowRequests.h"
#include "platform/x11/XcbSupport.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

bool IsWayland()
{
    return QGuiApplication::platformName() == QLatin1String("wayland");
}

// A list property of the window (of atoms or windows), read whole.
XcbReply<xcb_get_property_reply_t> ListProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
                                                xcb_atom_t type)
{
    return XcbReply<xcb_get_property_reply_t>(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, property, type, 0, 4096), nullptr),
        &std::free);
}

}

namespace NativeWindowRequests {

bool KeepsOnTop()
{
    if (IsWayland())
        return false;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !connection)
        return true;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const XcbReply<xcb_get_property_reply_t> manager = ListProperty(
        connection, root, InternAtom(connection, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (!manager || xcb_get_property_value_length(manager.get()) < 4)
        return true;
    const xcb_atom_t above = InternAtom(connection, "_NET_WM_STATE_ABOVE");
    const XcbReply<xcb_get_property_reply_t> supported = ListProperty(connection, root, InternAtom(connection, "_NET_SUPPORTED"),
                                                                      XCB_ATOM_ATOM);
    if (!supported || supported->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / 4;
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == above)
            return true;
    }
    return false;
}

bool PlacesAsAsked()
{
    return !IsWayland();
}

}
