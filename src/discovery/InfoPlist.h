#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the scan needs from a bundle's Contents/Info.plist.
struct InfoPlist {
    // Empty when the key is absent or not a string.
    QString bundleIdentifier;
    QString iconFile;
    QString executable;

    // Reads an XML or binary property list; nothing when the data is not a
    // property list whose top level is a dictionary.
    [[nodiscard]] static std::optional<InfoPlist> parse(const QByteArray& data);
};
