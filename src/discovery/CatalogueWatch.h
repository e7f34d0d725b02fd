#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class AppDiscovery;

// Rescans the catalogue when applications are installed or removed while the
// launcher runs, shown or hidden. A change in a desktop-entry or bundle folder
// starts one rescan once the folders have been quiet for `quietMs`, so a
// package manager writing hundreds of files causes one rescan, not hundreds.
//
// GIO's GAppInfoMonitor is not used: it needs GIO's own index of the
// applications folders, whose walk follows links to folders without end, and it
// knows nothing of bundles. Watches of the folders the catalogue reads cover
// both. A file rewritten in place is not seen; installers replace files.
class CatalogueWatch : public QObject {
    Q_OBJECT

public:
    explicit CatalogueWatch(AppDiscovery& discovery, int quietMs = 500, QObject* parent = nullptr);

private:
    // Watches the folders there are now: the catalogue's own, the folders in
    // them that may hold entries or bundles, and for a missing one the folder
    // it would be made in. Called again after every scan.
    void watchFolders();
    void folderChanged(const QString& folder);

    AppDiscovery& m_discovery;
    // Catalogue folders that do not exist yet. Their parents are watched only
    // for them to appear: a data home changes all day for other reasons.
    QStringList m_missing;
    QStringList m_parents;
    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
};
