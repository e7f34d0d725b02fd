#pragma once

#include <QImage>
#include <QRect>

// The whole screen as the user would see it with the launcher shown: the window's
// picture at its place on a screen-sized image, black where the window is not
// (the desktop's top bar strip).
[[nodiscard]] QImage composeScreenshot(const QImage& window, const QRect& windowFrame,
                                       const QRect& screenGeometry);
