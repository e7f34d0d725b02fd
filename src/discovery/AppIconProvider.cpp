#include "AppIconProvider.h"

#include "AppDiscovery.h"
#include "IconDecoding.h"
#include "UuidText.h"

#include <QFutureWatcher>
#include <QThread>
#include <QUrlQuery>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <memory>

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

// One icon on its way. Lives on the engine's loader thread, which deletes it
// once it is finished or no longer wanted; the work it started then still
// runs, but skips the decoding if it has not begun.
class IconResponse final : public QQuickImageResponse {
public:
    IconResponse(AppIconProvider& provider, QThreadPool& pool, const QString& id,
                 const QSize& requestedSize) {
        connect(&m_made, &QFutureWatcherBase::finished, this, [this] {
            m_image = m_made.result();
            Q_EMIT finished();
        });
        m_made.setFuture(QtConcurrent::run(
            &pool, [&provider, id, requestedSize, cancelled = m_cancelled]() -> QImage {
                if (cancelled->load(std::memory_order_relaxed))
                    return {};
                return provider.requestImage(id, nullptr, requestedSize);
            }));
    }

    [[nodiscard]] QQuickTextureFactory* textureFactory() const override {
        return QQuickTextureFactory::textureFactoryForImage(m_image);
    }

    void cancel() override { m_cancelled->store(true, std::memory_order_relaxed); }

private:
    std::shared_ptr<std::atomic_bool> m_cancelled = std::make_shared<std::atomic_bool>(false);
    QFutureWatcher<QImage> m_made;
    QImage m_image;
};

} // namespace

AppIconProvider::AppIconProvider(const AppDiscovery& discovery)
    : AppIconProvider() {
    m_discovery = &discovery;
}

AppIconProvider::AppIconProvider() {
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

QQuickImageResponse* AppIconProvider::requestImageResponse(const QString& id,
                                                           const QSize& requestedSize) {
    return new IconResponse(*this, m_pool, id, requestedSize);
}

QImage AppIconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize) {
    const QSize wanted = boundedRequest(requestedSize);
    const int pixels = wanted.isValid() ? std::max(wanted.width(), wanted.height()) : appIconPixels;
    const QString path = id.section(u'#', 0, 0);
    const std::optional<QUuid> appId = parseUuidText(path.section(u'?', 0, 0));
    const QUrlQuery query(path.section(u'?', 1));
    const QString action = query.queryItemValue(QStringLiteral("action"), QUrl::FullyDecoded);
    const qreal corner = query.queryItemValue(QStringLiteral("corner")).toDouble();
    // A request of another shape gets the square, which the view fits.
    QImage image = m_discovery == nullptr ? roundedCorners(genericAppIcon(pixels), corner)
                   : action.isEmpty()
                       ? m_discovery->icon(appId.value_or(QUuid()), pixels, corner)
                       : m_discovery->actionIcon(appId.value_or(QUuid()), action, pixels, corner);
    // An action without a picture of its own leaves its menu entry clear.
    if (image.isNull()) {
        image = QImage(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
    }
    if (size != nullptr)
        *size = image.size();
    return image;
}
