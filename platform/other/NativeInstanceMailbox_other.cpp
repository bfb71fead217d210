#include "platform/NativeInstanceMailbox.h"

#include <QFile>
#include <QSocketNotifier>
#include <QString>

#include <cerrno>
#include <cstring>
#include <map>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

// A socket of the system's own rather than Qt Network's local socket: that library and the
// Kerberos and proxy libraries it pulls in held 1.4 MB of every palette's memory for one line of
// mail now and then.

namespace {

constexpr std::size_t kLongest = 4096;
// A palette that does not take its mail within this is taken as gone.
constexpr int kPatienceMs = 1000;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }

private:
    int m_fd;
};

// Fills the address; false when the path does not fit into one.
bool MakeAddress(const std::u16string &path, sockaddr_un &address)
{
    const QByteArray name = QFile::encodeName(QString::fromStdU16String(path));
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || std::size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return true;
}

// One sender's connection: its bytes until a line end, the end of the connection or the
// longest message.
struct Letter {
    std::unique_ptr<Descriptor> fd;
    std::unique_ptr<QSocketNotifier> notifier;
    std::string text;
};

}

struct InstanceMailbox::Server {
    Descriptor fd;
    std::unique_ptr<QSocketNotifier> notifier;
    std::function<void(const std::string &)> received;
    std::map<int, Letter> letters;
    // Set while the socket listens there.
    std::string path;

    explicit Server(int socket) : fd(socket) { }
    ~Server()
    {
        if (!path.empty())
            ::unlink(path.c_str());
    }

    void accept();
    void read(int fd);
};

void InstanceMailbox::Server::accept()
{
    const int client = ::accept4(fd.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0)
        return;
    Letter letter;
    letter.fd = std::make_unique<Descriptor>(client);
    // Only a start by the same user may hand the palette its mail.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid())
        return;
    letter.notifier = std::make_unique<QSocketNotifier>(client, QSocketNotifier::Read);
    QObject::connect(letter.notifier.get(), &QSocketNotifier::activated, letter.notifier.get(), [this, client] { read(client); });
    letters.emplace(client, std::move(letter));
}

void InstanceMailbox::Server::read(int client)
{
    const auto found = letters.find(client);
    if (found == letters.end())
        return;
    std::string &text = found->second.text;
    char buffer[kLongest];
    const ssize_t size = ::recv(client, buffer, kLongest - text.size(), 0);
    if (size < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (size > 0)
        text.append(buffer, std::size_t(size));
    const std::size_t lineEnd = text.find('\n');
    const bool isComplete = lineEnd != std::string::npos || text.size() >= kLongest;
    // A sender that went away before its line end has sent nothing.
    if (!isComplete && size > 0)
        return;
    std::string message = text.substr(0, lineEnd);
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!message.empty() && blank(message.back()))
        message.pop_back();
    // The notifier that called may not be deleted from within its own signal.
    found->second.notifier->setEnabled(false);
    found->second.notifier.release()->deleteLater();
    letters.erase(found);
    if (isComplete && received)
        received(message);
}

InstanceMailbox::InstanceMailbox(const std::u16string &path, std::function<void(const std::string &)> received)
{
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return;
    auto server = std::make_unique<Server>(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (server->fd.get() < 0)
        return;
    // Only the lock's holder opens the mailbox: a socket left at the path is a killed palette's.
    ::unlink(address.sun_path);
    if (::bind(server->fd.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return;
    // The runtime folder is the user's alone already; the socket is as well.
    if (::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(server->fd.get(), 8) != 0) {
        ::unlink(address.sun_path);
        return;
    }
    server->received = std::move(received);
    server->notifier = std::make_unique<QSocketNotifier>(server->fd.get(), QSocketNotifier::Read);
    Server *raw = server.get();
    QObject::connect(server->notifier.get(), &QSocketNotifier::activated, server->notifier.get(), [raw] { raw->accept(); });
    server->path = address.sun_path;
    m_server = std::move(server);
}

InstanceMailbox::~InstanceMailbox() = default;

bool InstanceMailbox::isOpen() const
{
    return m_server != nullptr;
}

bool InstanceMailbox::Send(const std::u16string &path, const std::string &message)
{
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return false;
    const Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0)
        return false;
    // Bounds both the connection, which waits while the palette's queue is full, and the sending.
    const timeval patience{kPatienceMs / 1000, suseconds_t(kPatienceMs % 1000) * 1000};
    if (::setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience) != 0
        || ::connect(fd.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return false;
    std::string line = message.substr(0, std::min(message.size(), kLongest - 1));
    line.push_back('\n');
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t size = ::send(fd.get(), line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (size > 0)
            sent += std::size_t(size);
        else if (size == 0 || errno != EINTR)
            return false;
    }
    return true;
}
