#include "ChannelProtocol.h"

#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Set and not empty, as Qt's environment look-ups count it.
const char* environment(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

bool isNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

} // namespace

std::string ChannelProtocol::sessionName() {
    const char* display = environment("WAYLAND_DISPLAY");
    if (display == nullptr)
        display = environment("DISPLAY");
    if (display == nullptr)
        display = "none";
    // Byte by byte, so the name does not depend on the locale's decoding.
    std::string name = "quorlin-" + std::to_string(getuid()) + '-';
    for (const char* c = display; *c != '\0'; ++c)
        name += isNameCharacter(*c) ? *c : '_';
    return name;
}

std::string ChannelProtocol::name(const std::string& baseName, int index) {
    return index == 0 ? baseName : baseName + '.' + std::to_string(index);
}

bool ChannelProtocol::peerIsThisUser(int descriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           credentials.uid == getuid();
}

void ChannelProtocol::reportOtherUser(const std::string& name) {
    std::fprintf(stderr, "quorlin: the channel \"%s\" is held by another user\n", name.c_str());
}
