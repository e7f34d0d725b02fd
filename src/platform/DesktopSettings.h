#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <utility>

// What the user chose in their desktop's own settings, read where each desktop
// keeps it: GNOME in GSettings (GTK programs elsewhere in GTK's settings.ini),
// KDE Plasma in its ini files, Xfce in its xfconf channel files. Only small
// files and local settings are read, so this is cheap on any thread.
class DesktopSettings {
public:
    enum class Desktop { Gnome, Kde, Xfce };

    // The desktop XDG_CURRENT_DESKTOP names, if it is one of the three.
    [[nodiscard]] static std::optional<Desktop> running();
    // The running desktop first, then the others; GNOME first when none is known.
    [[nodiscard]] static QList<Desktop> readingOrder();

    // A string key of the installed schema `schemaId`; empty when the schema or
    // the key is missing. With `userSetOnly`, a value the user never set is empty.
    [[nodiscard]] static QString gsettingsString(const char* schemaId, const char* key,
                                                 bool userSetOnly = false);
    // A small regular file under the user's configuration folder; empty otherwise.
    [[nodiscard]] static QString configText(const QString& relative);
    // `key` of `group` of an ini file under the configuration folder.
    [[nodiscard]] static QString configValue(const QString& relative, const QString& group,
                                             const QString& key);
    // Every property that has a value in an xfconf channel file, by its path
    // ("/Net/IconThemeName"), in file order.
    [[nodiscard]] static QList<std::pair<QString, QString>>
    xfconfProperties(const QString& channelXml);

    // The icon theme the user's desktop shows; empty when none is set.
    [[nodiscard]] static QString iconThemeName();
};
