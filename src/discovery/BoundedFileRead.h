#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The whole content of a regular file of at most `maxBytes`, or nothing. Anything
// else (a folder, a FIFO or device that would block, a file grown too large, an
// unreadable file) gives nothing, so a hostile catalogue cannot stall a scan or
// exhaust memory.
[[nodiscard]] std::optional<QByteArray> readBoundedFile(const QString& path, qint64 maxBytes);
