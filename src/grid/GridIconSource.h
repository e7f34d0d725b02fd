#pragma once

#include "AppItem.h"

#include <QString>

// The image URL under which the engine's "appicon" provider serves `app`'s icon.
[[nodiscard]] QString gridIconSource(const AppItem& app);
