#pragma once

#include "AppItem.h"
#include "CatalogueRoots.h"
#include "IconCache.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QReadWriteLock>
#include <QThreadPool>
#include <QTimer>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

#include <atomic>
#include <memory>
#include <optional>

class AppSettings;
class CatalogueCache;
class Trash;
template <typename T> class QFutureWatcher;

// The catalogue: finds the installed applications and publishes the visible ones
// in display order. Lives on the GUI thread; scans run on the thread pool and
// are published back here, the scan started last being the only one published.
class AppDiscovery : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppDiscovery is owned by the main screen")
    Q_PROPERTY(bool isLoading READ isLoading WRITE setIsLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(int count READ count NOTIFY applicationsChanged)

public:
    AppDiscovery(AppSettings& settings, CatalogueRoots roots, Trash& trash,
                 QObject* parent = nullptr);
    ~AppDiscovery() override;

    // Visible applications in display order.
    [[nodiscard]] const AppList& applications() const { return m_applications; }
    // Every application of the last published scan, in discovery order.
    [[nodiscard]] const AppList& allDiscoveredApps() const { return m_allDiscoveredApps; }
    // The hidden applications of the last published scan, by name.
    [[nodiscard]] AppList hiddenApplications() const;
    [[nodiscard]] int count() const { return int(m_applications.size()); }

    [[nodiscard]] bool isLoading() const { return m_isLoading; }
    // Whoever starts a scan sets this first; the scan clears it once published.
    void setIsLoading(bool loading);

    [[nodiscard]] const CatalogueRoots& roots() const { return m_roots; }

    // The icon of an application of the published scan in a square of
    // `pixels`, corners rounded by `corner` (see IconCache::icon), looked up
    // and decoded now unless a view asked for it before; the generic icon for
    // an unknown id. Safe on any thread: the image provider calls it from its
    // own threads, never the GUI thread.
    [[nodiscard]] QImage icon(const QUuid& appId, int pixels, qreal corner = 0) const;
    // The icon of one of the application's desktop actions, the same way; a
    // null image when the action names none.
    [[nodiscard]] QImage actionIcon(const QUuid& appId, const QString& actionId, int pixels,
                                    qreal corner = 0) const;

    // Starts a scan and returns at once. When it ends it publishes, in this
    // order: allDiscoveredApps, filterAndSortApps(), isLoading = false, then
    // scanFinished(). A scan started later makes earlier ones stop unpublished.
    // With a cache, the first call also publishes what the cache holds the same
    // way (without scanFinished), as soon as it is read, then emits
    // cachedCatalogueShown(); the scan that checks it waits until
    // startCheckingScan() or for its delay, whichever comes first.
    Q_INVOKABLE void loadApplications();
    // Starts the scan held behind a shown cache, if one is held.
    void startCheckingScan();
    [[nodiscard]] bool isScanHeld() const { return m_scanHeld; }
    // How long a held scan waits at most; checkingScanDelayMs unless set.
    void setCheckingScanDelay(int milliseconds) { m_checkingScanDelay.setInterval(milliseconds); }
    // Keeps the raw catalogue in `file` between runs: read at once, shown at the
    // first loadApplications(), and rewritten after each published scan that
    // changed it, all off the GUI thread. Call before the first loadApplications().
    void setCacheFile(const QString& file);
    // Rebuilds applications() from the last scan and the settings.
    Q_INVOKABLE void filterAndSortApps();
    // Moves one entry of applications() and saves the order; positions out of
    // range, or equal, change and save nothing.
    Q_INVOKABLE void moveApp(int from, int to);
    void saveCustomOrder();
    // Moves the application's file to the Trash and rescans; a failure prints
    // one line to standard output and changes nothing.
    void deleteApp(const AppItem& app);

Q_SIGNALS:
    void applicationsChanged();
    void isLoadingChanged();
    void scanFinished();
    void cachedCatalogueShown();

private:
    // How long after a scan's publication its catalogue is written to the cache.
    static constexpr int storeDelayMs = 500;
    // How long the scan that checks a shown cache waits for the launcher at most.
    static constexpr int checkingScanDelayMs = 1000;

    struct UnstoredCatalogue {
        AppList apps;
        qint64 scanEndedNs = 0;
    };

    void startScan();
    void publish(AppList apps);
    // Writes the last scan's catalogue to the cache now, if it is not yet.
    void storeCatalogue();
    void showCached();
    void adopt(AppList apps);

    AppSettings& m_settings;
    CatalogueRoots m_roots;
    Trash& m_trash;
    bool m_isLoading = false;
    AppList m_applications;
    AppList m_allDiscoveredApps;

    // The scan whose result will be published, if any, and the flag that makes
    // it stop early.
    QThreadPool m_scanPool;
    QFutureWatcher<AppList>* m_watcher = nullptr;
    std::shared_ptr<std::atomic_bool> m_cancel;

    // Writes of the cache, one at a time and in order, and the themes' index.
    QThreadPool m_cachePool;
    std::shared_ptr<const CatalogueCache> m_cache;
    std::optional<UnstoredCatalogue> m_unstored;
    QTimer m_storeDelay;
    // The cache's applications, from when it has been read until shown.
    std::optional<AppList> m_cachedApps;
    bool m_loadRequested = false;
    // The cache is still being read, and was not found wanting yet.
    bool m_cacheReading = false;
    // The first scan waits behind the cache: see loadApplications().
    bool m_scanHeld = false;
    QTimer m_checkingScanDelay;
    // What is published came from the cache, and no scan has been published yet.
    bool m_showingCache = false;
    bool m_scanPublished = false;

    // Each published application's icon source, by id, for the image provider's threads.
    mutable QReadWriteLock m_iconLock;
    QHash<QUuid, QString> m_iconSources;
    // Only the applications whose actions name icons: action id to source.
    QHash<QUuid, QHash<QString, QString>> m_actionIconSources;
    mutable IconCache m_icons;
};
