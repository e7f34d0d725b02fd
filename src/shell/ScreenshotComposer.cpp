#include "ScreenshotComposer.h"

#include <QPainter>

QImage composeScreenshot(const QImage& window, const QRect& windowFrame,
                         const QRect& screenGeometry) {
    if (screenGeometry.isEmpty())
        return window;
    QImage screen(screenGeometry.size(), QImage::Format_RGB32);
    screen.fill(Qt::black);
    QPainter painter(&screen);
    // The window's picture may come at a device pixel ratio; draw it at its frame size.
    painter.drawImage(QRect(windowFrame.topLeft() - screenGeometry.topLeft(), windowFrame.size()),
                      window);
    return screen;
}
