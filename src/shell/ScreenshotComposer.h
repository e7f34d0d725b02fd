#pragma once

#include <QImage>
#include <QRect>

class QQuickItem;
class QQuickWindow;

// The whole screen as the user would see it with the launcher shown: the window's
// picture at its place on a screen-sized image, black where the window is not
// (the desktop's top bar strip).
[[nodiscard]] QImage composeScreenshot(const QImage& window, const QRect& windowFrame,
                                       const QRect& screenGeometry);

// Whether an Image at or below `item` is still waiting for its picture.
[[nodiscard]] bool anyImageLoading(const QQuickItem* item);

// The window's picture once every Image it shows has its picture: views create
// their items, and icons start decoding, only when the scene is laid out for a
// frame, so it renders, runs the event loop until nothing is loading and
// renders again. Gives up waiting after `timeoutMs`.
[[nodiscard]] QImage grabWhenImagesLoaded(QQuickWindow& window, int timeoutMs);
