#pragma once

#include <QString>
#include <QStringList>

// Where the catalogue comes from: the folders searched for application bundles
// and the freedesktop folders for desktop entries and their icons, each list in
// precedence order (an earlier folder wins over a later one).
struct CatalogueRoots {
    QStringList bundleFolders;
    // ".../applications" folders, as $XDG_DATA_HOME then each of $XDG_DATA_DIRS.
    QStringList desktopEntryFolders;
    // ".../icons" folders that hold icon themes.
    QStringList iconThemeFolders;
    // Folders of unthemed icons looked at after every theme: each data
    // folder's "pixmaps", then /usr/share/pixmaps.
    QStringList pixmapFolders;

    // The three application folders, under `bundlePrefix` when it is given (a
    // mounted disk, a demo or test tree), and the desktop entries and icons that
    // the XDG variables of this process name.
    [[nodiscard]] static CatalogueRoots system(const QString& bundlePrefix = {});

    // The three application folders under `prefix` ("" for the file-system root).
    [[nodiscard]] static QStringList bundleFoldersUnder(const QString& prefix);
};
