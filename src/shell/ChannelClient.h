#pragma once

#include "ChannelProtocol.h"

#include <string>
#include <string_view>

// The client end of the launcher's channel in plain system calls. A desktop's
// key binding runs "quorlin --toggle" on every press, so that command must come
// and go within a few milliseconds: it talks to the running launcher from here,
// before any application object exists, and starts Qt only when it has to
// start a launcher itself.
class ChannelClient {
public:
    enum class Reach { Delivered, NoAnswer, OtherUser };

    // Delivers `message` to the launcher listening on `name` and waits up to
    // `timeoutMs` for it to take it. A listener of another user is told apart
    // and never written to.
    [[nodiscard]] static Reach reach(const std::string& name, std::string_view message,
                                     int timeoutMs = ChannelProtocol::answerTimeoutMs);

    // Hands a toggle to this user's running launcher, trying the channel names
    // in the order the launcher claims them. False when none answered: the
    // caller then starts the usual way, which starts a launcher.
    [[nodiscard]] static bool toggleRunningLauncher();
};
