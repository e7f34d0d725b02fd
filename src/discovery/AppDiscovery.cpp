#include "AppDiscovery.h"

#include "AppSettings.h"
#include "CatalogueCache.h"
#include "CatalogueOrdering.h"
#include "CatalogueScan.h"
#include "DesktopSettings.h"
#include "Trash.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>

namespace {

// The cache as read, or, where it had nothing to show, the scan that followed.
struct CacheRead {
    std::optional<AppList> cached;
    std::optional<AppList> scanned;
};

} // namespace

AppDiscovery::AppDiscovery(AppSettings& settings, CatalogueRoots roots, Trash& trash,
                           QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_roots(std::move(roots))
    , m_trash(trash)
    , m_icons(m_roots.iconThemeFolders, m_roots.pixmapFolders, &DesktopSettings::iconThemeName) {
    // One scan at a time: a superseded scan stops early, and the next starts
    // after it. Scans wait on work they hand to the global pool, so they must
    // not occupy its threads themselves.
    m_scanPool.setMaxThreadCount(1);
    m_cachePool.setMaxThreadCount(1);
    m_storeDelay.setSingleShot(true);
    m_storeDelay.setInterval(storeDelayMs);
    connect(&m_storeDelay, &QTimer::timeout, this, &AppDiscovery::storeCatalogue);
    m_checkingScanDelay.setSingleShot(true);
    m_checkingScanDelay.setInterval(checkingScanDelayMs);
    connect(&m_checkingScanDelay, &QTimer::timeout, this, &AppDiscovery::startCheckingScan);
}

AppDiscovery::~AppDiscovery() {
    // Scans only read their own copies, but they run GIO and the global thread
    // pool, which must not outlive the application object. Cancelled, each
    // ends at its next check, so this wait is short.
    if (m_cancel)
        m_cancel->store(true);
    m_scanPool.waitForDone();
    // A cache write waiting or in progress is finished: a new file half
    // written is never seen, but the next start would have nothing to show.
    storeCatalogue();
    m_cachePool.waitForDone();
}

void AppDiscovery::storeCatalogue() {
    m_storeDelay.stop();
    if (!m_unstored)
        return;
    static_cast<void>(
        QtConcurrent::run(&m_cachePool, [cache = m_cache, roots = m_roots,
                                         unstored = std::move(*m_unstored)]() mutable {
            cache->store(
                CatalogueCache::snapshot(roots, std::move(unstored.apps), unstored.scanEndedNs));
        }));
    m_unstored.reset();
}

void AppDiscovery::setCacheFile(const QString& file) {
    m_cache = std::make_shared<const CatalogueCache>(file);
    // Read now, while the window is still being built, and kept until the
    // first loadApplications() shows it. On the scans' own thread, so the scan
    // queued next starts once it is read: the scan's result is always published
    // after the cache's and replaces it, and a small machine is not asked to do
    // both at once. With nothing to show, the scan is the first screen: the
    // same task goes on to it at once, where waiting for this thread to hand
    // the read over would wait for the window to be built.
    m_cacheReading = true;
    m_cancel = std::make_shared<std::atomic_bool>(false);
    auto* read = new QFutureWatcher<CacheRead>(this);
    connect(read, &QFutureWatcherBase::finished, this, [this, read, cancel = m_cancel] {
        m_cacheReading = false;
        CacheRead result = read->result();
        read->deleteLater();
        m_cachedApps = std::move(result.cached);
        if (m_cachedApps) {
            showCached();
        } else if (result.scanned && m_scanHeld && !cancel->load()) {
            m_scanHeld = false;
            m_checkingScanDelay.stop();
            publish(std::move(*result.scanned));
        } else {
            startCheckingScan(); // not asked for yet, or superseded: a scan of its own
        }
    });
    read->setFuture(
        QtConcurrent::run(&m_scanPool, [cache = m_cache, roots = m_roots, cancel = m_cancel] {
            CacheRead result{cache->load(roots), {}};
            if (result.cached)
                rankByName(*result.cached);
            if (!result.cached && !cancel->load())
                result.scanned = scanCatalogue(roots, *cancel);
            return result;
        }));
}

void AppDiscovery::setIsLoading(bool loading) {
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    Q_EMIT isLoadingChanged();
}

QImage AppDiscovery::icon(const QUuid& appId, int pixels, qreal corner) const {
    QString source;
    {
        const QReadLocker locker(&m_iconLock);
        source = m_iconSources.value(appId);
    }
    return m_icons.icon(source, pixels, corner);
}

QImage AppDiscovery::actionIcon(const QUuid& appId, const QString& actionId, int pixels,
                                qreal corner) const {
    QString source;
    {
        const QReadLocker locker(&m_iconLock);
        source = m_actionIconSources.value(appId).value(actionId);
    }
    return source.isEmpty() ? QImage() : m_icons.icon(source, pixels, corner);
}

void AppDiscovery::loadApplications() {
    // The themes' folders are indexed beside the scan rather than when the
    // first tile asks for its icon: at a large catalogue both take long. The
    // pictures shown meanwhile stay; the scan's publication forgets them.
    m_icons.forgetThemes();
    static_cast<void>(QtConcurrent::run(&m_cachePool, [this] { m_icons.prepareThemes(); }));
    if (!m_loadRequested) {
        m_loadRequested = true;
        // A cached catalogue is on screen in a moment, and the scan that checks
        // it waits for that: on a small machine its readers would take the
        // cores the first page is built and drawn on, and the cache is there
        // so that the first page comes before any of that work.
        if (m_cacheReading || m_cachedApps) {
            m_scanHeld = true;
            showCached();
            return;
        }
    }
    m_scanHeld = false;
    m_checkingScanDelay.stop();
    startScan();
}

void AppDiscovery::startCheckingScan() {
    if (!m_scanHeld)
        return;
    m_scanHeld = false;
    m_checkingScanDelay.stop();
    startScan();
}

void AppDiscovery::startScan() {
    // Stops the scan a cache read went on to as well as the last one started here.
    if (m_cancel)
        m_cancel->store(true);
    if (m_watcher != nullptr) {
        // Its result is of no use any more: disconnecting keeps it from being
        // published, whenever it ends.
        m_watcher->disconnect(this);
        connect(m_watcher, &QFutureWatcherBase::finished, m_watcher, &QObject::deleteLater);
        m_watcher = nullptr;
    }

    m_cancel = std::make_shared<std::atomic_bool>(false);
    m_watcher = new QFutureWatcher<AppList>(this);
    QFutureWatcher<AppList>* watcher = m_watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        if (watcher != m_watcher)
            return;
        m_watcher = nullptr;
        AppList apps = watcher->result();
        watcher->deleteLater();
        publish(std::move(apps));
    });
    watcher->setFuture(QtConcurrent::run(&m_scanPool, [roots = m_roots, cancel = m_cancel] {
        return scanCatalogue(roots, *cancel);
    }));
}

void AppDiscovery::publish(AppList apps) {
    if (m_showingCache) {
        // Tiles drawn from the cache keep their ids, and so the pictures they
        // already show, where the scan found the same application and icon.
        QHash<QString, const AppItem*> shown;
        for (const AppItem& app : m_allDiscoveredApps)
            shown.insert(app.path, &app);
        for (AppItem& app : apps) {
            const AppItem* before = shown.value(app.path);
            if (before != nullptr && before->name == app.name && before->icon == app.icon)
                app.id = before->id;
        }
    }
    m_showingCache = false;
    m_scanPublished = true;
    if (m_cache) {
        // Stamped as of now, just after the scan, so a file changed during the
        // scan is either seen as changed or too recent to be trusted. Written
        // a little later: the cache is for the next start, and stamping
        // thousands of files would compete with this one's first page.
        m_unstored = UnstoredCatalogue{apps, CatalogueCache::clockNs()};
        if (!m_storeDelay.isActive())
            m_storeDelay.start();
    }
    adopt(std::move(apps));
    setIsLoading(false);
    Q_EMIT scanFinished();
}

void AppDiscovery::showCached() {
    if (!m_cachedApps || !m_loadRequested || m_scanPublished)
        return;
    AppList apps = std::move(*m_cachedApps);
    m_cachedApps.reset();
    m_showingCache = true;
    adopt(std::move(apps));
    setIsLoading(false);
    if (m_scanHeld)
        m_checkingScanDelay.start();
    Q_EMIT cachedCatalogueShown();
}

void AppDiscovery::adopt(AppList apps) {
    QHash<QUuid, QString> sources;
    sources.reserve(apps.size());
    QHash<QUuid, QHash<QString, QString>> actionSources;
    for (const AppItem& app : apps) {
        sources.insert(app.id, app.icon);
        for (const DesktopAction& action : app.actions) {
            if (!action.icon.isEmpty())
                actionSources[app.id].insert(action.id, action.icon);
        }
    }
    {
        const QWriteLocker locker(&m_iconLock);
        m_iconSources.swap(sources);
        m_actionIconSources.swap(actionSources);
    }
    m_icons.forgetPictures();
    m_allDiscoveredApps = std::move(apps);
    filterAndSortApps();
}

AppList AppDiscovery::hiddenApplications() const {
    return hiddenCatalogue(m_allDiscoveredApps, m_settings.hiddenApps());
}

void AppDiscovery::filterAndSortApps() {
    m_applications =
        orderCatalogue(m_allDiscoveredApps, m_settings.hiddenApps(), m_settings.customAppOrder());
    Q_EMIT applicationsChanged();
}

void AppDiscovery::moveApp(int from, int to) {
    const qsizetype n = m_applications.size();
    if (from < 0 || from == to || from >= n || to < 0 || to >= n)
        return;
    m_applications.move(from, to);
    Q_EMIT applicationsChanged();
    saveCustomOrder();
}

void AppDiscovery::saveCustomOrder() {
    QStringList order;
    order.reserve(m_applications.size());
    for (const AppItem& app : m_applications)
        order.append(app.bundleIdentifier);
    QSet<QString> installed;
    installed.reserve(m_allDiscoveredApps.size());
    for (const AppItem& app : m_allDiscoveredApps)
        installed.insert(app.bundleIdentifier);
    m_settings.setCustomAppOrder(keepUninstalled(order, m_settings.customAppOrder(), installed));
}

void AppDiscovery::deleteApp(const AppItem& app) {
    const Trash::Result result = m_trash.moveToTrash(app.path);
    if (!result.moved) {
        const QByteArray line =
            QStringLiteral("Error deleting app: %1\n").arg(result.errorText).toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fflush(stdout);
        return;
    }
    setIsLoading(true);
    loadApplications();
}
