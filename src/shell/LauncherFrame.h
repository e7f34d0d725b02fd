#pragma once

#include <QRect>

// The strip the desktop's top bar takes; the launcher leaves it visible.
inline constexpr int topBarHeight = 25;

// The launcher window's frame on a screen with the given geometry: the full width,
// from below the top bar to the bottom edge.
[[nodiscard]] constexpr QRect launcherFrame(const QRect& screenGeometry) {
    return QRect(screenGeometry.x(), screenGeometry.y() + topBarHeight, screenGeometry.width(),
                 screenGeometry.height() - topBarHeight);
}
