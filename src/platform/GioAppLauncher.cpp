// GLib's headers must come before Qt's: they use identifiers Qt defines as macros.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "GioAppLauncher.h"

#include "BoundedFileRead.h"
#include "InfoPlist.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <optional>
#include <thread>

namespace {

// Info.plist files are a few kilobytes; anything far larger is not one.
constexpr qint64 maxInfoPlistSize = 4 * 1024 * 1024;

void launchDesktopEntry(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(file.constData());
    if (info == nullptr)
        return;
    GAppLaunchContext* context = g_app_launch_context_new();
    GError* error = nullptr;
    g_app_info_launch(G_APP_INFO(info), nullptr, context, &error);
    if (error != nullptr)
        g_error_free(error);
    g_object_unref(context);
    g_object_unref(info);
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

void GioAppLauncher::launch(const AppItem& app) {
    if (app.path.endsWith(QLatin1String(".desktop"))) {
        // Off the GUI thread: GIO indexes every applications folder before its
        // first desktop application info, and that walk follows links to folders
        // (one to "/" never ends). A launch reports nothing, so nothing waits.
        std::thread(launchDesktopEntry, app.path).detach();
        return;
    }
    const QString program = bundleExecutable(app.path);
    if (program.isEmpty())
        return;
    QProcess::startDetached(program, {}, QFileInfo(app.path).absolutePath());
}
