#pragma once

#include "AppItem.h"

#include <QString>

// The image provider id that serves application icons to QML.
inline constexpr QLatin1StringView appIconProviderId{"appicon"};

// "image://appicon/<UUID text>": the URL under which QML shows `app`'s icon.
[[nodiscard]] QString appIconSource(const AppItem& app);
// "image://appicon/<UUID text>?action=<id>": the icon of one of its desktop
// actions, or "" when the action names none.
[[nodiscard]] QString actionIconSource(const AppItem& app, const DesktopAction& action);
