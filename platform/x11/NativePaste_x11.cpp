#include "platform/NativePaste.h"

#include "platform/x11/XcbKeyboard.h"
#include "platform/x11/XcbSupport.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>

namespace NativePaste {

namespace {

xcb_connection_t *Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// A window's client: X gives each client a range of resource ids, above the mask's bits.
std::uint64_t ClientOf(xcb_connection_t *connection, xcb_window_t window)
{
    return window == XCB_WINDOW_NONE ? 0 : std::uint64_t(window & ~xcb_get_setup(connection)->resource_id_mask);
}

bool IsDown(const uint8_t *keys, xcb_keycode_t code)
{
    return keys[code / 8] & (1u << (code % 8));
}

void FakeKey(xcb_connection_t *connection, uint8_t type, xcb_keycode_t code)
{
    xcb_test_fake_input(connection, type, code, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0, 0);
}

}

std::uint64_t FocusedProgram()
{
    xcb_connection_t *connection = Connection();
    if (!connection)
        return 0;
    const XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr), &std::free);
    // PointerRoot (1) sends keys wherever the pointer is: no window of one client.
    if (!focus || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
        return 0;
    return ClientOf(connection, focus->focus);
}

bool SendPasteKeystroke(int waitMilliseconds)
{
    // Wayland lets a program type into another only through a privileged input device.
    xcb_connection_t *connection = Connection();
    if (!connection || IsWaylandSession())
        return false;
    const XcbKeyboard::Mapping mapping(connection);
    const std::vector<xcb_keycode_t> controls = mapping.keycodes(XcbKeyboard::Sym::ControlL);
    const std::vector<xcb_keycode_t> vs = mapping.keycodes(XcbKeyboard::Sym::V);
    if (controls.empty() || vs.empty())
        return false;

    // The global key's own modifiers would turn Ctrl+V into Ctrl+Alt+V, and while its key is down
    // the keyboard stays grabbed by this program, which would receive the keystroke itself.
    std::vector<xcb_keycode_t> held;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const XcbReply<xcb_query_keymap_reply_t> keymap(xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr),
                                                        &std::free);
        if (!keymap)
            return false;
        held.clear();
        const bool isAnyDown = std::any_of(std::begin(keymap->keys), std::end(keymap->keys),
                                           [](uint8_t bits) { return bits != 0; });
        for (const xcb_keycode_t code : mapping.modifierKeys()) {
            if (IsDown(keymap->keys, code))
                held.push_back(code);
        }
        if (!isAnyDown || timer.elapsed() >= waitMilliseconds)
            break;
        QThread::msleep(5);
    }
    xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    for (const xcb_keycode_t code : held)
        FakeKey(connection, XCB_KEY_RELEASE, code);

    FakeKey(connection, XCB_KEY_PRESS, controls.front());
    FakeKey(connection, XCB_KEY_PRESS, vs.front());
    FakeKey(connection, XCB_KEY_RELEASE, vs.front());
    FakeKey(connection, XCB_KEY_RELEASE, controls.front());
    xcb_flush(connection);
    return true;
}

// X11 names the reader in every request: a clipboard manager's read is told apart without a hint.
std::vector<std::string> PrivateFormats()
{
    return {};
}

// The toolkit answers a request for the clipboard right after this filter has seen it: the
// requestor it names is the reader while the answer is being made.
struct ReaderWatch::Watcher : QAbstractNativeEventFilter {
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST)
            reader = ClientOf(connection, reinterpret_cast<const xcb_selection_request_event_t *>(event)->requestor);
        return false;
    }

    xcb_connection_t *connection = nullptr;
    std::uint64_t reader = 0;
};

ReaderWatch::ReaderWatch()
{
    xcb_connection_t *connection = Connection();
    if (!connection)
        return;
    m_watcher = std::make_unique<Watcher>();
    m_watcher->connection = connection;
    QCoreApplication::instance()->installNativeEventFilter(m_watcher.get());
}

ReaderWatch::~ReaderWatch()
{
    if (m_watcher && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_watcher.get());
}

std::uint64_t ReaderWatch::currentReader() const
{
    return m_watcher ? m_watcher->reader : 0;
}

}
