#pragma once

#include "CatalogueRoots.h"

#include <QString>

// How the program was asked to run, from its command line.
struct LaunchOptions {
    // Where the catalogue comes from.
    CatalogueRoots roots;
    // Render the launcher to this PNG file and exit instead of running.
    QString screenshotPath;
    // Show or hide the running launcher (starting one when none runs).
    bool toggle = false;
    // Start resident and hidden (at login): nothing shows until the launcher key
    // or the toggle command.
    bool background = false;
};
