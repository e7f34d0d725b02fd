#pragma once

#include "AppItem.h"

// Starts applications. Launching is fire-and-forget: the launcher hides whether
// or not the application came up, so implementations report nothing.
class AppLauncher {
public:
    virtual ~AppLauncher() = default;

    virtual void launch(const AppItem& app) = 0;
};
