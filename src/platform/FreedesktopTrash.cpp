#include "FreedesktopTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

Trash::Result FreedesktopTrash::moveToTrash(const QString& path) {
    // QFile::moveToTrash falls back to a "Trash" folder in the current directory
    // when the data home does not exist yet, and still reports success, so the
    // data home is made first.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!dataHome.isEmpty() && !QDir().mkpath(dataHome))
        return {false, QStringLiteral("Cannot create the folder %1").arg(dataHome)};

    // A dangling symbolic link is still something to trash; exists() follows links.
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return {false, QStringLiteral("The file \u201c%1\u201d doesn\u2019t exist.").arg(path)};

    QFile file(path);
    if (!file.moveToTrash())
        return {false, file.errorString()};
    return {true, {}};
}
