#include "AppDiscovery.h"

#include "AppSettings.h"
#include "CatalogueOrdering.h"
#include "CatalogueScan.h"
#include "DesktopSettings.h"
#include "Trash.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>

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
}

AppDiscovery::~AppDiscovery() {
    // Scans only read their own copies, but they run GIO and the global thread
    // pool, which must not outlive the application object. Cancelled, each
    // ends at its next check, so this wait is short.
    if (m_cancel)
        m_cancel->store(true);
    m_scanPool.waitForDone();
}

void AppDiscovery::setIsLoading(bool loading) {
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    Q_EMIT isLoadingChanged();
}

QImage AppDiscovery::icon(const QUuid& appId, int pixels) const {
    QString source;
    {
        const QReadLocker locker(&m_iconLock);
        source = m_iconSources.value(appId);
    }
    return m_icons.icon(source, pixels);
}

void AppDiscovery::loadApplications() {
    if (m_watcher != nullptr) {
        m_cancel->store(true);
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
    QHash<QUuid, QString> sources;
    sources.reserve(apps.size());
    for (const AppItem& app : apps)
        sources.insert(app.id, app.icon);
    {
        const QWriteLocker locker(&m_iconLock);
        m_iconSources.swap(sources);
    }
    m_icons.reset();
    m_allDiscoveredApps = std::move(apps);
    filterAndSortApps();
    setIsLoading(false);
    Q_EMIT scanFinished();
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
