#include "SystemGlobalHotkey.h"

#include "PortalGlobalHotkey.h"
#include "X11GlobalHotkey.h"

#include <QGuiApplication>

SystemGlobalHotkey::SystemGlobalHotkey(QObject* parent)
    : GlobalHotkey(parent) {}

SystemGlobalHotkey::~SystemGlobalHotkey() = default;

bool SystemGlobalHotkey::start() {
    if (m_backend != nullptr)
        return true;
    std::unique_ptr<GlobalHotkey> backend;
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")))
        backend = std::make_unique<PortalGlobalHotkey>(QDBusConnection::sessionBus());
    else if (platform == QLatin1String("xcb"))
        backend = std::make_unique<X11GlobalHotkey>();
    if (backend == nullptr || !backend->start())
        return false;
    connect(backend.get(), &GlobalHotkey::activated, this, &GlobalHotkey::activated);
    m_backend = std::move(backend);
    return true;
}
