#pragma once

#include <QImage>
#include <QString>
#include <QUrl>

// One attempt to read the desktop picture: the line it reports and, when it
// succeeded, the picture. Every outcome reports exactly one line.
struct DesktopImageRead {
    QString message;
    QImage image;
};

// Reads and decodes the picture at `url` (empty when the desktop names none).
// Safe to call from any thread.
[[nodiscard]] DesktopImageRead readDesktopImage(const QUrl& url);

// A size component the way the report prints it: at least one fractional digit
// ("800.0"), no trailing zeros beyond that ("800.5").
[[nodiscard]] QString formatSizeComponent(double value);
