#pragma once

#include "BackgroundImageStore.h"

#include <QObject>
#include <QSize>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <memory>

class DesktopPictureSource;
class QQuickImageProvider;

// The picture behind the main screen: the desktop's own picture, blurred and
// dimmed, or a fixed gradient while there is none. Each load reports one line;
// a failed load keeps whatever picture an earlier load showed.
class DesktopBackground : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("DesktopBackground belongs to the main screen")
    Q_PROPERTY(bool hasPicture READ hasPicture NOTIFY pictureChanged)
    Q_PROPERTY(QUrl pictureSource READ pictureSource NOTIFY pictureChanged)

public:
    using LineSink = std::function<void(const QString&)>;

    // `source` must outlive this object and may be asked from a worker thread.
    // Lines go to standard output unless `sink` says otherwise.
    explicit DesktopBackground(const DesktopPictureSource& source, LineSink sink = {},
                               QObject* parent = nullptr);
    ~DesktopBackground() override;

    // The size the picture is blurred for: the launcher window's.
    void setViewSize(const QSize& size);

    // Finds, reads, decodes and blurs the picture off the GUI thread, then
    // reports and publishes on it. A load started later wins over an earlier one.
    void load();

    [[nodiscard]] bool hasPicture() const { return m_generation > 0; }
    [[nodiscard]] QUrl pictureSource() const;
    // True while a load is under way.
    [[nodiscard]] bool isLoading() const { return m_pending > 0; }

    // For the engine, which takes ownership; serves pictureSource.
    [[nodiscard]] QQuickImageProvider* createImageProvider() const;

Q_SIGNALS:
    void pictureChanged();
    // Emitted after each load has reported, whether or not it found a picture.
    void loadFinished();

private:
    const DesktopPictureSource& m_source;
    LineSink m_sink;
    QSize m_viewSize;
    std::shared_ptr<BackgroundImageStore> m_store;
    int m_generation = 0;
    int m_pending = 0;
    int m_latestRequest = 0;
    int m_publishedRequest = 0;
};
