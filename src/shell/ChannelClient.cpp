#include "ChannelClient.h"

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

bool connectTo(int socket, const std::string& name, int timeoutMs) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // Abstract namespace: a leading zero byte, and the length ends the name.
    if (name.size() + 1 > sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    // A launcher with a full backlog makes connect() wait, for this long at most.
    const timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    int connected = 0;
    do {
        connected = connect(socket, reinterpret_cast<const sockaddr*>(&address), length);
    } while (connected != 0 && errno == EINTR);
    return connected == 0;
}

ChannelClient::Reach exchange(int socket, const std::string& name, std::string_view message,
                              int timeoutMs) {
    using Reach = ChannelClient::Reach;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!connectTo(socket, name, timeoutMs))
        return Reach::NoAnswer;
    if (!ChannelProtocol::peerIsThisUser(socket))
        return Reach::OtherUser;
    const std::string line = std::string(message) + '\n';
    if (send(socket, line.data(), line.size(), MSG_NOSIGNAL) != ssize_t(line.size()))
        return Reach::NoAnswer;
    std::string answer;
    while (answer.find('\n') == std::string::npos) {
        pollfd readable{socket, POLLIN, 0};
        const int ready = poll(&readable, 1, millisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return Reach::NoAnswer;
        char buffer[64];
        const ssize_t got = ::read(socket, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return Reach::NoAnswer;
        answer.append(buffer, size_t(got));
    }
    return answer.starts_with(ChannelProtocol::acknowledgement) ? Reach::Delivered
                                                                : Reach::NoAnswer;
}

} // namespace

ChannelClient::Reach ChannelClient::reach(const std::string& name, std::string_view message,
                                          int timeoutMs) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return Reach::NoAnswer;
    const Reach reached = exchange(socket, name, message, timeoutMs);
    close(socket);
    return reached;
}

bool ChannelClient::toggleRunningLauncher() {
    const std::string base = ChannelProtocol::sessionName();
    std::vector<std::string> heldByOthers;
    for (int i = 0; i < ChannelProtocol::nameCount; ++i) {
        const std::string name = ChannelProtocol::name(base, i);
        switch (reach(name, ChannelProtocol::toggleMessage)) {
        case Reach::Delivered:
            // What a full start would have said on its way to the same launcher.
            for (const std::string& held : heldByOthers)
                ChannelProtocol::reportOtherUser(held);
            return true;
        case Reach::OtherUser:
            heldByOthers.push_back(name);
            break;
        case Reach::NoAnswer:
            // A new launcher would listen here; the full start does that, and
            // reports the names it passes over on its way.
            return false;
        }
    }
    return false;
}
