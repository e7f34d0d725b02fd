#include "LinuxDesktopPictureSource.h"

#include "DesktopSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A Plasma wallpaper may name a wallpaper package (a folder holding the picture
// in several sizes) instead of a picture: take its largest picture.
QUrl resolveWallpaperPackage(const QUrl& url) {
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isDir())
        return url;
    const QDir images(QDir::cleanPath(url.toLocalFile() + QStringLiteral("/contents/images")));
    const QString best =
        LinuxDesktopPictureSource::largestPackagePicture(images.entryList(QDir::Files, QDir::Name));
    if (best.isEmpty())
        return url;
    return QUrl::fromLocalFile(images.filePath(best));
}

} // namespace

QString LinuxDesktopPictureSource::largestPackagePicture(const QStringList& names) {
    // Nine digits a side keep the area inside 64 bits whatever a file is called;
    // a longer "size" is no size.
    static const QRegularExpression sizeName(QStringLiteral("^(\\d{1,9})x(\\d{1,9})\\."));
    QString best;
    qint64 bestArea = -1;
    for (const QString& name : names) {
        const QRegularExpressionMatch match = sizeName.match(name);
        const qint64 area =
            match.hasMatch() ? match.captured(1).toLongLong() * match.captured(2).toLongLong() : 0;
        if (area > bestArea) {
            bestArea = area;
            best = name;
        }
    }
    return best;
}

QUrl LinuxDesktopPictureSource::pictureUrlFromSetting(const QString& value) {
    const QString text = value.trimmed();
    if (text.isEmpty())
        return {};
    if (text.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(text);
    // Desktops write file URIs as typed, spaces and all.
    const QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return {};
    return url;
}

QUrl LinuxDesktopPictureSource::gnomePicture(const QString& pictureUri,
                                             const QString& pictureUriDark,
                                             const QString& colorScheme) {
    if (colorScheme == QLatin1String("prefer-dark")) {
        if (const QUrl dark = pictureUrlFromSetting(pictureUriDark); !dark.isEmpty())
            return dark;
    }
    return pictureUrlFromSetting(pictureUri);
}

QUrl LinuxDesktopPictureSource::kdePicture(const QString& appletsrcText) {
    static const QRegularExpression wallpaperGroup(
        QStringLiteral("^\\[Containments\\]\\[[^\\]]+\\]\\[Wallpaper\\]\\[org\\.kde\\.image\\]"
                       "\\[General\\]$"));
    bool inWallpaper = false;
    const QStringList lines = appletsrcText.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inWallpaper = wallpaperGroup.match(line).hasMatch();
            continue;
        }
        if (inWallpaper && line.startsWith(QLatin1String("Image="))) {
            const QUrl url = pictureUrlFromSetting(line.mid(6));
            if (!url.isEmpty())
                return resolveWallpaperPackage(url);
        }
    }
    return {};
}

QUrl LinuxDesktopPictureSource::xfcePicture(const QString& channelXml) {
    for (const auto& [property, value] : DesktopSettings::xfconfProperties(channelXml)) {
        if (property.endsWith(QLatin1String("/last-image")) ||
            property.endsWith(QLatin1String("/image-path"))) {
            if (const QUrl url = pictureUrlFromSetting(value); !url.isEmpty())
                return url;
        }
    }
    return {};
}

QUrl LinuxDesktopPictureSource::fromGnome() {
    const char* background = "org.gnome.desktop.background";
    // "none" is GNOME's way of showing a plain colour instead of the picture.
    if (DesktopSettings::gsettingsString(background, "picture-options") == QLatin1String("none"))
        return {};
    return gnomePicture(
        DesktopSettings::gsettingsString(background, "picture-uri"),
        DesktopSettings::gsettingsString(background, "picture-uri-dark"),
        DesktopSettings::gsettingsString("org.gnome.desktop.interface", "color-scheme"));
}

QUrl LinuxDesktopPictureSource::fromKde() {
    return kdePicture(
        DesktopSettings::configText(QStringLiteral("plasma-org.kde.plasma.desktop-appletsrc")));
}

QUrl LinuxDesktopPictureSource::fromXfce() {
    return xfcePicture(DesktopSettings::configText(
        QStringLiteral("xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml")));
}

QUrl LinuxDesktopPictureSource::desktopPictureUrl() const {
    for (const DesktopSettings::Desktop desktop : DesktopSettings::readingOrder()) {
        const QUrl url = desktop == DesktopSettings::Desktop::Gnome ? fromGnome()
                         : desktop == DesktopSettings::Desktop::Kde ? fromKde()
                                                                    : fromXfce();
        if (!url.isEmpty())
            return url;
    }
    return {};
}
