#include "AppIconProvider.h"

#include "AppDiscovery.h"
#include "IconDecoding.h"
#include "UuidText.h"

namespace {

// Bounds what a QML size binding gone wrong can make us allocate.
constexpr int maxServedPixels = 1024;

QSize boundedRequest(const QSize& requested) {
    QSize wanted = requested;
    if (wanted.width() <= 0 && wanted.height() <= 0)
        return {};
    // One dimension alone keeps the square.
    if (wanted.width() <= 0)
        wanted.setWidth(wanted.height());
    if (wanted.height() <= 0)
        wanted.setHeight(wanted.width());
    return wanted.boundedTo(QSize(maxServedPixels, maxServedPixels));
}

} // namespace

AppIconProvider::AppIconProvider(const AppDiscovery& discovery)
    : QQuickImageProvider(QQuickImageProvider::Image,
                          QQmlImageProviderBase::ForceAsynchronousImageLoading)
    , m_discovery(discovery) {}

QImage AppIconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize) {
    const QSize wanted = boundedRequest(requestedSize);
    // The URL may carry a query or fragment that QML added; only the id counts.
    const std::optional<QUuid> appId = parseUuidText(id.section(u'?', 0, 0).section(u'#', 0, 0));
    QImage image = appId ? m_discovery.icon(*appId) : QImage();
    if (image.isNull()) {
        image = genericAppIcon(wanted.isValid() ? std::max(wanted.width(), wanted.height())
                                                : appIconPixels);
    }
    if (wanted.isValid() && image.size() != wanted)
        image = image.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (size != nullptr)
        *size = image.size();
    return image;
}
