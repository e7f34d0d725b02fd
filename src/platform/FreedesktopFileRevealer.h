#pragma once

#include "FileRevealer.h"

#include <QDBusConnection>
#include <QMutex>
#include <QObject>

#include <memory>
#include <optional>

// Asks the session's org.freedesktop.FileManager1 service to select the item;
// without that service (or a session bus) opens the containing folder instead.
// The label names the default handler of inode/directory once a background
// lookup has found it, and the file manager in general until then.
class FreedesktopFileRevealer final : public QObject, public FileRevealer {
    Q_OBJECT

public:
    explicit FreedesktopFileRevealer(QObject* parent = nullptr);
    // Asks the file manager on `bus` instead of the session bus.
    explicit FreedesktopFileRevealer(const QDBusConnection& bus, QObject* parent = nullptr);

    void reveal(const QString& path) override;
    [[nodiscard]] QString revealLabel() const override;

    // The display name of the default application for folders, empty when there is none.
    [[nodiscard]] static QString defaultFileManagerName();

private:
    struct Lookup {
        QMutex mutex;
        std::optional<QString> name;
    };
    QDBusConnection m_bus;
    std::shared_ptr<Lookup> m_lookup = std::make_shared<Lookup>();
};
