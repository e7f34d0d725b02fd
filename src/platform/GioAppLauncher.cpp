// GLib's headers must come before Qt's: they use identifiers Qt defines as macros.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "GioAppLauncher.h"

#include "BoundedFileRead.h"
#include "InfoPlist.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPromise>

#include <optional>
#include <thread>

namespace {

// Info.plist files are a few kilobytes; anything far larger is not one.
constexpr qint64 maxInfoPlistSize = 4 * 1024 * 1024;

// Why the entry could not be started, or an empty text once it was. GIO says
// nothing of an action that fails to start: that is taken as started.
QString launchDesktopEntry(const QString& path, const QByteArray& action) {
    const QByteArray file = QFile::encodeName(path);
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(file.constData());
    // GIO refuses an entry whose Exec or TryExec program is not installed (any
    // more: the catalogue left out those that were missing when it was read).
    if (info == nullptr)
        return QStringLiteral("No program to run for %1").arg(path);
    GAppLaunchContext* context = g_app_launch_context_new();
    GError* error = nullptr;
    QString why;
    if (!action.isEmpty())
        g_desktop_app_info_launch_action(info, action.constData(), context);
    else if (!g_app_info_launch(G_APP_INFO(info), nullptr, context, &error))
        why = error != nullptr ? QString::fromUtf8(error->message)
                               : QStringLiteral("Could not launch %1").arg(path);
    g_clear_error(&error);
    g_object_unref(context);
    g_object_unref(info);
    return why;
}

QString launchBundle(const QString& path) {
    QProcess process;
    process.setProgram(GioAppLauncher::bundleExecutable(path));
    if (process.program().isEmpty())
        return QStringLiteral("No program to run in %1").arg(path);
    process.setWorkingDirectory(QFileInfo(path).absolutePath());
    return process.startDetached() ? QString() : process.errorString();
}

} // namespace

QString GioAppLauncher::bundleExecutable(const QString& bundlePath) {
    // Read as the scan reads it: regular files only, without blocking, so a
    // property list swapped for a FIFO cannot freeze the click.
    const std::optional<QByteArray> data =
        readBoundedFile(bundlePath + QStringLiteral("/Contents/Info.plist"), maxInfoPlistSize);
    const std::optional<InfoPlist> info = data ? InfoPlist::parse(*data) : std::nullopt;
    if (!info)
        return {};
    const QString name = info->executable;
    // The name comes from a file anyone can write: it must not climb out of MacOS/.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
        name == QLatin1String("."))
        return {};
    const QFileInfo program(bundlePath + QStringLiteral("/Contents/MacOS/") + name);
    if (!program.isFile() || !program.isExecutable())
        return {};
    // Nor through a symbolic link: what runs is a program of this bundle.
    const QString bundle = QFileInfo(bundlePath).canonicalFilePath();
    if (bundle.isEmpty() || !program.canonicalFilePath().startsWith(bundle + QLatin1Char('/')))
        return {};
    return program.absoluteFilePath();
}

QFuture<QString> GioAppLauncher::launch(const AppItem& app, const QString& action) {
    if (!app.path.endsWith(QLatin1String(".desktop")))
        return QtFuture::makeReadyFuture(launchBundle(app.path));
    // Off the GUI thread: GIO indexes every applications folder before its first
    // desktop application info, and that walk follows links to folders (one to
    // "/" never ends). A thread of its own, not the pool's: a walk that never
    // ends must not take a worker the catalogue needs.
    QPromise<QString> promise;
    QFuture<QString> answer = promise.future();
    // Started here, not in the thread: a future not yet started counts as
    // finished, and whoever waits on it would not wait.
    promise.start();
    std::thread([path = app.path, action = action.toUtf8(),
                 promise = std::move(promise)]() mutable {
        promise.addResult(launchDesktopEntry(path, action));
        promise.finish();
    }).detach();
    return answer;
}
