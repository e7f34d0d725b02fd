#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>

#include <cstddef>
#include <cstdint>

// Qt's image plugins and QSettings want an application object; one is made
// once per fuzzing process.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

inline QByteArray fuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The input cut at each NUL byte into at most `parts` pieces, so one input can
// feed several readers.
inline QList<QByteArray> fuzzParts(const uint8_t* data, size_t size, int parts) {
    QList<QByteArray> pieces = fuzzBytes(data, size).split('\0');
    while (pieces.size() < parts)
        pieces.append(QByteArray());
    return pieces.first(parts);
}
