#pragma once

#include <QImage>
#include <QMutex>

// The blurred picture, shared between the GUI thread that publishes it and the
// render thread that asks the image provider for it.
class BackgroundImageStore {
public:
    void set(const QImage& image) {
        const QMutexLocker lock(&m_mutex);
        m_image = image;
    }

    [[nodiscard]] QImage get() const {
        const QMutexLocker lock(&m_mutex);
        return m_image;
    }

private:
    mutable QMutex m_mutex;
    QImage m_image;
};
