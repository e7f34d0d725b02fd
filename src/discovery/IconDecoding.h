#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The size of an icon, in pixels, when whoever shows it does not say.
inline constexpr int appIconPixels = 128;

// An icon file (ICNS, PNG, SVG, SVGZ, XPM or any format Qt reads) decoded and
// fitted into a transparent square of `pixels`; a null image when the file is
// missing, unreadable, corrupt or implausibly large. Safe on any thread.
[[nodiscard]] QImage decodeIconFile(const QString& path, int pixels = appIconPixels);

// The same for ICNS data already in memory: the entry closest to (and not
// smaller than) `pixels` is the only one decoded.
[[nodiscard]] QImage decodeIcns(const QByteArray& data, int pixels = appIconPixels);

// `image` with its corners cut round, to a radius of `corner` times its shorter
// side (at most half of it), and clear outside them; `image` itself unless
// `corner` is positive.
[[nodiscard]] QImage roundedCorners(const QImage& image, qreal corner);

// Our own picture of "an application", for entries without a usable icon, at
// `pixels` square. Safe on any thread.
[[nodiscard]] QImage genericAppIcon(int pixels = appIconPixels);
