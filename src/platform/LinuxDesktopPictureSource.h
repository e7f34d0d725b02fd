#pragma once

#include "DesktopPictureSource.h"

#include <QString>
#include <QStringList>

// Reads the picture from the settings of the running desktop first (by
// XDG_CURRENT_DESKTOP), then from the others: GNOME's org.gnome.desktop.background
// through GSettings, KDE Plasma's plasma-org.kde.plasma.desktop-appletsrc and
// Xfce's xfconf channel file.
class LinuxDesktopPictureSource final : public DesktopPictureSource {
public:
    [[nodiscard]] QUrl desktopPictureUrl() const override;

    // What a desktop setting holds (a URI or a plain path) as a URL; empty for an empty value.
    [[nodiscard]] static QUrl pictureUrlFromSetting(const QString& value);
    // GNOME keeps one picture for the light and one for the dark colour scheme.
    [[nodiscard]] static QUrl gnomePicture(const QString& pictureUri, const QString& pictureUriDark,
                                           const QString& colorScheme);
    // The wallpaper of the first desktop containment of a Plasma applets file.
    [[nodiscard]] static QUrl kdePicture(const QString& appletsrcText);
    // Of a wallpaper package's pictures, named by size ("1920x1080.png"), the largest;
    // the first name when none gives a size.
    [[nodiscard]] static QString largestPackagePicture(const QStringList& names);
    // The picture of the first monitor and workspace of an xfce4-desktop channel file.
    [[nodiscard]] static QUrl xfcePicture(const QString& channelXml);

private:
    [[nodiscard]] static QUrl fromGnome();
    [[nodiscard]] static QUrl fromKde();
    [[nodiscard]] static QUrl fromXfce();
};
