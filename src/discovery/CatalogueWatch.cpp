#include "CatalogueWatch.h"

#include "AppDiscovery.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// Enough for every applications folder of a desktop and its vendor folders,
// well below the per-user inotify limit other programs need too.
constexpr qsizetype maxWatchedFolders = 512;

// `folder` and the folders in it down to `depth` levels, bundles not entered,
// links not followed (the scan does not follow them either).
void collectFolders(const QString& folder, int depth, QStringList& found) {
    if (found.size() >= maxWatchedFolders)
        return;
    found.append(folder);
    if (depth == 0)
        return;
    const QFileInfoList children =
        QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& child : children) {
        if (child.suffix().compare(QLatin1String("app"), Qt::CaseInsensitive) != 0)
            collectFolders(child.filePath(), depth - 1, found);
    }
}

} // namespace

CatalogueWatch::CatalogueWatch(AppDiscovery& discovery, int quietMs, QObject* parent)
    : QObject(parent)
    , m_discovery(discovery) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &CatalogueWatch::folderChanged);
    connect(&m_quiet, &QTimer::timeout, &m_discovery, &AppDiscovery::loadApplications);
    connect(&m_discovery, &AppDiscovery::scanFinished, this, &CatalogueWatch::watchFolders);
    watchFolders();
}

void CatalogueWatch::folderChanged(const QString& folder) {
    if (m_parents.contains(folder) &&
        std::none_of(m_missing.cbegin(), m_missing.cend(),
                     [](const QString& missing) { return QFileInfo(missing).isDir(); }))
        return;
    // Each change restarts the wait: the rescan comes once the writing stops.
    m_quiet.start();
}

void CatalogueWatch::watchFolders() {
    QStringList folders;
    m_missing.clear();
    m_parents.clear();
    const CatalogueRoots& roots = m_discovery.roots();
    for (const QStringList& kind : {roots.desktopEntryFolders, roots.bundleFolders}) {
        for (const QString& folder : kind) {
            if (QFileInfo(folder).isDir())
                collectFolders(folder, 2, folders);
            else if (QFileInfo(folder).dir().exists()) {
                m_missing.append(folder);
                m_parents.append(QFileInfo(folder).path());
            }
        }
    }
    m_parents.removeIf([&folders](const QString& parent) { return folders.contains(parent); });
    folders += m_parents;
    folders.removeDuplicates();
    const QStringList watched = m_watcher.directories();
    for (const QString& gone : watched) {
        if (!folders.contains(gone))
            m_watcher.removePath(gone);
    }
    bool added = false;
    for (const QString& folder : folders) {
        if (!watched.contains(folder))
            added = m_watcher.addPath(folder) || added;
    }
    // What was written into a new folder before its watch began is seen by
    // one more rescan.
    if (added && !watched.isEmpty())
        m_quiet.start();
}
