#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QUuid>
#include <QtTest/QTest>

// A D-Bus session bus of the test's own, so fake desktop services can be
// registered without touching the user's session. Skips the test when no bus
// daemon is installed.
class PrivateBus {
public:
    PrivateBus() {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000))
            return;
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }

    ~PrivateBus() {
        for (const QString& name : std::as_const(m_connections))
            QDBusConnection::disconnectFromBus(name);
        m_daemon.terminate();
        m_daemon.waitForFinished(3000);
    }

    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    [[nodiscard]] bool isRunning() const { return !m_address.isEmpty(); }

    // A new connection of its own, as a separate process would have.
    [[nodiscard]] QDBusConnection connect() {
        const QString name = QUuid::createUuid().toString();
        m_connections.append(name);
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};
