// Icon files of bundles and themes: ICNS read by our own table reader, other
// formats by Qt's plugins behind our size checks.
#include "FuzzInput.h"
#include "IconDecoding.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureApplication();
    const QByteArray bytes = fuzzBytes(data, size);
    const QImage icns = decodeIcns(bytes);
    if (!icns.isNull() && (icns.width() > 4096 || icns.height() > 4096))
        __builtin_trap();
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("icon"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
        file.close();
        (void)decodeIconFile(path);
    }
    return 0;
}
