#include "InstanceChannel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

#include <unistd.h>

namespace {

const QByteArray acknowledgement = QByteArrayLiteral("ok\n");
// Messages are single words; a client that sends more without a line end, or
// nothing for this long, is not a launcher and is dropped.
constexpr qsizetype maxPendingBytes = 256;
constexpr int idleClientTimeoutMs = 5000;

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
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("none");
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    display.replace(unsafe, QStringLiteral("_"));
    return QStringLiteral("quorlin-%1-%2").arg(getuid()).arg(display);
}

bool InstanceChannel::send(const QString& name, const QByteArray& message, int timeoutMs) {
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(message + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
        answer += socket.readAll();
    }
    return answer.startsWith(acknowledgement);
}

bool InstanceChannel::listen() {
    return m_server->listen(m_name);
}

void InstanceChannel::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(idleClientTimeoutMs, socket, &QLocalSocket::disconnectFromServer);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QPointer<QLocalSocket> alive(socket);
            while (alive != nullptr && socket->canReadLine()) {
                const QByteArray message = socket->readLine().trimmed();
                socket->write(acknowledgement);
                Q_EMIT messageReceived(message);
            }
            if (alive != nullptr && socket->bytesAvailable() > maxPendingBytes)
                socket->disconnectFromServer();
        });
    }
}
