#pragma once

#include <QRect>
#include <QScreen>

// The launcher window's frame on `screen`: the area the desktop leaves to
// windows, so its panels and docks stay in sight wherever they are; the whole
// screen where the desktop reports none.
[[nodiscard]] inline QRect launcherFrame(const QScreen& screen) {
    const QRect available = screen.availableGeometry();
    return available.isEmpty() ? screen.geometry() : available;
}
