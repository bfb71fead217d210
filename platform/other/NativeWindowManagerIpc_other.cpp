#include "platform/NativeWindowManagerIpc.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

// The i3 protocol, which sway speaks too: "i3-ipc", the payload's length and the message type
// (both 32-bit in the machine's order), then the payload; the answer comes in the same form.
constexpr char kMagic[] = "i3-ipc";
constexpr std::size_t kMagicSize = sizeof(kMagic) - 1;
constexpr std::uint32_t kRunCommand = 0;
constexpr std::uint32_t kGetTree = 4;

QByteArray SocketPath()
{
    for (const char *name : {"SWAYSOCK", "I3SOCK"}) {
        const char *value = std::getenv(name);
        if (value && *value)
            return QByteArray(value);
    }
    return QByteArray();
}

class Socket {
public:
    explicit Socket(const QByteArray &path)
    {
        sockaddr_un address{};
        if (path.isEmpty() || std::size_t(path.size()) >= sizeof(address.sun_path))
            return;
        m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0)
            return;
        // A window manager that hangs must not hang the palette.
        const timeval limit{1, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        if (connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~Socket()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;

    bool isOpen() const { return m_fd >= 0; }

    // The answer's payload; empty on any failure.
    QByteArray ask(std::uint32_t type, const QByteArray &payload)
    {
        QByteArray message(kMagic, kMagicSize);
        const auto length = std::uint32_t(payload.size());
        message.append(reinterpret_cast<const char *>(&length), sizeof length);
        message.append(reinterpret_cast<const char *>(&type), sizeof type);
        message.append(payload);
        if (!isOpen() || !writeAll(message))
            return QByteArray();
        QByteArray header = readExactly(kMagicSize + 8);
        if (header.size() != qsizetype(kMagicSize) + 8 || !header.startsWith(kMagic))
            return QByteArray();
        std::uint32_t answerLength = 0;
        std::memcpy(&answerLength, header.constData() + kMagicSize, sizeof answerLength);
        // A tree of a few thousand windows is well below this.
        if (answerLength > 64u * 1024 * 1024)
            return QByteArray();
        return readExactly(answerLength);
    }

private:
    bool writeAll(const QByteArray &data)
    {
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t written = send(m_fd, data.constData() + done, std::size_t(data.size() - done), MSG_NOSIGNAL);
            if (written <= 0)
                return false;
            done += written;
        }
        return true;
    }

    QByteArray readExactly(std::size_t size)
    {
        QByteArray data(qsizetype(size), Qt::Uninitialized);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = recv(m_fd, data.data() + done, size - done, 0);
            if (got <= 0)
                return QByteArray();
            done += std::size_t(got);
        }
        return data;
    }

    int m_fd = -1;
};

NativeWindowManagerIpc::Rect ToRect(const QJsonValue &value)
{
    const QJsonObject rect = value.toObject();
    return {rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
            rect.value(QLatin1String("width")).toInt(), rect.value(QLatin1String("height")).toInt()};
}

// The id of the window manager's container that shows the X11 window of that process; 0 for none.
std::int64_t ContainerOf(const QJsonObject &node, std::int64_t processId, std::uint32_t x11Window)
{
    if (node.value(QLatin1String("window")).toInteger() == x11Window && node.value(QLatin1String("pid")).toInteger() == processId)
        return node.value(QLatin1String("id")).toInteger();
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray()) {
            if (const std::int64_t found = ContainerOf(child.toObject(), processId, x11Window))
                return found;
        }
    }
    return 0;
}

bool RunCommand(const QString &command)
{
    Socket socket(SocketPath());
    const QJsonArray results = QJsonDocument::fromJson(socket.ask(kRunCommand, command.toUtf8())).array();
    return !results.isEmpty() && results.first().toObject().value(QLatin1String("success")).toBool();
}

struct Search {
    std::int64_t processId;
    std::uint32_t x11Window;
    QString title;

    bool isWindow(const QJsonObject &node) const
    {
        if (x11Window != 0)
            return node.value(QLatin1String("window")).toInteger() == x11Window;
        // A Wayland window (sway names its shell) of this process with this caption.
        return node.contains(QLatin1String("app_id")) && node.value(QLatin1String("pid")).toInteger() == processId
               && node.value(QLatin1String("name")).toString() == title;
    }

    // Walks the tree below node, which stands on output and inside the floating container
    // floating (null outside one).
    std::optional<NativeWindowManagerIpc::Floating> find(const QJsonObject &node, const NativeWindowManagerIpc::Rect &output,
                                                         const QJsonObject *floating) const
    {
        const QString type = node.value(QLatin1String("type")).toString();
        const NativeWindowManagerIpc::Rect here = type == QLatin1String("output") ? ToRect(node.value(QLatin1String("rect")))
                                                                                  : output;
        const QJsonObject *container = type == QLatin1String("floating_con") ? &node : floating;
        if (container && isWindow(node)) {
            NativeWindowManagerIpc::Floating found;
            found.container = container->value(QLatin1String("id")).toInteger();
            found.output = here;
            found.frame = ToRect(container->value(QLatin1String("rect")));
            // sway's container is the window's own, and its rectangle leaves out the title bar
            // above it; i3's holds the window and its title bar both.
            if (container == &node) {
                const int title = ToRect(node.value(QLatin1String("deco_rect"))).height;
                found.frame.y -= title;
                found.frame.height += title;
            }
            return found;
        }
        for (const char *children : {"nodes", "floating_nodes"}) {
            for (const QJsonValue child : node.value(QLatin1String(children)).toArray()) {
                const QJsonObject object = child.toObject();
                if (auto found = find(object, here, container))
                    return found;
            }
        }
        return std::nullopt;
    }
};

}

namespace NativeWindowManagerIpc {

bool IsRunning()
{
    const QByteArray path = SocketPath();
    return !path.isEmpty() && Socket(path).isOpen();
}

std::optional<Floating> FindFloating(std::int64_t processId, std::uint32_t x11Window, const std::string &title)
{
    Socket socket(SocketPath());
    const QJsonDocument tree = QJsonDocument::fromJson(socket.ask(kGetTree, QByteArray()));
    if (!tree.isObject())
        return std::nullopt;
    const Search search{processId, x11Window, QString::fromStdString(title)};
    return search.find(tree.object(), Rect{}, nullptr);
}

bool Move(std::int64_t container, int x, int y)
{
    return RunCommand(QStringLiteral("[con_id=%1] move absolute position %2 %3").arg(container).arg(x).arg(y));
}

bool Focus(std::int64_t processId, std::uint32_t x11Window)
{
    if (x11Window == 0)
        return false;
    Socket socket(SocketPath());
    const QJsonDocument tree = QJsonDocument::fromJson(socket.ask(kGetTree, QByteArray()));
    const std::int64_t container = tree.isObject() ? ContainerOf(tree.object(), processId, x11Window) : 0;
    return container != 0 && RunCommand(QStringLiteral("[con_id=%1] focus").arg(container));
}

}
