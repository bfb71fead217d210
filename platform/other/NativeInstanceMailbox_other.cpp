#include "platform/NativeInstanceMailbox.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QString>

namespace {

constexpr qint64 kLongest = 4096;
// A palette that does not take its mail within this is taken as gone.
constexpr int kPatience = 1000;

}

struct InstanceMailbox::Server {
    QLocalServer server;
};

InstanceMailbox::InstanceMailbox(const std::u16string &path, std::function<void(const std::string &)> received)
    : m_server(std::make_unique<Server>())
{
    const QString name = QString::fromStdU16String(path);
    // Only the lock's holder opens the mailbox: a socket left at the path is a killed palette's.
    QLocalServer::removeServer(name);
    m_server->server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->server.listen(name)) {
        m_server.reset();
        return;
    }
    QLocalServer *server = &m_server->server;
    QObject::connect(server, &QLocalServer::newConnection, server, [server, received = std::move(received)] {
        while (QLocalSocket *socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, received] {
                if (!socket->canReadLine() && socket->bytesAvailable() < kLongest)
                    return;
                const QByteArray line = socket->readLine(kLongest).trimmed();
                socket->disconnectFromServer();
                received(line.toStdString());
            });
        }
    });
}

InstanceMailbox::~InstanceMailbox() = default;

bool InstanceMailbox::isOpen() const
{
    return m_server != nullptr;
}

bool InstanceMailbox::Send(const std::u16string &path, const std::string &message)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdU16String(path));
    if (!socket.waitForConnected(kPatience))
        return false;
    socket.write(QByteArray::fromStdString(message).left(kLongest - 1) + '\n');
    const bool isSent = socket.waitForBytesWritten(kPatience);
    socket.disconnectFromServer();
    return isSent;
}
