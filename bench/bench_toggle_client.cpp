// What "quorlin --toggle" costs as a whole process, from its start to its exit,
// when a launcher runs: the bare command, which talks to the launcher before
// any of Qt starts, against the full start that every toggle took before (and
// that any other argument still takes), which builds the GUI application first.
// This program stands in for the running launcher on a channel name of its
// own, so a launcher of the user's session is never disturbed.

#include "ChannelProtocol.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int runs = 20;
constexpr int answerTimeoutMs = 30000;

struct Run {
    double milliseconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

int listenOn(const std::string& name) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    name.copy(address.sun_path + 1, sizeof address.sun_path - 2);
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(fd, 4) != 0)
        return -1;
    return fd;
}

// The client's peak resident memory so far. Read while it waits for the answer,
// when everything it loads is in; the figure a parent gets after the exit would
// count this (large) process's memory, which a child carries until it execs.
long peakKiB(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// One client process, answered as the launcher would answer it.
Run runClient(const QByteArray& binary, std::vector<const char*> arguments, int listener) {
    arguments.insert(arguments.begin(), binary.constData());
    arguments.push_back(nullptr);
    Run run;
    QElapsedTimer clock;
    clock.start();
    // Qt's start-up warnings would drown the figures.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, binary.constData(), &quiet, nullptr,
                                    const_cast<char* const*>(arguments.data()), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        return run;
    pollfd waiting{listener, POLLIN, 0};
    if (poll(&waiting, 1, answerTimeoutMs) == 1) {
        const int client = accept(listener, nullptr, nullptr);
        char request[64];
        if (read(client, request, sizeof request) > 0) {
            run.peakKiB = peakKiB(pid);
            const std::string_view answer = ChannelProtocol::acknowledgement;
            (void)!send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
        close(client);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.milliseconds = clock.nsecsElapsed() / 1e6;
    run.ok = run.peakKiB > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void measure(const char* label, const QByteArray& binary, const std::vector<const char*>& arguments,
             int listener) {
    std::vector<double> times;
    long peak = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = runClient(binary, arguments, listener);
        if (!run.ok) {
            std::printf("%s: the client did not reach the stand-in launcher\n", label);
            return;
        }
        times.push_back(run.milliseconds);
        peak = std::max(peak, run.peakKiB);
    }
    std::sort(times.begin(), times.end());
    std::printf("%s: median %.1f ms, best %.1f ms, worst %.1f ms, peak resident %.1f MiB\n", label,
                times[times.size() / 2], times.front(), times.back(), peak / 1024.0);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QByteArray binary = qgetenv("QUORLIN_BINARY");
    if (binary.isEmpty())
        binary = QFile::encodeName(QCoreApplication::applicationDirPath() + "/../bin/quorlin");
    if (!QFile::exists(QFile::decodeName(binary))) {
        std::printf("no quorlin binary at %s\n", binary.constData());
        return 1;
    }
    // A display name of this run's own picks the channel name, for the clients
    // (which inherit it) and for the stand-in launcher alike.
    qputenv("WAYLAND_DISPLAY", "quorlin-bench-" + QByteArray::number(getpid()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int listener = listenOn(ChannelProtocol::sessionName());
    if (listener < 0) {
        std::printf("could not listen on %s\n", ChannelProtocol::sessionName().c_str());
        return 1;
    }
    std::printf("a toggle handed to a running launcher, whole client process, %d runs each, "
                "platform %s:\n",
                runs, qgetenv("QT_QPA_PLATFORM").constData());
    measure("  quorlin --toggle (no Qt application)", binary, {"--toggle"}, listener);
    // Any further argument takes the full start, as every toggle did before.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    measure("  full start, GUI application first", binary,
            {"--toggle", "-platform", platform.constData()}, listener);
    close(listener);
    return 0;
}
