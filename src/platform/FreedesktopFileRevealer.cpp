// GLib's headers must come before Qt's: they use identifiers Qt defines as macros.
#include <gio/gio.h>

#include "FreedesktopFileRevealer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

void openContainingFolder(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace

QString revealLabelFor(const QString& fileManagerName) {
    const QString name = fileManagerName.simplified();
    if (name.isEmpty())
        return QStringLiteral("Show in File Manager");
    return QStringLiteral("Show in ") + name;
}

FreedesktopFileRevealer::FreedesktopFileRevealer(QObject* parent)
    : FreedesktopFileRevealer(QDBusConnection::sessionBus(), parent) {}

FreedesktopFileRevealer::FreedesktopFileRevealer(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus) {}

QString FreedesktopFileRevealer::defaultFileManagerName() {
    GAppInfo* info = g_app_info_get_default_for_type("inode/directory", FALSE);
    if (info == nullptr)
        return {};
    const char* name = g_app_info_get_display_name(info);
    const QString text = name != nullptr ? QString::fromUtf8(name) : QString();
    g_object_unref(info);
    return text;
}

QString FreedesktopFileRevealer::revealLabel() const {
    // The handler lookup reads the MIME tables; the answer does not change while
    // the launcher runs often enough to look it up for every menu.
    if (m_label.isEmpty())
        m_label = revealLabelFor(defaultFileManagerName());
    return m_label;
}

void FreedesktopFileRevealer::reveal(const QString& path) {
    if (!m_bus.isConnected()) {
        openContainingFolder(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous: activating a file manager can take seconds, and the launcher
    // must not freeze meanwhile.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [path](QDBusPendingCallWatcher* finished) {
                if (QDBusPendingReply<> reply = *finished; reply.isError())
                    openContainingFolder(path);
                finished->deleteLater();
            });
}
