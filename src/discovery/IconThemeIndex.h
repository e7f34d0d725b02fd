#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Finds icon files by name in freedesktop icon themes, in the standard lookup
// order: the theme, then the themes it inherits from, then the desktop themes
// Adwaita and breeze, then "hicolor", then the unthemed pixmap folders. Within the first theme that
// has the icon, a folder made for the size wins, else the nearest larger picture, else the nearest
// smaller one. Built once per catalogue, when a view first shows a themed
// icon; every folder is listed once at construction, so lookups touch no disk.
// Immutable after construction and so safe to share between threads.
class IconThemeIndex {
public:
    IconThemeIndex(const QStringList& themeFolders, const QStringList& pixmapFolders,
                   const QString& themeName);

    // The file that best shows `iconName` at `pixels` square; empty when no
    // theme or pixmap folder has it. An absolute path is returned unchanged.
    [[nodiscard]] QString find(const QString& iconName, int pixels) const;

    [[nodiscard]] const QStringList& themeChain() const { return m_themeChain; }

private:
    enum class SizeType { Fixed, Scalable, Threshold };
    struct Directory {
        int size = 0;
        int scale = 1;
        int minSize = 0;
        int maxSize = 0;
        int threshold = 2;
        SizeType type = SizeType::Threshold;
    };
    struct Candidate {
        int directory = 0; // index into m_directories
        QString path;
    };
    struct Theme {
        QList<Directory> directories;
        QStringList relativePaths; // beside directories, one per entry
        QStringList inherits;
        bool described = false;
    };

    [[nodiscard]] Theme readTheme(const QString& name) const;
    [[nodiscard]] static Theme inferTheme(const QString& themeFolder);
    void indexTheme(int themeIndex, const Theme& theme);
    // Lower is better for showing an icon at `pixels`.
    [[nodiscard]] static int score(const Directory& directory, int pixels);

    QStringList m_themeFolders;
    QStringList m_pixmapFolders;
    QStringList m_themeChain;
    QList<Directory> m_directories;
    // Per theme of the chain: icon name -> its files, in lookup order.
    QList<QHash<QString, QList<Candidate>>> m_icons;
    // Icon name -> its files in the pixmap folders, in lookup order.
    QHash<QString, QStringList> m_pixmaps;
};
