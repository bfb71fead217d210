#include "platform/portal/PortalGlobalKeys.h"

#include "platform/portal/PortalShortcut.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QRandomGenerator>
#include <QStringList>
#include <Qt>

#include <map>

using namespace NativeGlobalKeys;

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

QString KeyName(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(key - Qt::Key_A + 'a'));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return QString(QChar(key));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    switch (key) {
    case Qt::Key_Insert: return QStringLiteral("Insert");
    case Qt::Key_Delete: return QStringLiteral("Delete");
    case Qt::Key_Home: return QStringLiteral("Home");
    case Qt::Key_End: return QStringLiteral("End");
    case Qt::Key_PageUp: return QStringLiteral("Page_Up");
    case Qt::Key_PageDown: return QStringLiteral("Page_Down");
    case Qt::Key_Left: return QStringLiteral("Left");
    case Qt::Key_Up: return QStringLiteral("Up");
    case Qt::Key_Right: return QStringLiteral("Right");
    case Qt::Key_Down: return QStringLiteral("Down");
    case Qt::Key_Space: return QStringLiteral("space");
    case Qt::Key_Tab: return QStringLiteral("Tab");
    case Qt::Key_Return: return QStringLiteral("Return");
    case Qt::Key_Enter: return QStringLiteral("KP_Enter");
    case Qt::Key_Escape: return QStringLiteral("Escape");
    case Qt::Key_Backspace: return QStringLiteral("BackSpace");
    case Qt::Key_Pause: return QStringLiteral("Pause");
    case Qt::Key_Print: return QStringLiteral("Print");
    case Qt::Key_ScrollLock: return QStringLiteral("Scroll_Lock");
    default: return QString();
    }
}

// The portal's requests answer with a Response signal on an object of their own, whose path the
// caller can tell beforehand from its token; the answer is listened for before the call is made.
class PortalGrabber : public QObject, public Grabber {
    Q_OBJECT
public:
    explicit PortalGrabber(Listener listener) : m_bus(QDBusConnection::sessionBus()), m_listener(std::move(listener))
    {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        m_bus.connect(kService, kPath, kShortcuts, QStringLiteral("Activated"), this, SLOT(activated(QDBusMessage)));
    }

    ~PortalGrabber() override { closeSession(); }

    void take(const std::vector<Key> &keys) override
    {
        m_keys = keys;
        // The portal binds a session's keys once: other keys take a session of their own.
        closeSession();
        if (m_keys.empty()) {
            report(Outcome::Taken, {});
            return;
        }
        if (!m_bus.isConnected()) {
            report(Outcome::Unavailable, {});
            return;
        }
        const QString token = newToken();
        request(token, [this](uint response, const QVariantMap &results) {
            const QString session = results.value(QStringLiteral("session_handle")).value<QDBusObjectPath>().path();
            m_session = session.isEmpty() ? results.value(QStringLiteral("session_handle")).toString() : session;
            if (response != 0 || m_session.isEmpty()) {
                report(Outcome::Unavailable, {});
                return;
            }
            bind();
        });
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kShortcuts, QStringLiteral("CreateSession"));
        call << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("session_handle_token"), newToken()}};
        send(call);
    }

private slots:
    void activated(const QDBusMessage &message)
    {
        const QList<QVariant> arguments = message.arguments();
        if (arguments.size() < 2 || arguments[0].value<QDBusObjectPath>().path() != m_session || !m_listener.pressed)
            return;
        bool ok = false;
        const int id = arguments[1].toString().toInt(&ok);
        if (ok)
            m_listener.pressed(id);
    }

    void responded(const QDBusMessage &message)
    {
        const auto found = m_requests.find(message.path());
        if (found == m_requests.end())
            return;
        const auto answer = std::move(found->second);
        m_requests.erase(found);
        m_bus.disconnect(kService, message.path(), kRequest, QStringLiteral("Response"), this, SLOT(responded(QDBusMessage)));
        const QList<QVariant> arguments = message.arguments();
        if (arguments.size() < 2)
            return;
        answer(arguments[0].toUInt(), qdbus_cast<QVariantMap>(arguments[1]));
    }

private:
    using Answer = std::function<void(uint response, const QVariantMap &results)>;

    void bind()
    {
        QList<PortalShortcut> shortcuts;
        for (const Key &key : m_keys) {
            shortcuts.append({QString::number(key.id),
                              {{QStringLiteral("description"), QString::fromStdString(key.description)},
                               {QStringLiteral("preferred_trigger"), QString::fromStdString(PortalTrigger(key))}}});
        }
        const QString token = newToken();
        request(token, [this](uint response, const QVariantMap &results) {
            if (response != 0) {
                report(response == 1 ? Outcome::Refused : Outcome::Unavailable, {});
                return;
            }
            QStringList bound;
            const auto given = qdbus_cast<QList<PortalShortcut>>(results.value(QStringLiteral("shortcuts")));
            for (const PortalShortcut &shortcut : given)
                bound.append(shortcut.id);
            report(Outcome::Refused, bound);
        });
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kShortcuts, QStringLiteral("BindShortcuts"));
        call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcuts) << QString()
             << QVariantMap{{QStringLiteral("handle_token"), token}};
        send(call);
    }

    // Every key is Taken when its id is among the bound ones, otherwise it has the outcome given.
    void report(Outcome otherwise, const QStringList &bound)
    {
        std::vector<Result> results;
        for (const Key &key : m_keys)
            results.push_back({key.id, bound.contains(QString::number(key.id)) ? Outcome::Taken : otherwise});
        if (m_listener.taken)
            m_listener.taken(results);
    }

    QString newToken() const { return QStringLiteral("tavrelo%1").arg(QRandomGenerator::global()->generate()); }

    void request(const QString &token, Answer answer)
    {
        QString sender = m_bus.baseService().mid(1);
        sender.replace(u'.', u'_');
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
        m_requests[path] = std::move(answer);
        m_bus.connect(kService, path, kRequest, QStringLiteral("Response"), this, SLOT(responded(QDBusMessage)));
    }

    // A call that fails (no portal, or one without global shortcuts) answers at once.
    void send(const QDBusMessage &call)
    {
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
            finished->deleteLater();
            if (finished->isError())
                report(Outcome::Unavailable, {});
        });
    }

    void closeSession()
    {
        if (m_session.isEmpty())
            return;
        m_bus.call(QDBusMessage::createMethodCall(kService, m_session, kSession, QStringLiteral("Close")), QDBus::NoBlock);
        m_session.clear();
    }

    QDBusConnection m_bus;
    Listener m_listener;
    std::vector<Key> m_keys;
    QString m_session;
    std::map<QString, Answer> m_requests;
};

}

std::unique_ptr<Grabber> MakePortalGrabber(Listener listener)
{
    return std::make_unique<PortalGrabber>(std::move(listener));
}

std::string PortalTrigger(const Key &key)
{
    QStringList parts;
    if (key.modifiers & 1)
        parts.append(QStringLiteral("CTRL"));
    if (key.modifiers & 2)
        parts.append(QStringLiteral("ALT"));
    if (key.modifiers & 4)
        parts.append(QStringLiteral("SHIFT"));
    if (key.modifiers & 8)
        parts.append(QStringLiteral("LOGO"));
    parts.append(KeyName(key.key));
    return parts.join(u'+').toStdString();
}

#include "PortalGlobalKeys.moc"
