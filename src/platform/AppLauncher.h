#pragma once

#include "AppItem.h"

#include <QFuture>
#include <QString>

// Starts applications. The answer comes once the start has been tried, perhaps
// from another thread: an empty text when the program was started, else why it
// could not be. A program that starts and then fails is a started one.
class AppLauncher {
public:
    virtual ~AppLauncher() = default;

    // `action`: one of the application's desktop actions by its id; empty for
    // the application itself.
    virtual QFuture<QString> launch(const AppItem& app, const QString& action) = 0;
};
