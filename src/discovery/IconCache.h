#pragma once

#include <QCache>
#include <QImage>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class IconThemeIndex;

// The pictures of application icons, made when a view first shows them: an
// icon source (an absolute picture file, or the name of a theme icon) is looked
// up in the icon themes, decoded at the size asked for and kept, within a
// memory budget, so a page shown again costs nothing. A source that gives no
// picture gets the generic application icon. Safe on any thread; the image
// provider calls it from its own threads.
class IconCache {
public:
    // Room for several pages of icons, at any device pixel ratio.
    static constexpr qsizetype budgetBytes = 16 * 1024 * 1024;

    // `themeName` answers the user's icon theme; it is asked on the thread that
    // first needs a themed icon after each reset().
    IconCache(QStringList themeFolders, QStringList pixmapFolders,
              std::function<QString()> themeName);
    ~IconCache();
    IconCache(const IconCache&) = delete;
    IconCache& operator=(const IconCache&) = delete;

    // A new scan: the theme and its folders are read afresh, at the next
    // themed request or by prepareThemes(); pictures made so far are kept.
    void forgetThemes();
    // A new catalogue: pictures made so far are forgotten.
    void forgetPictures();
    // Reads the theme and its folders now, unless that is done already, so the
    // first themed request does not wait for it.
    void prepareThemes();

    // `source`'s picture in a transparent square of `pixels`, its corners
    // rounded by `corner` as roundedCorners() does. What is kept is the
    // picture as shown, so the views share it rather than each holding a copy.
    [[nodiscard]] QImage icon(const QString& source, int pixels, qreal corner = 0);

private:
    [[nodiscard]] std::shared_ptr<const IconThemeIndex> themes();

    const QStringList m_themeFolders;
    const QStringList m_pixmapFolders;
    const std::function<QString()> m_themeName;

    QMutex m_mutex;
    // Built on first use: listing every theme folder is the slow part of a lookup.
    std::shared_ptr<const IconThemeIndex> m_themes;
    QCache<QString, QImage> m_pictures{budgetBytes};
    // Bumped by forgetPictures(): a picture made for an earlier catalogue is
    // not kept.
    quint64 m_generation = 0;
    // Bumped by forgetThemes(): an index of the folders as they were is not kept.
    quint64 m_themesGeneration = 0;
    // Held while the index is built, so two requests do not both build it.
    QMutex m_indexMutex;
};
