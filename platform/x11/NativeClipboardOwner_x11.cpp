#include "platform/NativeClipboardOwner.h"
#include "platform/x11/XcbSupport.h"

#include <QDeadlineTimer>
#include <QGuiApplication>

#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

struct ConnectionCloser {
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

xcb_window_t SelectionOwner(xcb_connection_t *connection, xcb_atom_t selection)
{
    const xcb_get_selection_owner_cookie_t cookie = xcb_get_selection_owner(connection, selection);
    XcbReply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

// Waits for the owner's SelectionNotify on the requestor window until the deadline.
bool AwaitsAnswer(xcb_connection_t *connection, xcb_window_t requestor, const QDeadlineTimer &deadline)
{
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const bool isAnswer = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY
                                  && reinterpret_cast<xcb_selection_notify_event_t *>(event)->requestor == requestor;
            std::free(event);
            if (isAnswer)
                return true;
        }
        if (xcb_connection_has_error(connection) || deadline.hasExpired())
            return false;
        poll(&descriptor, 1, int(deadline.remainingTime()));
    }
}

// A connection of the program's own: the toolkit's events stay untouched, and the wait has a
// deadline. It lives as long as the program, so that an owner that answers late still finds the
// window it was asked from (xclip ends on an error when that window is gone).
struct ProbeConnection {
    Connection connection;
    xcb_window_t requestor = XCB_WINDOW_NONE;
    xcb_atom_t clipboard = XCB_ATOM_NONE;
    xcb_atom_t targets = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;

    bool open()
    {
        if (connection && !xcb_connection_has_error(connection.get()))
            return true;
        int screenNumber = 0;
        connection.reset(xcb_connect(nullptr, &screenNumber));
        xcb_connection_t *c = connection.get();
        if (xcb_connection_has_error(c))
            return false;
        clipboard = InternAtom(c, "CLIPBOARD");
        targets = InternAtom(c, "TARGETS");
        property = InternAtom(c, "TAVRELO_CLIPBOARD_PROBE");
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
            xcb_screen_next(&screens);
        if (screens.rem == 0 || clipboard == XCB_ATOM_NONE || targets == XCB_ATOM_NONE || property == XCB_ATOM_NONE)
            return false;
        requestor = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, requestor, screens.data->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        return true;
    }
};

}

NativeClipboardOwner::State NativeClipboardOwner::Probe(ClipboardMode mode, int milliseconds)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return State::Unknown;
    static ProbeConnection probe;
    if (!probe.open())
        return State::Unknown;
    xcb_connection_t *c = probe.connection.get();
    const xcb_atom_t selection = mode == ClipboardMode::Clipboard ? probe.clipboard : xcb_atom_t(XCB_ATOM_PRIMARY);
    if (SelectionOwner(c, selection) == XCB_WINDOW_NONE)
        return State::None;
    // Late answers to an earlier question do not answer this one.
    while (xcb_generic_event_t *event = xcb_poll_for_event(c))
        std::free(event);
    xcb_convert_selection(c, probe.requestor, selection, probe.targets, probe.property, XCB_CURRENT_TIME);
    xcb_flush(c);
    const bool isAnswered = AwaitsAnswer(c, probe.requestor, QDeadlineTimer(milliseconds));
    xcb_delete_property(c, probe.requestor, probe.property);
    xcb_flush(c);
    return isAnswered ? State::Answering : State::Silent;
}
