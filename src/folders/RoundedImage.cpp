#include "RoundedImage.h"

#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QQmlEngine>
#include <QQuickImageProvider>
#include <QQuickWindow>

RoundedImage::RoundedImage(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

void RoundedImage::setSource(const QUrl& source) {
    if (source == m_source)
        return;
    m_source = source;
    Q_EMIT sourceChanged();
    m_loadedSize = QSize();
    if (isComponentComplete())
        reload();
}

void RoundedImage::setRadius(qreal radius) {
    if (qFuzzyCompare(radius, m_radius))
        return;
    m_radius = radius;
    Q_EMIT radiusChanged();
    update();
}

void RoundedImage::setPreserveAspectFit(bool preserve) {
    if (preserve == m_preserveAspectFit)
        return;
    m_preserveAspectFit = preserve;
    Q_EMIT preserveAspectFitChanged();
    update();
}

void RoundedImage::componentComplete() {
    QQuickPaintedItem::componentComplete();
    reload();
}

void RoundedImage::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (isComponentComplete() && newGeometry.size() != oldGeometry.size())
        reload();
}

void RoundedImage::reload() {
    const qreal ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const QSize wanted = (size() * ratio).toSize();
    if (wanted.isEmpty() || (m_loadedSize.isValid() && m_loadedSize.width() >= wanted.width() &&
                             m_loadedSize.height() >= wanted.height())) {
        update();
        return;
    }
    const bool wasLoaded = isLoaded();
    m_image = load(wanted);
    m_loadedSize = m_image.isNull() ? QSize() : wanted;
    if (wasLoaded != isLoaded())
        Q_EMIT loadedChanged();
    update();
}

QImage RoundedImage::load(const QSize& requestedSize) const {
    if (m_source.isEmpty())
        return {};
    if (m_source.scheme() == QLatin1String("image")) {
        QQmlEngine* engine = qmlEngine(this);
        QQmlImageProviderBase* base = engine ? engine->imageProvider(m_source.host()) : nullptr;
        auto* provider = dynamic_cast<QQuickImageProvider*>(base);
        if (!provider)
            return {};
        const QString id = m_source.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority).mid(1);
        QSize size;
        switch (provider->imageType()) {
        case QQmlImageProviderBase::Image:
            return provider->requestImage(id, &size, requestedSize);
        case QQmlImageProviderBase::Pixmap:
            return provider->requestPixmap(id, &size, requestedSize).toImage();
        default:
            // Textures and asynchronous responses have no synchronous image to paint.
            return {};
        }
    }
    QString file;
    if (m_source.scheme() == QLatin1String("qrc"))
        file = QLatin1Char(':') + m_source.path();
    else if (m_source.isLocalFile())
        file = m_source.toLocalFile();
    else
        return {};
    QImageReader reader(file);
    // Vector images are drawn at the size needed instead of their nominal one.
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize nominal = reader.size();
        reader.setScaledSize(nominal.isValid() ? nominal.scaled(requestedSize, Qt::KeepAspectRatio)
                                               : requestedSize);
    }
    return reader.read();
}

void RoundedImage::paint(QPainter* painter) {
    if (m_image.isNull())
        return;
    QRectF target = boundingRect();
    if (m_preserveAspectFit) {
        const QSizeF fitted = QSizeF(m_image.size()).scaled(target.size(), Qt::KeepAspectRatio);
        target = QRectF(target.center() - QPointF(fitted.width(), fitted.height()) / 2, fitted);
    }
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    // The corners belong to the item's frame, not to the fitted picture.
    QPainterPath clip;
    clip.addRoundedRect(boundingRect(), m_radius, m_radius);
    painter->setClipPath(clip);
    painter->drawImage(target, m_image);
}
