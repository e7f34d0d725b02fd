#pragma once

#include <QString>

#include <optional>

// One application bundle as read from disk, before any icon is decoded.
struct BundleRecord {
    QString path;
    QString name;
    QString bundleIdentifier;
    // Contents/Resources/<CFBundleIconFile>; empty when the bundle names no icon.
    QString iconPath;
};

// The display name of a bundle: its file name without the extension, whatever
// name the bundle declares for itself.
[[nodiscard]] QString bundleName(const QString& bundlePath);

// Reads Contents/Info.plist of the bundle at `bundlePath`; nothing when there is
// no readable property list or it holds no non-empty CFBundleIdentifier string.
[[nodiscard]] std::optional<BundleRecord> readBundle(const QString& bundlePath);
