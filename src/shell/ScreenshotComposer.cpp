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
    // A scaled screen is pictured in its device pixels, as a screenshot tool
    // would take it, rather than shrunk back to the logical size.
    // Renderers do not all mark the picture with its ratio: its width tells.
    const qreal ratio = windowFrame.width() > 0 ? qreal(window.width()) / windowFrame.width() : 1;
    QImage screen((QSizeF(screenGeometry.size()) * ratio).toSize(), QImage::Format_RGB32);
    screen.setDevicePixelRatio(ratio);
    screen.fill(Qt::black);
    QPainter painter(&screen);
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
