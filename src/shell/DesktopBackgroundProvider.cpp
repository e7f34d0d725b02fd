#include "DesktopBackgroundProvider.h"

DesktopBackgroundProvider::DesktopBackgroundProvider(
    std::shared_ptr<const BackgroundImageStore> store)
    : QQuickImageProvider(QQuickImageProvider::Image)
    , m_store(std::move(store)) {}

QImage DesktopBackgroundProvider::requestImage(const QString&, QSize* size,
                                               const QSize& requestedSize) {
    QImage image = m_store->get();
    if (size != nullptr)
        *size = image.size();
    // The picture is already blurred at a reduced size: a request for a smaller
    // one is honoured, a larger one is left to the view's smooth scaling.
    if (!image.isNull() && requestedSize.isValid() && requestedSize.width() > 0 &&
        requestedSize.height() > 0 && requestedSize.width() < image.width())
        image =
            image.scaled(requestedSize, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return image;
}
