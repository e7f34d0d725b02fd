// The stored arrangement: the three values as AppSettings decodes them, and a
// settings file as the store reads and rewrites it.
#include "AppSettings.h"
#include "DefaultsStore.h"
#include "FuzzInput.h"
#include "QSettingsDefaultsStore.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

namespace {

class MemoryStore final : public DefaultsStore {
public:
    [[nodiscard]] QVariant value(const QString& key) const override { return values.value(key); }
    bool setValue(const QString& key, const QVariant& value) override {
        values.insert(key, value);
        return true;
    }
    QHash<QString, QVariant> values;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureApplication();
    const QList<QByteArray> parts = fuzzParts(data, size, 4);
    MemoryStore memory;
    memory.values.insert(AppSettings::customAppOrderKey, parts.at(0));
    memory.values.insert(AppSettings::hiddenAppsKey, parts.at(1));
    memory.values.insert(AppSettings::foldersKey, parts.at(2));
    {
        AppSettings settings(memory);
        for (const FolderItem& folder : settings.folders())
            (void)settings.isAppInFolder(folder.appBundleIds.value(0));
        settings.hideApp(QStringLiteral("org.fuzz"));
        // The value that could not be read is kept aside, never dropped.
        if (!memory.values.contains(AppSettings::hiddenAppsKey))
            __builtin_trap();
    }

    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorlin.conf"));
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".orig"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(parts.at(3));
    file.close();
    QSettingsDefaultsStore store(path);
    AppSettings settings(store);
    settings.setCustomAppOrder({QStringLiteral("org.fuzz")});
    return 0;
}
