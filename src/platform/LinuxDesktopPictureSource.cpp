// GLib's headers must come before Qt's: they use identifiers Qt defines as macros.
#include <gio/gio.h>

#include "LinuxDesktopPictureSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <functional>

namespace {

// Desktop configuration files are small; a huge one is not worth reading whole.
constexpr qint64 maxConfigSize = 8 * 1024 * 1024;

QString readConfigFile(const QString& path) {
    QFile file(path);
    if (file.size() > maxConfigSize || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString configPath(const QString& relative) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + relative;
}

QString gsettingsString(GSettingsSchema* schema, GSettings* settings, const char* key) {
    if (!g_settings_schema_has_key(schema, key))
        return {};
    GVariant* value = g_settings_get_value(settings, key);
    QString text;
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
        text = QString::fromUtf8(g_variant_get_string(value, nullptr));
    g_variant_unref(value);
    return text;
}

// Runs `read` over the installed schema `id`, or answers an empty string when it
// is not installed (g_settings_new would abort the process on a missing schema).
QString withSchema(const char* id,
                   const std::function<QString(GSettingsSchema*, GSettings*)>& read) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr)
        return {};
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, id, TRUE);
    if (schema == nullptr)
        return {};
    GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
    const QString result = read(schema, settings);
    g_object_unref(settings);
    g_settings_schema_unref(schema);
    return result;
}

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
    QXmlStreamReader xml(channelXml);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.name() != QLatin1String("property"))
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto name = attributes.value(QLatin1String("name"));
        if (name == QLatin1String("last-image") || name == QLatin1String("image-path")) {
            const QUrl url =
                pictureUrlFromSetting(attributes.value(QLatin1String("value")).toString());
            if (!url.isEmpty())
                return url;
        }
    }
    return {};
}

QUrl LinuxDesktopPictureSource::fromGnome() {
    const QString colorScheme =
        withSchema("org.gnome.desktop.interface", [](GSettingsSchema* schema, GSettings* settings) {
            return gsettingsString(schema, settings, "color-scheme");
        });
    QString light;
    QString dark;
    QString options;
    withSchema("org.gnome.desktop.background", [&](GSettingsSchema* schema, GSettings* settings) {
        light = gsettingsString(schema, settings, "picture-uri");
        dark = gsettingsString(schema, settings, "picture-uri-dark");
        options = gsettingsString(schema, settings, "picture-options");
        return QString();
    });
    // "none" is GNOME's way of showing a plain colour instead of the picture.
    if (options == QLatin1String("none"))
        return {};
    return gnomePicture(light, dark, colorScheme);
}

QUrl LinuxDesktopPictureSource::fromKde() {
    return kdePicture(
        readConfigFile(configPath(QStringLiteral("plasma-org.kde.plasma.desktop-appletsrc"))));
}

QUrl LinuxDesktopPictureSource::fromXfce() {
    return xfcePicture(readConfigFile(
        configPath(QStringLiteral("xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml"))));
}

QUrl LinuxDesktopPictureSource::desktopPictureUrl() const {
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper();
    using Reader = QUrl (*)();
    QList<Reader> order{&fromGnome, &fromKde, &fromXfce};
    if (desktop.contains(QLatin1String("KDE")))
        order = {&fromKde, &fromGnome, &fromXfce};
    else if (desktop.contains(QLatin1String("XFCE")))
        order = {&fromXfce, &fromGnome, &fromKde};
    for (Reader read : order) {
        if (const QUrl url = read(); !url.isEmpty())
            return url;
    }
    return {};
}
