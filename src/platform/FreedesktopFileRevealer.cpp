// GLib's headers must come before Qt's: they use identifiers Qt defines as macros.
#include <gio/gio.h>

#include "FreedesktopFileRevealer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <thread>

namespace {

void openContainingFolder(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace

QString revealLabelFor(const QString& fileManagerName) {
    const QString name = fileManagerName.simplified();
    if (name.isEmpty())
        return QCoreApplication::translate("FileRevealer", "Show in File Manager");
    //: %1 is the file manager's name, e.g. Files or Dolphin.
    return QCoreApplication::translate("FileRevealer", "Show in %1").arg(name);
}

FreedesktopFileRevealer::FreedesktopFileRevealer(QObject* parent)
    : FreedesktopFileRevealer(QDBusConnection::sessionBus(), parent) {}

FreedesktopFileRevealer::FreedesktopFileRevealer(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus) {
    // GIO indexes every applications folder before it answers, following links
    // to folders (one to "/" never ends): never on the GUI thread.
    std::thread([lookup = m_lookup] {
        const QString name = defaultFileManagerName();
        const QMutexLocker locker(&lookup->mutex);
        lookup->name = name;
    }).detach();
}

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
    const QMutexLocker locker(&m_lookup->mutex);
    return revealLabelFor(m_lookup->name.value_or(QString()));
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
