#include "platform/NativeInstanceMailbox.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

sockaddr_un AddressOf(const std::u16string &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(QString::fromStdU16String(path));
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return address;
}

// A sender of our own, which does what the mailbox's own never does.
int Connect(const std::u16string &path)
{
    const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = AddressOf(path);
    return ::connect(client, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 ? client : -1;
}

}

// The running palette's mailbox: what a later start hands over arrives whole, once, and nothing
// a sender does keeps the palette waiting.
class TestInstanceMailbox : public QObject {
    Q_OBJECT

private slots:
    void init();
    void delivers_data();
    void delivers();
    void noPalette();
    void senderThatGoesAway();
    void silentSenderHoldsNothingUp();
    void closesWithTheMailbox();

private:
    std::u16string path() const { return m_folder->filePath(QStringLiteral("palette.socket")).toStdU16String(); }
    // Mail as it arrived, in order.
    std::vector<std::string> m_mail;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestInstanceMailbox::init()
{
    m_mail.clear();
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void TestInstanceMailbox::delivers_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("an activation token") << QByteArray("sway/123_TIME5") << QByteArray("sway/123_TIME5");
    QTest::newRow("none") << QByteArray() << QByteArray();
    QTest::newRow("trailing blanks") << QByteArray("token \r") << QByteArray("token");
    QTest::newRow("only the first line") << QByteArray("one\ntwo") << QByteArray("one");
    QTest::newRow("longer than a letter") << QByteArray(10000, 'x') << QByteArray(4095, 'x');
}

void TestInstanceMailbox::delivers()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, expected);
    InstanceMailbox mailbox(path(), [this](const std::string &text) { m_mail.push_back(text); });
    QVERIFY(mailbox.isOpen());
    QVERIFY(InstanceMailbox::Send(path(), message.toStdString()));
    QTRY_COMPARE(m_mail.size(), std::size_t(1));
    QCOMPARE(QByteArray::fromStdString(m_mail.front()), expected);
}

// A socket left by a killed palette, or none at all: the later start learns at once that no one
// listens.
void TestInstanceMailbox::noPalette()
{
    QVERIFY(!InstanceMailbox::Send(path(), "token"));
    {
        InstanceMailbox gone(path(), {});
        QVERIFY(gone.isOpen());
    }
    QVERIFY(!InstanceMailbox::Send(path(), "token"));
    // A new palette takes the place of a socket file left behind.
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = AddressOf(path());
    QCOMPARE(::bind(stale, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    ::close(stale);
    InstanceMailbox mailbox(path(), [this](const std::string &text) { m_mail.push_back(text); });
    QVERIFY(mailbox.isOpen());
    QVERIFY(InstanceMailbox::Send(path(), "token"));
    QTRY_COMPARE(m_mail.size(), std::size_t(1));
}

// Bytes without a line end from a sender that then went away are no message.
void TestInstanceMailbox::senderThatGoesAway()
{
    InstanceMailbox mailbox(path(), [this](const std::string &text) { m_mail.push_back(text); });
    {
        const int client = Connect(path());
        QVERIFY(client >= 0);
        QCOMPARE(::send(client, "half", 4, 0), ssize_t(4));
        ::close(client);
    }
    QVERIFY(InstanceMailbox::Send(path(), "whole"));
    QTRY_COMPARE(m_mail.size(), std::size_t(1));
    QTest::qWait(50);
    QCOMPARE(m_mail, std::vector<std::string>{"whole"});
}

// A sender that connects and says nothing keeps neither the palette nor the next sender waiting.
void TestInstanceMailbox::silentSenderHoldsNothingUp()
{
    InstanceMailbox mailbox(path(), [this](const std::string &text) { m_mail.push_back(text); });
    const int silent = Connect(path());
    QVERIFY(silent >= 0);
    QTest::qWait(20);
    QVERIFY(InstanceMailbox::Send(path(), "after the silent one"));
    QTRY_COMPARE(m_mail, std::vector<std::string>{"after the silent one"});
    ::close(silent);
}

void TestInstanceMailbox::closesWithTheMailbox()
{
    const QString file = QString::fromStdU16String(path());
    {
        InstanceMailbox mailbox(path(), {});
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(QFileInfo(file).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
    }
    QVERIFY(!QFileInfo::exists(file));
}

QTEST_GUILESS_MAIN(TestInstanceMailbox)
#include "tst_instancemailbox.moc"
