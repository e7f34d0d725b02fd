#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Every application icon is held at this size, in pixels, whatever its source.
inline constexpr int appIconPixels = 128;

// An icon file (ICNS, PNG, SVG, SVGZ, XPM or any format Qt reads) decoded and
// fitted into a transparent appIconPixels square; a null image when the file is
// missing, unreadable, corrupt or implausibly large. Safe on any thread.
[[nodiscard]] QImage decodeIconFile(const QString& path);

// The same for ICNS data already in memory: the entry closest to (and not
// smaller than) appIconPixels is the only one decoded.
[[nodiscard]] QImage decodeIcns(const QByteArray& data);

// Our own picture of "an application", for entries without a usable icon, at
// `pixels` square. Safe on any thread.
[[nodiscard]] QImage genericAppIcon(int pixels = appIconPixels);
