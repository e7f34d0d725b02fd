// A desktop entry in an applications folder, read as the catalogue reads it
// (our bounded read, GLib's key file, then our own checks).
#include "DesktopEntrySource.h"
#include "FuzzInput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureApplication();
    static QTemporaryDir dir;
    static const bool made = QDir().mkpath(dir.filePath(QStringLiteral("applications/sub")));
    (void)made;
    const QList<QByteArray> parts = fuzzParts(data, size, 2);
    const QStringList paths{dir.filePath(QStringLiteral("applications/fuzz.desktop")),
                            dir.filePath(QStringLiteral("applications/sub/fuzz.desktop"))};
    for (qsizetype i = 0; i < paths.size(); ++i) {
        QFile file(paths.at(i));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(parts.at(i));
    }
    const std::atomic_bool cancelled(false);
    for (const DesktopEntryRecord& record :
         readDesktopEntries({dir.filePath(QStringLiteral("applications"))}, cancelled)) {
        if (record.name.isEmpty())
            __builtin_trap(); // an entry is shown only with a name
    }
    return 0;
}
