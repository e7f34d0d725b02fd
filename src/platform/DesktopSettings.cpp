// GLib's headers must come before Qt's: they use identifiers Qt defines as macros.
#include <gio/gio.h>

#include "DesktopSettings.h"

#include "BoundedFileRead.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QXmlStreamReader>

namespace {

// Desktop configuration files are small; a huge one is not worth reading whole.
constexpr qint64 maxConfigSize = 8 * 1024 * 1024;

QString configPath(const QString& relative) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + relative;
}

// A FIFO would block the reader until someone writes to it, and a device or a
// huge file would cost memory: QSettings is given only a small regular file.
bool isSmallFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.size() <= maxConfigSize;
}

} // namespace

std::optional<DesktopSettings::Desktop> DesktopSettings::running() {
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper();
    if (desktop.contains(QLatin1String("KDE")))
        return Desktop::Kde;
    if (desktop.contains(QLatin1String("XFCE")))
        return Desktop::Xfce;
    if (desktop.contains(QLatin1String("GNOME")))
        return Desktop::Gnome;
    return std::nullopt;
}

QList<DesktopSettings::Desktop> DesktopSettings::readingOrder() {
    QList<Desktop> order{Desktop::Gnome, Desktop::Kde, Desktop::Xfce};
    if (const std::optional<Desktop> desktop = running()) {
        order.removeOne(*desktop);
        order.prepend(*desktop);
    }
    return order;
}

QString DesktopSettings::gsettingsString(const char* schemaId, const char* key, bool userSetOnly) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr)
        return {};
    // g_settings_new would abort the process on a schema that is not installed,
    // and reading a key the schema lacks aborts it too.
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (schema == nullptr)
        return {};
    QString text;
    if (g_settings_schema_has_key(schema, key)) {
        GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
        GVariant* value = userSetOnly ? g_settings_get_user_value(settings, key)
                                      : g_settings_get_value(settings, key);
        if (value != nullptr && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
            text = QString::fromUtf8(g_variant_get_string(value, nullptr));
        if (value != nullptr)
            g_variant_unref(value);
        g_object_unref(settings);
    }
    g_settings_schema_unref(schema);
    return text;
}

QString DesktopSettings::configText(const QString& relative) {
    // Opened without blocking: a file swapped for a FIFO after a check would still block.
    return QString::fromUtf8(
        readBoundedFile(configPath(relative), maxConfigSize).value_or(QByteArray()));
}

QString DesktopSettings::configValue(const QString& relative, const QString& group,
                                     const QString& key) {
    const QString path = configPath(relative);
    if (!isSmallFile(path))
        return {};
    // Not GKeyFile: Plasma writes keys such as "Recent URLs[$e]", for which
    // GKeyFile refuses the whole file.
    const QSettings settings(path, QSettings::IniFormat);
    return settings.value(group + QLatin1Char('/') + key).toString().trimmed();
}

QList<std::pair<QString, QString>> DesktopSettings::xfconfProperties(const QString& channelXml) {
    QList<std::pair<QString, QString>> properties;
    // Properties nest: a property's path is its ancestors' names and its own.
    QStringList path;
    QXmlStreamReader xml(channelXml);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (xml.name() != QLatin1String("property"))
            continue;
        if (token == QXmlStreamReader::EndElement && !path.isEmpty())
            path.removeLast();
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        path.append(attributes.value(QLatin1String("name")).toString());
        if (attributes.hasAttribute(QLatin1String("value")))
            properties.append({QLatin1Char('/') + path.join(QLatin1Char('/')),
                               attributes.value(QLatin1String("value")).toString()});
    }
    return properties;
}

QString DesktopSettings::iconThemeName() {
    const std::optional<Desktop> desktop = running();
    for (const Desktop source : readingOrder()) {
        QString name;
        if (source == Desktop::Gnome) {
            // Outside GNOME the schema's default is nobody's choice: GTK programs
            // there follow settings.ini unless the user set the key.
            name = gsettingsString("org.gnome.desktop.interface", "icon-theme",
                                   desktop != Desktop::Gnome);
            for (const char* gtk : {"gtk-3.0/settings.ini", "gtk-4.0/settings.ini"}) {
                if (name.isEmpty())
                    name = configValue(QLatin1String(gtk), QStringLiteral("Settings"),
                                       QStringLiteral("gtk-icon-theme-name"));
            }
        } else if (source == Desktop::Kde) {
            name = configValue(QStringLiteral("kdeglobals"), QStringLiteral("Icons"),
                               QStringLiteral("Theme"));
        } else {
            const QString channel =
                configText(QStringLiteral("xfce4/xfconf/xfce-perchannel-xml/xsettings.xml"));
            for (const auto& [property, value] : xfconfProperties(channel)) {
                if (property == QLatin1String("/Net/IconThemeName") && name.isEmpty())
                    name = value.trimmed();
            }
        }
        if (!name.isEmpty())
            return name;
    }
    // Plasma writes its theme only once the user picks another than breeze.
    return desktop == Desktop::Kde ? QStringLiteral("breeze") : QString();
}
