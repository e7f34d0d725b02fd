#pragma once

class QWindow;

// Tells an X11 window manager that the launcher sits above other windows, on
// every desktop, outside the taskbar and the pager. Does nothing outside X11.
namespace X11WindowHints {

// Before the window is mapped: written as properties the manager reads at map time.
void applyBeforeShow(QWindow& window);
// After mapping: the same, asked of the running manager by client messages.
void applyAfterShow(QWindow& window);

} // namespace X11WindowHints
