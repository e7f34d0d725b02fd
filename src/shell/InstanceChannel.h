#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalServer;

// The line to the one running launcher of this user's graphical session: a local
// socket in the abstract namespace, so a crash leaves no stale socket file behind.
class InstanceChannel final : public QObject {
    Q_OBJECT

public:
    static inline const QByteArray toggleMessage = QByteArrayLiteral("toggle");
    static inline const QByteArray reopenMessage = QByteArrayLiteral("reopen");

    explicit InstanceChannel(const QString& name, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The channel name for this user and display.
    [[nodiscard]] static QString sessionName();

    // Delivers `message` to the instance listening on `name` and waits for it
    // to confirm; false when no instance answers in time.
    [[nodiscard]] static bool send(const QString& name, const QByteArray& message,
                                   int timeoutMs = 2000);

    // Becomes the session's instance; false when another one already listens.
    bool listen();

Q_SIGNALS:
    void messageReceived(const QByteArray& message);

private:
    void acceptConnections();

    QString m_name;
    QLocalServer* m_server;
};
