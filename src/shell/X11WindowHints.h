#pragma once

#include <optional>

class QWindow;

// Tells an X11 window manager that the launcher sits above other windows, on
// every desktop, outside the taskbar and the pager. Does nothing outside X11.
namespace X11WindowHints {

// Before the window is mapped: written as properties the manager reads at map time.
void applyBeforeShow(QWindow& window);
// After mapping: the same, asked of the running manager by client messages.
void applyAfterShow(QWindow& window);

// Gives `window`, already on screen, the keyboard: through the window manager
// as a direct user request when one runs, or from the server itself. The
// toolkit's own request carries the time of the last event it saw, which may
// predate a focus change made since and would then be ignored.
void activate(QWindow& window);

// Whether the X server gives the keyboard to `window` right now; nothing outside
// X11. The toolkit learns of a focus change only after a grace period, so it
// can still believe the launcher active just after the user switched away.
[[nodiscard]] std::optional<bool> hasInputFocus(QWindow& window);

} // namespace X11WindowHints
