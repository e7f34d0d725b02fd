#include "CatalogueRoots.h"

#include <QDir>

namespace {

QString environmentPath(const char* name) {
    const QString value = qEnvironmentVariable(name);
    // The basedir rules ignore relative paths.
    return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

QString dataHome() {
    const QString configured = environmentPath("XDG_DATA_HOME");
    if (!configured.isEmpty())
        return configured;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QStringList dataDirs() {
    QStringList dirs;
    const QStringList listed =
        qEnvironmentVariable("XDG_DATA_DIRS").split(u':', Qt::SkipEmptyParts);
    for (const QString& dir : listed) {
        if (QDir::isAbsolutePath(dir))
            dirs.append(QDir::cleanPath(dir));
    }
    if (dirs.isEmpty())
        dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
    dirs.removeDuplicates();
    return dirs;
}

QStringList withSuffix(const QStringList& dirs, const QString& suffix) {
    QStringList result;
    result.reserve(dirs.size());
    for (const QString& dir : dirs)
        result.append(dir + suffix);
    return result;
}

} // namespace

QStringList CatalogueRoots::bundleFoldersUnder(const QString& prefix) {
    const QString base = prefix.isEmpty() ? QString() : QDir::cleanPath(prefix);
    // cleanPath keeps a lone "/", which would double the separator below.
    const QString root = base == QStringLiteral("/") ? QString() : base;
    return {root + QStringLiteral("/Applications"), root + QStringLiteral("/System/Applications"),
            root + QStringLiteral("/System/Applications/Utilities")};
}

CatalogueRoots CatalogueRoots::system(const QString& bundlePrefix) {
    CatalogueRoots roots;
    roots.bundleFolders = bundleFoldersUnder(bundlePrefix);

    QStringList data = dataDirs();
    data.prepend(dataHome());
    data.removeDuplicates();
    roots.desktopEntryFolders = withSuffix(data, QStringLiteral("/applications"));

    // Icon themes look in ~/.icons first, for compatibility with old themes.
    roots.iconThemeFolders = withSuffix(data, QStringLiteral("/icons"));
    roots.iconThemeFolders.prepend(QDir::homePath() + QStringLiteral("/.icons"));
    // Programs installed under other prefixes (Flatpak's exports, /opt, a
    // home-made prefix) leave their unthemed icons in those data folders too.
    roots.pixmapFolders = withSuffix(data, QStringLiteral("/pixmaps"));
    roots.pixmapFolders.append(QStringLiteral("/usr/share/pixmaps"));
    roots.pixmapFolders.removeDuplicates();
    return roots;
}
