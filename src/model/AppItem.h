#pragma once

#include "DesktopAction.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

// One installed application as the last scan found it. The user's arrangement
// is stored by bundleIdentifier, and `id` is new on every scan and never stored
// (the catalogue cache keeps the rest).
struct AppItem {
    QUuid id;
    QString name;
    QString bundleIdentifier;
    // Absolute file-system path of the application: an ".app" bundle folder or a
    // ".desktop" entry file.
    QString path;
    // Where the icon comes from: an absolute picture file (a bundle's icon, or
    // a file a desktop entry names) or the name of a theme icon; empty when the
    // application names none. Pictures are made only for the icons on screen.
    QString icon;
    // The name and the other names the application goes by (a desktop entry's
    // generic name, keywords and program), folded for search once per scan so
    // that a keystroke folds only what was typed. Empty until prepared.
    QString searchName{};
    QStringList searchAliases{};
    // Whether search must also compare the name unfolded (matchesSearch): folding
    // loses a few matches of that comparison (a mark that case-folds to a
    // letter), never in a name of ASCII alone.
    bool searchUnfoldedToo = true;
    // A desktop entry's actions, offered at the top of its tile's menu.
    DesktopActionList actions{};
    // Place in its catalogue's order by name, given off the GUI thread when the
    // catalogue is read (rankByName), so that publishing it sorts integers;
    // -1 until ranked.
    int nameRank = -1;

    // Two scans of one bundle give equal records although their ids differ;
    // views that need identity compare `id` instead.
    friend bool operator==(const AppItem& a, const AppItem& b) {
        return a.path == b.path && a.name == b.name;
    }
};

using AppList = QList<AppItem>;
