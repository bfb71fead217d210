#pragma once

// What the X11 files share in speaking to the X server through xcb.

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

// A reply of the server, which xcb allocates for the caller to free.
template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

// The atom of that name; XCB_ATOM_NONE when the server does not answer.
inline xcb_atom_t InternAtom(xcb_connection_t *connection, const char *name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Whether the X server is a Wayland compositor's (XWayland): there, key grabs reach a client only
// while one of its own windows has the focus, and keystrokes sent through XTEST reach X clients
// alone.
inline bool IsWaylandSession()
{
    const char *display = std::getenv("WAYLAND_DISPLAY");
    const char *session = std::getenv("XDG_SESSION_TYPE");
    return (display && *display) || (session && std::strcmp(session, "wayland") == 0);
}
