#pragma once

#include <QList>
#include <QString>

// One of the extra ways a desktop entry offers to start its application
// ("New Private Window"), from its Actions key and [Desktop Action id] group.
struct DesktopAction {
    QString id;
    // Localized, as the entry's own Name.
    QString name;
    // A theme icon name or a file; empty when the action names none.
    QString icon;

    friend bool operator==(const DesktopAction&, const DesktopAction&) = default;
};

using DesktopActionList = QList<DesktopAction>;
