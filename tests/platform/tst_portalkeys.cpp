#include "platform/portal/PortalGlobalKeys.h"
#include "platform/portal/PortalShortcut.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QtTest>

// The palette's client of the desktop portal's GlobalShortcuts, against a stand-in portal on a
// private session bus (the test runs under dbus-run-session) that answers as the portal's
// documented interface does: CreateSession and BindShortcuts answer with a request object whose
// Response signal brings the result, and Activated reports a press of a bound shortcut.
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// What the stand-in does with a bind.
enum class BindAnswer { All, FirstOnly, UserCancelled };

class StandInPortal : public QDBusVirtualObject {
public:
    explicit StandInPortal(const QDBusConnection &bus) : m_bus(bus) { }

    QString introspect(const QString &) const override { return QString(); }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        const QList<QVariant> arguments = message.arguments();
        if (message.interface() == QStringLiteral("org.freedesktop.portal.Session") && message.member() == u"Close") {
            closed.append(message.path());
            m_bus.send(message.createReply());
            return true;
        }
        if (message.interface() != kInterface)
            return false;
        QString sender = message.service().mid(1);
        sender.replace(u'.', u'_');
        if (message.member() == u"CreateSession") {
            const QVariantMap options = qdbus_cast<QVariantMap>(arguments.value(0));
            const QString request = requestPath(sender, options.value(QStringLiteral("handle_token")).toString());
            session = QStringLiteral("%1/session/%2/%3")
                          .arg(kPath, sender, options.value(QStringLiteral("session_handle_token")).toString());
            m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            // The portal documents the handle as a string.
            respond(request, 0, {{QStringLiteral("session_handle"), session}});
            return true;
        }
        if (message.member() == u"BindShortcuts") {
            boundSession = arguments.value(0).value<QDBusObjectPath>().path();
            asked = qdbus_cast<QList<PortalShortcut>>(arguments.value(1));
            const QVariantMap options = qdbus_cast<QVariantMap>(arguments.value(3));
            const QString request = requestPath(sender, options.value(QStringLiteral("handle_token")).toString());
            m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            QList<PortalShortcut> bound;
            for (const PortalShortcut &shortcut : std::as_const(asked)) {
                if (answer == BindAnswer::FirstOnly && !bound.isEmpty())
                    break;
                bound.append({shortcut.id,
                              {{QStringLiteral("description"), shortcut.options.value(QStringLiteral("description"))},
                               {QStringLiteral("trigger_description"), QStringLiteral("by the stand-in")}}});
            }
            respond(request, answer == BindAnswer::UserCancelled ? 1 : 0,
                    {{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}});
            return true;
        }
        return false;
    }

    void activate(const QString &sessionPath, const QString &id)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(sessionPath)) << id << quint64(1234) << QVariantMap();
        m_bus.send(signal);
    }

    BindAnswer answer = BindAnswer::All;
    QString session;
    QString boundSession;
    QList<PortalShortcut> asked;
    QStringList closed;

private:
    static QString requestPath(const QString &sender, const QString &token)
    {
        return QStringLiteral("%1/request/%2/%3").arg(kPath, sender, token);
    }

    void respond(const QString &request, uint code, const QVariantMap &results)
    {
        QDBusMessage signal = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
        signal << code << results;
        m_bus.send(signal);
    }

    QDBusConnection m_bus;
};

using Outcomes = QList<NativeGlobalKeys::Outcome>;

NativeGlobalKeys::Key MakeKey(int id, unsigned modifiers, int key, const char *text)
{
    return {id, modifiers, key, text, std::string("item ") + text};
}

}

class TestPortalKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void bind_data();
    void bind();
    void activation();
    void takingAgainClosesTheSession();
    void withoutPortal();

private:
    // Takes the keys and waits for the results.
    Outcomes take(NativeGlobalKeys::Grabber &grabber, const std::vector<NativeGlobalKeys::Key> &keys)
    {
        results.clear();
        grabber.take(keys);
        if (!QTest::qWaitFor([this] { return !results.isEmpty(); }, 5000))
            return {};
        Outcomes outcomes;
        for (const NativeGlobalKeys::Result &result : std::as_const(results))
            outcomes.append(result.outcome);
        return outcomes;
    }
    NativeGlobalKeys::Listener listener()
    {
        return {[this](int id) { pressed.append(id); },
                [this](const std::vector<NativeGlobalKeys::Result> &taken) {
                    results = QList<NativeGlobalKeys::Result>(taken.begin(), taken.end());
                }};
    }
    bool startPortal()
    {
        bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in")));
        portal = std::make_unique<StandInPortal>(*bus);
        return bus->registerVirtualObject(kPath, portal.get(), QDBusConnection::SubPath) && bus->registerService(kService);
    }

    std::unique_ptr<QDBusConnection> bus;
    std::unique_ptr<StandInPortal> portal;
    QList<NativeGlobalKeys::Result> results;
    QList<int> pressed;
    const std::vector<NativeGlobalKeys::Key> keys{MakeKey(0, 1 | 2, Qt::Key_1, "Ctrl+Alt+1"), MakeKey(7, 8, Qt::Key_P, "Meta+P")};
};

void TestPortalKeys::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        QFAIL("no session bus: run the test under dbus-run-session");
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

void TestPortalKeys::cleanup()
{
    if (bus) {
        bus->unregisterService(kService);
        bus->unregisterObject(kPath, QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(QStringLiteral("stand-in"));
    }
    portal.reset();
    bus.reset();
    pressed.clear();
}

void TestPortalKeys::bind_data()
{
    using O = NativeGlobalKeys::Outcome;
    QTest::addColumn<BindAnswer>("answer");
    QTest::addColumn<Outcomes>("outcomes");

    QTest::newRow("every key bound") << BindAnswer::All << Outcomes{O::Taken, O::Taken};
    QTest::newRow("the desktop gave one of two") << BindAnswer::FirstOnly << Outcomes{O::Taken, O::Refused};
    QTest::newRow("the user said no") << BindAnswer::UserCancelled << Outcomes{O::Refused, O::Refused};
}

// The keys go to the portal with their descriptions and triggers in its own notation; what it
// binds is taken, what it leaves out is refused.
void TestPortalKeys::bind()
{
    QFETCH(BindAnswer, answer);
    QFETCH(Outcomes, outcomes);
    QVERIFY(startPortal());
    portal->answer = answer;
    const auto grabber = MakePortalGrabber(listener());
    QCOMPARE(take(*grabber, keys), outcomes);
    QCOMPARE(portal->boundSession, portal->session);
    QCOMPARE(portal->asked.size(), 2);
    QCOMPARE(portal->asked[0].id, QStringLiteral("0"));
    QCOMPARE(portal->asked[0].options.value(QStringLiteral("preferred_trigger")).toString(), QStringLiteral("CTRL+ALT+1"));
    QCOMPARE(portal->asked[0].options.value(QStringLiteral("description")).toString(), QStringLiteral("item Ctrl+Alt+1"));
    QCOMPARE(portal->asked[1].id, QStringLiteral("7"));
    QCOMPARE(portal->asked[1].options.value(QStringLiteral("preferred_trigger")).toString(), QStringLiteral("LOGO+p"));
}

// A press reaches the palette by the key's id; one of another session is another program's.
void TestPortalKeys::activation()
{
    QVERIFY(startPortal());
    const auto grabber = MakePortalGrabber(listener());
    QCOMPARE(take(*grabber, keys), (Outcomes{NativeGlobalKeys::Outcome::Taken, NativeGlobalKeys::Outcome::Taken}));
    portal->activate(portal->session + QStringLiteral("x"), QStringLiteral("0"));
    portal->activate(portal->session, QStringLiteral("7"));
    QTRY_COMPARE(pressed, QList<int>{7});
}

// Other keys (a reload) take a session of their own: the old one is closed, and so is the last
// when the grabber goes, which gives its keys up.
void TestPortalKeys::takingAgainClosesTheSession()
{
    QVERIFY(startPortal());
    auto grabber = MakePortalGrabber(listener());
    QCOMPARE(take(*grabber, keys).size(), 2);
    const QString first = portal->session;
    QCOMPARE(take(*grabber, {keys[1]}), Outcomes{NativeGlobalKeys::Outcome::Taken});
    QVERIFY(portal->session != first);
    QTRY_COMPARE(portal->closed, QStringList{first});
    grabber.reset();
    QTRY_COMPARE(portal->closed, (QStringList{first, portal->session}));
}

void TestPortalKeys::withoutPortal()
{
    const auto grabber = MakePortalGrabber(listener());
    QCOMPARE(take(*grabber, keys), (Outcomes{NativeGlobalKeys::Outcome::Unavailable, NativeGlobalKeys::Outcome::Unavailable}));
}

QTEST_GUILESS_MAIN(TestPortalKeys)
#include "tst_portalkeys.moc"
