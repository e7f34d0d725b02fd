// "quorlin", the command users and desktops run. A desktop's key binding runs
// "quorlin --toggle" on every press: that is sent to the running launcher from
// here, with nothing but the C and C++ libraries loaded, so a press costs a few
// milliseconds instead of the tens that loading Qt's libraries takes. Anything
// else, or a toggle no launcher answers, becomes the launcher itself by exec:
// the process keeps its id, its arguments and its standard streams.
#include "ChannelClient.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The launcher program: beside this one in a build tree, else where an
// installation puts it, relative to this program's folder.
std::string launcherPath() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self);
    if (length <= 0 || length >= ssize_t(sizeof self))
        return {};
    std::string folder(self, size_t(length));
    folder.erase(folder.rfind('/') + 1);
    for (const char* relative : {"quorlin-launcher", QUORLIN_LAUNCHER_FROM_BINDIR}) {
        const std::string candidate = folder + relative;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--toggle") == 0 &&
        ChannelClient::toggleRunningLauncher())
        return 0;
    const std::string launcher = launcherPath();
    if (!launcher.empty())
        execv(launcher.c_str(), argv);
    std::fprintf(stderr, "quorlin: cannot start the launcher%s%s: %s\n",
                 launcher.empty() ? "" : " ", launcher.c_str(),
                 launcher.empty() ? "not installed beside this program" : std::strerror(errno));
    return 127;
}
