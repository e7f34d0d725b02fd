#include "CatalogueCache.h"

#include "BoundedFileRead.h"
#include "SessionUuid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>
#include <ctime>
#include <sys/stat.h>

namespace {

constexpr qint64 maxCacheBytes = 256 * 1024 * 1024;
constexpr qint64 nsPerSecond = 1'000'000'000;
// File systems keep times to a clock tick, some only to a second or two: a file
// changed this shortly before it is stamped could change again within the same
// tick, unseen. Such a stamp never matches, and the next scan stamps it again.
constexpr qint64 racyWindowNs = 2 * nsPerSecond;

FileStamp stampOf(const QString& path, qint64 now) {
    FileStamp stamp{path, FileStamp::missingMtime, 0, 0};
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return stamp;
    const qint64 mtime = qint64(status.st_mtim.tv_sec) * nsPerSecond + status.st_mtim.tv_nsec;
    stamp.mtimeNs = mtime > now - racyWindowNs ? FileStamp::racyMtime : mtime;
    stamp.size = qint64(status.st_size);
    stamp.inode = quint64(status.st_ino);
    return stamp;
}

// What else a scan's result depends on: where it looked, and what the desktop
// entries' localized keys, desktop filters and programs were read under.
QStringList contextOf(const CatalogueRoots& roots) {
    QStringList context{roots.bundleFolders.join(u'\n'), roots.desktopEntryFolders.join(u'\n'),
                        QLocale().name()};
    for (const char* name :
         {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG", "XDG_CURRENT_DESKTOP", "PATH"})
        context.append(qEnvironmentVariable(name));
    return context;
}

// The files and folders a scan read to find `apps`: the catalogue's folders,
// each application's folder (a new one there changes its time), its entry or a
// bundle's Info.plist, and for a bundle's icon the Resources folder it was
// chosen in. Icons are decoded when drawn, never from the cache, so their
// pictures are not part of it.
QStringList dependencies(const CatalogueRoots& roots, const AppList& apps) {
    QStringList paths = roots.bundleFolders + roots.desktopEntryFolders;
    QString folder;
    for (const AppItem& app : apps) {
        // Applications of one folder come together, so this drops most repeats.
        if (const QString appFolder = QFileInfo(app.path).path(); appFolder != folder)
            paths << (folder = appFolder);
        if (app.path.endsWith(QStringLiteral(".desktop"))) {
            paths << app.path;
            continue;
        }
        paths << app.path + QStringLiteral("/Contents/Info.plist");
        if (!app.icon.isEmpty())
            paths << app.path + QStringLiteral("/Contents/Resources");
    }
    paths.removeDuplicates();
    return paths;
}

void report(const QString& line) {
    std::fprintf(stderr, "quorlin: %s\n", qPrintable(line));
}

} // namespace

CatalogueCache::CatalogueCache(QString file)
    : m_file(std::move(file)) {}

QString CatalogueCache::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/quorlin/catalogue");
}

std::optional<AppList> CatalogueCache::load(const CatalogueRoots& roots) const {
    const auto ignored = [this](const QString& why) {
        report(QStringLiteral("ignoring the catalogue cache %1 (%2); it will be rebuilt")
                   .arg(m_file, why));
        return std::nullopt;
    };
    const std::optional<QByteArray> bytes = readBoundedFile(m_file, maxCacheBytes);
    if (!bytes) {
        if (QFileInfo::exists(m_file))
            return ignored(QStringLiteral("not a readable file"));
        return std::nullopt; // the first start
    }
    QString why;
    std::optional<CatalogueSnapshot> snapshot = CatalogueSnapshot::decode(*bytes, &why);
    if (!snapshot)
        return ignored(why);
    if (snapshot->context != contextOf(roots))
        return std::nullopt;
    const qint64 now = clockNs();
    for (const FileStamp& stamp : snapshot->stamps) {
        if (stampOf(stamp.path, now) != stamp)
            return std::nullopt;
    }
    for (AppItem& app : snapshot->apps)
        app.id = sessionUuid();
    return std::move(snapshot->apps);
}

qint64 CatalogueCache::clockNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * nsPerSecond + now.tv_nsec;
}

CatalogueSnapshot CatalogueCache::snapshot(const CatalogueRoots& roots, AppList apps,
                                           qint64 scanEndedNs) {
    CatalogueSnapshot snapshot{contextOf(roots), {}, std::move(apps)};
    for (const QString& path : dependencies(roots, snapshot.apps))
        snapshot.stamps.append(stampOf(path, scanEndedNs));
    return snapshot;
}

bool CatalogueCache::store(const CatalogueSnapshot& snapshot) const {
    const QByteArray bytes = snapshot.encode();
    if (readBoundedFile(m_file, maxCacheBytes) == bytes)
        return true;
    const auto failed = [this](const QString& why) {
        if (!m_failureReported.exchange(true))
            report(QStringLiteral("could not write the catalogue cache %1 (%2)").arg(m_file, why));
        return false;
    };
    if (!QDir().mkpath(QFileInfo(m_file).path()))
        return failed(QStringLiteral("cannot make its folder"));
    QSaveFile file(m_file);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return failed(file.errorString());
    return true;
}
