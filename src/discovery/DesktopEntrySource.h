#pragma once

#include "DesktopAction.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

// One desktop entry that should be shown, before its icon is looked up.
struct DesktopEntryRecord {
    // The desktop-file id without ".desktop" ("org.gnome.Calculator").
    QString identifier;
    // The localized Name for the current locale.
    QString name;
    // Absolute path of the .desktop file that won.
    QString path;
    // A theme icon name, or an absolute file path; empty when the entry has none.
    QString icon;
    // What else the application goes by, for search: the localized GenericName,
    // each localized keyword, and the file name of the program Exec runs.
    QStringList otherNames;
    DesktopActionList actions;
};

// The applications of the freedesktop desktop entries under `folders` (each an
// ".../applications" folder, most important first). An id found in an earlier
// folder hides the same id in later ones, whatever that earlier file holds (one
// not to be shown, one that is no application, one that cannot be read), as GIO
// masks: that is how a user removes a system entry from menus. Entries marked
// Hidden or NoDisplay, excluded for this desktop by OnlyShowIn/NotShowIn, or whose
// TryExec or Exec program is missing are left out. Result in folder order, then walk order.
// Reads in parallel; safe to call off the GUI thread.
[[nodiscard]] QList<DesktopEntryRecord> readDesktopEntries(const QStringList& folders,
                                                           const std::atomic_bool& cancelled);
