#pragma once

#include <QByteArray>

class QImageReader;

// The Qt image format name of `data` for the formats icons and desktop
// pictures come in (PNG, JPEG, XPM, SVG, gzip-compressed SVG), told from their
// first bytes; empty for anything else.
[[nodiscard]] QByteArray imageFormatOf(const QByteArray& data);

// Has `reader` use the reader for `format` alone, when one is named. Left to
// guess, QImageReader loads every image plugin installed (TIFF, WebP, MNG and
// their libraries) to ask each whether it reads the data before it tries its
// own PNG reader, even for a file named ".png": milliseconds and more than a
// megabyte resident for the PNG and SVG pictures the launcher shows.
void readAsFormat(QImageReader& reader, const QByteArray& format);
