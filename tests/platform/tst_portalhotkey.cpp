#include "PortalGlobalHotkey.h"
#include "PrivateBus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest/QTest>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString sessionPath = QStringLiteral("/org/freedesktop/portal/desktop/session/1_9/quorlin");

struct BoundShortcut {
    QString id;
    QVariantMap properties;
};

// The desktop portal's GlobalShortcuts side: answers each request on the path
// the caller predicts, and records what was bound.
class FakePortal final : public QDBusVirtualObject {
public:
    explicit FakePortal(const QDBusConnection& bus)
        : m_bus(bus) {}

    [[nodiscard]] QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != shortcutsInterface)
            return false;
        const QList<QVariant> args = message.arguments();
        if (message.member() == QLatin1String("CreateSession") && args.size() == 1) {
            ++sessionsCreated;
            const auto options = qdbus_cast<QVariantMap>(args.at(0));
            respond(message, connection, options, {{"session_handle", sessionPath}});
            return true;
        }
        if (message.member() == QLatin1String("BindShortcuts") && args.size() == 4) {
            boundSession = qdbus_cast<QDBusObjectPath>(args.at(0)).path();
            const QDBusArgument list = args.at(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                BoundShortcut shortcut;
                list.beginStructure();
                list >> shortcut.id >> shortcut.properties;
                list.endStructure();
                bound.append(shortcut);
            }
            list.endArray();
            respond(message, connection, qdbus_cast<QVariantMap>(args.at(3)), {});
            return true;
        }
        return false;
    }

    void activate(const QString& session, const QString& id) const {
        QDBusMessage signal =
            QDBusMessage::createSignal(portalPath, shortcutsInterface, QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1234)
               << QVariantMap();
        m_bus.send(signal);
    }

    int sessionsCreated = 0;
    QString boundSession;
    QList<BoundShortcut> bound;

private:
    void respond(const QDBusMessage& call, const QDBusConnection& connection,
                 const QVariantMap& options, const QVariantMap& results) const {
        const QString request = PortalGlobalHotkey::requestPath(
            call.service(), options.value(QStringLiteral("handle_token")).toString());
        connection.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0u << results;
        connection.send(response);
    }

    QDBusConnection m_bus;
};

} // namespace

class PortalHotkeyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void requestPaths_data();
    void requestPaths();
    void bindsAndFires();
    void withoutPortalNothingFires();
    void withoutBusItCannotStart();
};

void PortalHotkeyTest::requestPaths_data() {
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("path");

    QTest::addRow("unique name") << ":1.42"
                                 << "quorlin1"
                                 << "/org/freedesktop/portal/desktop/request/1_42/quorlin1";
    QTest::addRow("several dots") << ":1.2.3"
                                  << "t"
                                  << "/org/freedesktop/portal/desktop/request/1_2_3/t";
}

void PortalHotkeyTest::requestPaths() {
    QFETCH(QString, sender);
    QFETCH(QString, token);
    QFETCH(QString, path);
    QCOMPARE(PortalGlobalHotkey::requestPath(sender, token), path);
}

void PortalHotkeyTest::bindsAndFires() {
    PrivateBus bus;
    if (!bus.isRunning())
        QSKIP("dbus-daemon is not installed");
    QDBusConnection portalBus = bus.connect();
    FakePortal portal(portalBus);
    QVERIFY(portalBus.registerVirtualObject(portalPath, &portal));
    QVERIFY(portalBus.registerService(portalService));
    PortalGlobalHotkey hotkey(bus.connect());
    QSignalSpy activated(&hotkey, &GlobalHotkey::activated);

    QVERIFY(hotkey.start());

    QTRY_COMPARE(portal.bound.size(), 1);
    QCOMPARE(portal.sessionsCreated, 1);
    QCOMPARE(portal.boundSession, sessionPath);
    QCOMPARE(portal.bound.at(0).id, PortalGlobalHotkey::shortcutId);
    QCOMPARE(portal.bound.at(0).properties.value("preferred_trigger").toString(), QString("F4"));
    QVERIFY(!portal.bound.at(0).properties.value("description").toString().isEmpty());

    // Only our shortcut in our session toggles.
    portal.activate(sessionPath, "some-other-shortcut");
    portal.activate("/org/freedesktop/portal/desktop/session/1_9/other",
                    PortalGlobalHotkey::shortcutId);
    portal.activate(sessionPath, PortalGlobalHotkey::shortcutId);
    QTRY_COMPARE(activated.count(), 1);
    QTest::qWait(50);
    QCOMPARE(activated.count(), 1);
}

void PortalHotkeyTest::withoutPortalNothingFires() {
    PrivateBus bus;
    if (!bus.isRunning())
        QSKIP("dbus-daemon is not installed");
    PortalGlobalHotkey hotkey(bus.connect());
    QSignalSpy activated(&hotkey, &GlobalHotkey::activated);

    QVERIFY(hotkey.start());
    QTest::qWait(100);

    QCOMPARE(activated.count(), 0);
}

void PortalHotkeyTest::withoutBusItCannotStart() {
    PortalGlobalHotkey hotkey(QDBusConnection(QStringLiteral("not connected")));
    QVERIFY(!hotkey.start());
}

QTEST_MAIN(PortalHotkeyTest)
#include "tst_portalhotkey.moc"
