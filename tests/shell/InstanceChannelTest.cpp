#include "InstanceChannel.h"
#include "ChannelClient.h"
#include "TestMain.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A process of another user on the abstract socket `name`: a listener that
// answers "ok" to anyone (after a byte on `ready`), or a client asking for a
// toggle. Either exits 2 when a request or an answer crossed between users.
pid_t otherUser(const QByteArray& name, bool listens, int ready = -1) {
    const pid_t pid = fork();
    if (pid != 0)
        return pid; // the child makes only system calls: the parent has threads
    if (setgid(65534) != 0 || setuid(65534) != 0)
        _exit(99);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    char byte = 0;
    if (!listens)
        _exit(::connect(fd, at, length) != 0                                        ? 1
              : send(fd, "toggle\n", 7, MSG_NOSIGNAL) > 0 && read(fd, &byte, 1) > 0 ? 2
                                                                                    : 0);
    if (bind(fd, at, length) != 0 || listen(fd, 4) != 0)
        _exit(1);
    (void)!write(ready, "x", 1);
    for (;;) {
        const int client = accept(fd, nullptr, nullptr);
        (void)!send(client, "ok\n", 3, MSG_NOSIGNAL); // the client may be gone
        if (read(client, &byte, 1) > 0)
            _exit(2);
        close(client);
    }
}

// Keeps this process's event loop running (it may be the other end) until the
// child ends; -1 when it was ended by a signal or had to be.
int exitCode(pid_t pid) {
    int status = 0;
    const QDeadlineTimer deadline(10000);
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (deadline.hasExpired()) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        QTest::qWait(10);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// Another local user must neither keep this user's launcher from starting by
// taking its channel name first, nor drive a running launcher.
class InstanceChannelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void otherUsersAreKeptOut() {
        if (getuid() != 0)
            QSKIP("acting as another user needs root");
        // This session's own name, for a display no launcher uses.
        const QByteArray display = qgetenv("WAYLAND_DISPLAY");
        const auto restore = qScopeGuard([&] {
            display.isNull() ? qunsetenv("WAYLAND_DISPLAY") : qputenv("WAYLAND_DISPLAY", display);
        });
        qputenv("WAYLAND_DISPLAY", "quorlin-test-" + QByteArray::number(getpid()));
        const QByteArray name = InstanceChannel::sessionName().toLatin1();
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        const pid_t squatter = otherUser(name, true, ready[1]);
        char byte = 0;
        QCOMPARE(read(ready[0], &byte, 1), 1);

        // Its name taken, the launcher listens on the next one, where later
        // clients find it.
        const QString taken = QString::fromLatin1(name);
        InstanceChannel::Claim claim = InstanceChannel::claim(taken, "reopen");
        QVERIFY(!claim.delivered && claim.channel);
        QCOMPARE(InstanceChannel::reach(taken, "reopen"), InstanceChannel::Reach::OtherUser);

        // The sender blocks for the answer, which needs this thread's loop.
        QSignalSpy received(claim.channel.get(), &InstanceChannel::messageReceived);
        QFuture<bool> sent =
            QtConcurrent::run([&] { return InstanceChannel::send(taken + ".1", "toggle"); });
        QTRY_VERIFY(sent.isFinished() && sent.result());
        // So does "quorlin --toggle", which starts no Qt to get there.
        sent = QtConcurrent::run(&ChannelClient::toggleRunningLauncher);
        QTRY_VERIFY(sent.isFinished() && sent.result());
        kill(squatter, SIGKILL);
        QCOMPARE(exitCode(squatter), -1); // it would have exited on a request
        QCOMPARE(exitCode(otherUser(name + ".1", false)), 0);
        QCOMPARE(received.size(), 2);
    }
};

QUORLIN_TEST(InstanceChannelTest)
#include "InstanceChannelTest.moc"
