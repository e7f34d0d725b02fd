// GLib's headers must come before Qt's: they use identifiers Qt defines as macros.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <plist/plist.h>

#include "GioAppLauncher.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdlib>
#include <memory>

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

QString plistString(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
        return {};
    char* value = nullptr;
    plist_get_string_val(node, &value);
    const QString text = value != nullptr ? QString::fromUtf8(value) : QString();
    free(value);
    return text;
}

} // namespace

QString GioAppLauncher::bundleExecutable(const QString& bundlePath) {
    QFile infoPlist(bundlePath + QStringLiteral("/Contents/Info.plist"));
    if (infoPlist.size() > maxInfoPlistSize || !infoPlist.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = infoPlist.readAll();
    plist_t root = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &root);
    if (root == nullptr)
        return {};
    const std::unique_ptr<void, void (*)(plist_t)> owner(root, plist_free);
    if (plist_get_node_type(root) != PLIST_DICT)
        return {};
    const QString name = plistString(root, "CFBundleExecutable");
    // The name comes from a file anyone can write: it must not climb out of MacOS/.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
        name == QLatin1String("."))
        return {};
    const QFileInfo program(bundlePath + QStringLiteral("/Contents/MacOS/") + name);
    if (!program.isFile() || !program.isExecutable())
        return {};
    return program.absoluteFilePath();
}

void GioAppLauncher::launch(const AppItem& app) {
    if (app.path.endsWith(QLatin1String(".desktop"))) {
        launchDesktopEntry(app.path);
        return;
    }
    const QString program = bundleExecutable(app.path);
    if (program.isEmpty())
        return;
    QProcess::startDetached(program, {}, QFileInfo(app.path).absolutePath());
}
