#include "ScreenshotComposer.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMetaEnum>
#include <QPainter>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

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

bool anyImageLoading(const QQuickItem* item) {
    // Image and its relatives share QQuickImageBase, whose header is private.
    if (item->inherits("QQuickImageBase")) {
        const QMetaObject* meta = item->metaObject();
        const int status = meta->indexOfEnumerator("Status");
        if (status >= 0 &&
            item->property("status").toInt() == meta->enumerator(status).keyToValue("Loading"))
            return true;
    }
    const QList<QQuickItem*> children = item->childItems();
    return std::any_of(children.begin(), children.end(),
                       [](const QQuickItem* child) { return anyImageLoading(child); });
}

QImage grabWhenImagesLoaded(QQuickWindow& window, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QImage picture = window.grabWindow();
    while (anyImageLoading(window.contentItem()) && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
        // A new frame may lay out items that start loading; the loop then goes on.
        if (!anyImageLoading(window.contentItem()))
            picture = window.grabWindow();
    }
    return picture;
}
