#pragma once

#include "CatalogueRoots.h"
#include "CatalogueSnapshot.h"

#include <QString>

#include <atomic>

// The catalogue kept on disk between runs, so a cold start can show the
// applications before its own scan has read thousands of files. The scan still
// runs and its result replaces what the cache showed. Blocking, for the thread
// pool; two processes may read and write one file at the same time.
class CatalogueCache {
public:
    explicit CatalogueCache(QString file);

    // quorlin/catalogue under $XDG_CACHE_HOME.
    [[nodiscard]] static QString defaultFile();

    [[nodiscard]] const QString& file() const { return m_file; }

    // The stored applications with fresh ids, if the file holds a whole cache of
    // this version scanned under `roots` and this environment, and no file it
    // was stamped with has changed since. Anything not whole or not readable is
    // reported in one line on standard error; a stale cache is just not used.
    [[nodiscard]] std::optional<AppList> load(const CatalogueRoots& roots) const;

    // A scan's result with the context and stamps a later load checks against.
    // `scanEndedNs` is clockNs() when the scan ended: a file changed since, or
    // shortly before, is stamped as never to be trusted.
    [[nodiscard]] static CatalogueSnapshot snapshot(const CatalogueRoots& roots, AppList apps,
                                                    qint64 scanEndedNs = clockNs());
    // The clock stamps are compared with: the files' own.
    [[nodiscard]] static qint64 clockNs();

    // Replaces the file by `snapshot` unless it already holds it, through a
    // temporary file renamed over it, so a reader never sees half a file. The
    // first failure is reported in one line on standard error; the same
    // folder failing again at every rescan would say nothing new.
    bool store(const CatalogueSnapshot& snapshot) const;

private:
    QString m_file;
    mutable std::atomic_bool m_failureReported{false};
};
