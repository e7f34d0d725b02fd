#include "InstanceChannel.h"
#include "TestMain.h"

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

constexpr uid_t nobody = 65534;

sockaddr_un abstractAddress(const QByteArray& name, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));
    return address;
}

// Runs `body` in a child that has become another user; only system calls
// there, since the parent has threads. Returns the child's pid.
template <typename Body> pid_t asOtherUser(Body body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(setgid(nobody) == 0 && setuid(nobody) == 0 ? body() : 99);
    return pid;
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
        const QByteArray name = "quorlin-test-" + QByteArray::number(getpid());
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        const pid_t squatter = asOtherUser([&] {
            socklen_t length = 0;
            const sockaddr_un address = abstractAddress(name, length);
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(fd, 4))
                return 1;
            (void)!write(ready[1], "x", 1);
            for (;;) {
                const int client = accept(fd, nullptr, nullptr);
                (void)!write(client, "ok\n", 3);
                char byte = 0;
                if (read(client, &byte, 1) > 0)
                    return 2; // a request reached another user
                close(client);
            }
        });
        char byte = 0;
        QCOMPARE(read(ready[0], &byte, 1), 1);

        QCOMPARE(InstanceChannel::reach(QString::fromLatin1(name), "reopen"),
                 InstanceChannel::Reach::OtherUser);
        InstanceChannel::Claim claim = InstanceChannel::claim(QString::fromLatin1(name), "reopen");
        QVERIFY(!claim.delivered);
        QVERIFY(claim.channel);
        QCOMPARE(InstanceChannel::reach(QString::fromLatin1(name), "reopen"),
                 InstanceChannel::Reach::OtherUser);
        kill(squatter, SIGTERM);
        QCOMPARE(exitCode(squatter), -1);

        // The launcher that took the next name answers its own user only.
        QSignalSpy received(claim.channel.get(), &InstanceChannel::messageReceived);
        const QByteArray ownName = name + ".1";
        // The sender blocks for the answer, which needs this thread's loop.
        QFuture<bool> sent = QtConcurrent::run(
            [&] { return InstanceChannel::send(QString::fromLatin1(ownName), "toggle"); });
        QTRY_VERIFY(sent.isFinished() && sent.result());
        QCOMPARE(received.size(), 1);
        const pid_t intruder = asOtherUser([&] {
            socklen_t length = 0;
            const sockaddr_un address = abstractAddress(ownName, length);
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0)
                return 1;
            (void)!write(fd, "toggle\n", 7);
            char answer = 0;
            return read(fd, &answer, 1) > 0 ? 2 : 0;
        });
        QCOMPARE(exitCode(intruder), 0);
        QCOMPARE(received.size(), 1);
    }
};

QUORLIN_TEST(InstanceChannelTest)
#include "InstanceChannelTest.moc"
