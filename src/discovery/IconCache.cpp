#include "IconCache.h"

#include "IconDecoding.h"
#include "IconThemeIndex.h"

#include <QDir>

IconCache::IconCache(QStringList themeFolders, QStringList pixmapFolders,
                     std::function<QString()> themeName)
    : m_themeFolders(std::move(themeFolders))
    , m_pixmapFolders(std::move(pixmapFolders))
    , m_themeName(std::move(themeName)) {}

IconCache::~IconCache() = default;

void IconCache::forgetThemes() {
    const QMutexLocker locker(&m_mutex);
    m_themes.reset();
    ++m_themesGeneration;
}

void IconCache::forgetPictures() {
    const QMutexLocker locker(&m_mutex);
    m_pictures.clear();
    ++m_generation;
}

void IconCache::prepareThemes() {
    static_cast<void>(themes());
}

std::shared_ptr<const IconThemeIndex> IconCache::themes() {
    const QMutexLocker building(&m_indexMutex);
    quint64 generation = 0;
    {
        const QMutexLocker locker(&m_mutex);
        if (m_themes)
            return m_themes;
        generation = m_themesGeneration;
    }
    // Read once per scan, never on the GUI thread: listing large theme
    // folders takes tens of milliseconds.
    auto index = std::make_shared<const IconThemeIndex>(m_themeFolders, m_pixmapFolders,
                                                        m_themeName ? m_themeName() : QString());
    const QMutexLocker locker(&m_mutex);
    if (generation == m_themesGeneration)
        m_themes = index;
    return index;
}

QImage IconCache::icon(const QString& source, int pixels, qreal corner) {
    // Size and corner first: no colon in them clashes with one of the source's.
    const QString key = QString::number(pixels) + u'/' + QString::number(corner) + u':' + source;
    quint64 generation = 0;
    {
        const QMutexLocker locker(&m_mutex);
        if (const QImage* kept = m_pictures.object(key))
            return *kept;
        generation = m_generation;
    }
    // Decoded outside the lock, so one slow file holds up no other request.
    QString file = source;
    if (!source.isEmpty() && !QDir::isAbsolutePath(source))
        file = themes()->find(source, pixels);
    QImage picture = file.isEmpty() ? QImage() : decodeIconFile(file, pixels);
    if (picture.isNull())
        picture = genericAppIcon(pixels);
    picture = roundedCorners(picture, corner);
    const QMutexLocker locker(&m_mutex);
    if (generation == m_generation)
        m_pictures.insert(key, new QImage(picture), picture.sizeInBytes());
    return picture;
}
