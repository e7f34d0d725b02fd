#include "InstanceChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

namespace {

const QByteArray acknowledgement{ChannelProtocol::acknowledgement.data(),
                                 qsizetype(ChannelProtocol::acknowledgement.size())};
// Messages are single words; a client that sends more without a line end, or
// nothing for this long, is not a launcher and is dropped.
constexpr qsizetype maxPendingBytes = 256;
constexpr int idleClientTimeoutMs = 5000;

bool peerIsThisUser(qintptr descriptor) {
    return ChannelProtocol::peerIsThisUser(int(descriptor));
}

} // namespace

InstanceChannel::InstanceChannel(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
    , m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::acceptConnections);
}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::sessionName() {
    return QString::fromStdString(ChannelProtocol::sessionName());
}

bool InstanceChannel::send(const QString& name, const QByteArray& message, int timeoutMs) {
    return reach(name, message, timeoutMs) == Reach::Delivered;
}

InstanceChannel::Reach InstanceChannel::reach(const QString& name, const QByteArray& message,
                                              int timeoutMs) {
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return Reach::NoAnswer;
    if (!peerIsThisUser(socket.socketDescriptor()))
        return Reach::OtherUser;
    socket.write(message + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return Reach::NoAnswer;
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(timeoutMs))
            return Reach::NoAnswer;
        answer += socket.readAll();
    }
    return answer.startsWith(acknowledgement) ? Reach::Delivered : Reach::NoAnswer;
}

InstanceChannel::Claim InstanceChannel::claim(const QString& baseName, const QByteArray& request) {
    for (int i = 0; i < ChannelProtocol::nameCount; ++i) {
        const QString name =
            QString::fromStdString(ChannelProtocol::name(baseName.toStdString(), i));
        Reach reached = reach(name, request);
        if (reached == Reach::NoAnswer) {
            auto channel = std::make_unique<InstanceChannel>(name);
            if (channel->listen())
                return {false, std::move(channel)};
            // Two starts at the same moment: the one that lost the race hands over.
            reached = reach(name, request);
        }
        if (reached == Reach::Delivered)
            return {true, nullptr};
        if (reached == Reach::OtherUser)
            ChannelProtocol::reportOtherUser(name.toStdString());
    }
    return {};
}

bool InstanceChannel::listen() {
    return m_server->listen(m_name);
}

void InstanceChannel::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(idleClientTimeoutMs, socket, &QLocalSocket::disconnectFromServer);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QPointer<QLocalSocket> alive(socket);
            while (alive != nullptr && socket->canReadLine()) {
                const QByteArray message = socket->readLine().trimmed();
                // Answered before it is acted on: the client (a key binding's
                // "quorlin --toggle") can end while the window is shown or hidden.
                socket->write(acknowledgement);
                socket->flush();
                Q_EMIT messageReceived(message);
            }
            if (alive != nullptr && socket->bytesAvailable() > maxPendingBytes)
                socket->disconnectFromServer();
        });
    }
}
