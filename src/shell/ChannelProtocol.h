#pragma once

#include <string>
#include <string_view>

// What the launcher and its clients agree on over the single-instance channel:
// the names it may listen on, the words a client sends and the answer. Plain
// C++ with no Qt, so that the toggle client can use it before Qt is set up.
class ChannelProtocol {
public:
    static constexpr std::string_view toggleMessage = "toggle";
    static constexpr std::string_view reopenMessage = "reopen";
    // The launcher's answer to each line it took.
    static constexpr std::string_view acknowledgement = "ok\n";
    // The session's own name and the alternates after it, tried in this order by
    // the launcher (to listen) and by clients (to reach it) when other users
    // hold the first ones.
    static constexpr int nameCount = 8;
    // How long a client waits for a launcher to take its request.
    static constexpr int answerTimeoutMs = 2000;

    // The base name for this user and display. The display comes from the
    // environment ($WAYLAND_DISPLAY, else $DISPLAY), never from a running
    // platform plugin, so a client that starts no GUI computes the same name as
    // the launcher it looks for.
    [[nodiscard]] static std::string sessionName();
    // Name number `index` (0 to nameCount - 1) of those derived from `baseName`:
    // the base name itself, then "<baseName>.1", "<baseName>.2", ...
    [[nodiscard]] static std::string name(const std::string& baseName, int index);

    // Whether the other end of the connected local socket runs as this user.
    [[nodiscard]] static bool peerIsThisUser(int descriptor);
    // The line printed for each name passed over because another user holds it.
    static void reportOtherUser(const std::string& name);
};
