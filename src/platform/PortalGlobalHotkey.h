#pragma once

#include "GlobalHotkey.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

// The xdg-desktop-portal GlobalShortcuts interface, which Wayland compositors
// offer instead of key grabs: one session, one shortcut bound with F4 as the
// preferred trigger (the desktop may let the user pick another).
class PortalGlobalHotkey final : public GlobalHotkey {
    Q_OBJECT

public:
    static inline const QString shortcutId = QStringLiteral("toggle-launcher");

    explicit PortalGlobalHotkey(const QDBusConnection& bus, QObject* parent = nullptr);

    // True when the portal offers GlobalShortcuts; the binding itself completes
    // later, through the portal's answers.
    bool start() override;

    // The object path on which the portal answers a request made with `token`.
    [[nodiscard]] static QString requestPath(const QString& uniqueName, const QString& token);

private Q_SLOTS:
    void onSessionCreated(uint response, const QVariantMap& results);
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);

private:
    [[nodiscard]] QString nextToken();
    bool expectResponse(const QString& token, const char* slot);

    QDBusConnection m_bus;
    QString m_session;
    int m_tokens = 0;
};
