#pragma once

#include <QImage>
#include <QMutex>
#include <QObject>

// The blurred picture, shared between the GUI thread that publishes it and the
// render thread that asks the image provider for it. Painted items that show
// the picture themselves repaint on `changed`.
class BackgroundImageStore : public QObject {
    Q_OBJECT

public:
    // Called on the GUI thread.
    void set(const QImage& image) {
        {
            const QMutexLocker lock(&m_mutex);
            m_image = image;
        }
        Q_EMIT changed();
    }

    [[nodiscard]] QImage get() const {
        const QMutexLocker lock(&m_mutex);
        return m_image;
    }

Q_SIGNALS:
    void changed();

private:
    mutable QMutex m_mutex;
    QImage m_image;
};
