#pragma once

#include "FileRevealer.h"

#include <QDBusConnection>
#include <QObject>

// Asks the session's org.freedesktop.FileManager1 service to select the item;
// without that service (or a session bus) opens the containing folder instead.
// The label names the default handler of inode/directory.
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
    QDBusConnection m_bus;
    mutable QString m_label;
};
