#pragma once

#include "ChannelClient.h"
#include "ChannelProtocol.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// The line to the one running launcher of this user's graphical session: a local
// socket in the abstract namespace, so a crash leaves no stale socket file behind.
// Abstract sockets carry no permissions and their names are easy to guess, so
// both ends check that the other runs as the same user: another user can
// neither drive the launcher nor, by taking its name first, stop it starting.
class InstanceChannel final : public QObject {
    Q_OBJECT

public:
    static inline const QByteArray toggleMessage{ChannelProtocol::toggleMessage.data(),
                                                 qsizetype(ChannelProtocol::toggleMessage.size())};
    static inline const QByteArray reopenMessage{ChannelProtocol::reopenMessage.data(),
                                                 qsizetype(ChannelProtocol::reopenMessage.size())};

    using Reach = ChannelClient::Reach;

    // Either the request reached this user's running launcher, or `channel`
    // listens as that launcher; neither when every name is held by others.
    struct Claim {
        bool delivered = false;
        std::unique_ptr<InstanceChannel> channel;
    };

    explicit InstanceChannel(const QString& name, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The channel name for this user and display (ChannelProtocol::sessionName()).
    [[nodiscard]] static QString sessionName();

    // Delivers `message` to the instance listening on `name` and waits for it
    // to confirm; false when no instance answers in time.
    [[nodiscard]] static bool send(const QString& name, const QByteArray& message,
                                   int timeoutMs = ChannelProtocol::answerTimeoutMs);
    // As send(), telling a listener of another user (never written to) apart.
    [[nodiscard]] static Reach reach(const QString& name, const QByteArray& message,
                                     int timeoutMs = ChannelProtocol::answerTimeoutMs);
    // Delivers `request` to the launcher on `baseName` or becomes it; a name
    // another user holds is passed over for the next of a few alternates,
    // which later clients try in the same order.
    [[nodiscard]] static Claim claim(const QString& baseName, const QByteArray& request);

    // Becomes the session's instance; false when another one already listens.
    bool listen();

Q_SIGNALS:
    void messageReceived(const QByteArray& message);

private:
    void acceptConnections();

    QString m_name;
    QLocalServer* m_server;
};
