#pragma once

#include <QUrl>

// Where the desktop's own picture is, as the desktop's settings name it.
class DesktopPictureSource {
public:
    virtual ~DesktopPictureSource() = default;

    // An empty URL when no desktop setting names a picture.
    [[nodiscard]] virtual QUrl desktopPictureUrl() const = 0;
};
