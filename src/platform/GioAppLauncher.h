#pragma once

#include "AppLauncher.h"

#include <QString>

// Desktop entries go through GIO, which expands the field codes of Exec without a
// shell; ".app" bundles run their Contents/MacOS/<CFBundleExecutable> detached.
class GioAppLauncher final : public AppLauncher {
public:
    QFuture<QString> launch(const AppItem& app, const QString& action) override;

    // The program a bundle declares, or an empty string when the bundle has no
    // readable Info.plist, no CFBundleExecutable, or no executable file by that name.
    [[nodiscard]] static QString bundleExecutable(const QString& bundlePath);
};
