#include "PortalGlobalHotkey.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalGlobalHotkey::PortalGlobalHotkey(const QDBusConnection& bus, QObject* parent)
    : GlobalHotkey(parent)
    , m_bus(bus) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

QString PortalGlobalHotkey::requestPath(const QString& uniqueName, const QString& token) {
    QString sender = uniqueName;
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender + QLatin1Char('/') +
           token;
}

QString PortalGlobalHotkey::nextToken() {
    return QStringLiteral("quorlin%1").arg(++m_tokens);
}

bool PortalGlobalHotkey::expectResponse(const QString& token, const char* slot) {
    // Subscribed before the call: the portal may answer before the call returns.
    return m_bus.connect(portalService, requestPath(m_bus.baseService(), token), requestInterface,
                         QStringLiteral("Response"), this, slot);
}

bool PortalGlobalHotkey::start() {
    if (!m_bus.isConnected() || !m_session.isEmpty())
        return m_bus.isConnected();
    const QString token = nextToken();
    if (!expectResponse(token, SLOT(onSessionCreated(uint, QVariantMap))))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, shortcutsInterface, QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), nextToken()}};
    // Without the portal the call fails and the hotkey simply never fires; the
    // toggle command still works.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
            &QDBusPendingCallWatcher::deleteLater);
    return true;
}

void PortalGlobalHotkey::onSessionCreated(uint response, const QVariantMap& results) {
    if (response != 0 || !m_session.isEmpty())
        return;
    m_session = results.value(QStringLiteral("session_handle")).toString();
    if (m_session.isEmpty())
        return;
    m_bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
                  SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));

    // The desktop may ask the user and bind another key, or none; Activated is
    // the only answer that matters, so the request's own response is not awaited.
    const QString token = nextToken();
    const QList<PortalShortcut> shortcuts{
        {shortcutId,
         {{QStringLiteral("description"),
           QCoreApplication::translate("GlobalHotkey", "Show or hide the launcher")},
          {QStringLiteral("preferred_trigger"), QStringLiteral("F4")}}}};
    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, shortcutsInterface, QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcuts)
         << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
            &QDBusPendingCallWatcher::deleteLater);
}

void PortalGlobalHotkey::onActivated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                     const QVariantMap&) {
    if (session.path() == m_session && id == shortcutId)
        Q_EMIT activated();
}
