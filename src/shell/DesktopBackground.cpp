#include "DesktopBackground.h"

#include "BackgroundBlur.h"
#include "ConsoleLine.h"
#include "DesktopBackgroundProvider.h"
#include "DesktopImageReader.h"
#include "DesktopPictureSource.h"

#include <QFutureWatcher>
#include <QGuiApplication>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

namespace {

struct PreparedPicture {
    QString message;
    QImage blurred;
};

} // namespace

DesktopBackground::DesktopBackground(const DesktopPictureSource& source, LineSink sink,
                                     QObject* parent)
    : QObject(parent)
    , m_source(source)
    , m_sink(sink ? std::move(sink) : LineSink(&printConsoleLine))
    , m_store(std::make_shared<BackgroundImageStore>()) {}

DesktopBackground::~DesktopBackground() {
    // The workers read m_source, which the owner destroys after this object.
    const QList<QFutureWatcher<PreparedPicture>*> watchers =
        findChildren<QFutureWatcher<PreparedPicture>*>();
    for (QFutureWatcher<PreparedPicture>* watcher : watchers) {
        watcher->disconnect(this);
        watcher->waitForFinished();
    }
}

void DesktopBackground::setViewSize(const QSize& size) {
    m_viewSize = size;
}

QUrl DesktopBackground::pictureSource() const {
    if (m_generation == 0)
        return {};
    return QUrl(QStringLiteral("image://%1/%2")
                    .arg(DesktopBackgroundProvider::providerId)
                    .arg(m_generation));
}

QQuickImageProvider* DesktopBackground::createImageProvider() const {
    return new DesktopBackgroundProvider(m_store);
}

void DesktopBackground::load() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        Q_EMIT loadFinished();
        return;
    }
    const QSize viewSize = m_viewSize.isEmpty() ? screen->size() : m_viewSize;
    const int request = ++m_latestRequest;
    ++m_pending;
    const DesktopPictureSource* source = &m_source;
    auto* watcher = new QFutureWatcher<PreparedPicture>(this);
    connect(watcher, &QFutureWatcher<PreparedPicture>::finished, this, [this, watcher, request] {
        const PreparedPicture prepared = watcher->result();
        watcher->deleteLater();
        --m_pending;
        m_sink(prepared.message);
        // An older load that finishes late must not replace a newer picture.
        if (!prepared.blurred.isNull() && request > m_publishedRequest) {
            m_publishedRequest = request;
            m_store->set(prepared.blurred);
            ++m_generation;
            Q_EMIT pictureChanged();
        }
        Q_EMIT loadFinished();
    });
    watcher->setFuture(QtConcurrent::run([source, viewSize] {
        const DesktopImageRead read = readDesktopImage(source->desktopPictureUrl());
        return PreparedPicture{read.message, blurredBackground(read.image, viewSize)};
    }));
}
