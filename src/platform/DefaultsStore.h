#pragma once

#include <QString>
#include <QVariant>

// The per-user key-value store that keeps the launcher's settings. Values are
// opaque blobs under string keys; what a key holds when something else wrote it
// is whatever the backing store reads back.
class DefaultsStore {
public:
    virtual ~DefaultsStore() = default;

    // An invalid QVariant when the key is absent.
    [[nodiscard]] virtual QVariant value(const QString& key) const = 0;
    // Writes and flushes one key; false when the store could not be written.
    virtual bool setValue(const QString& key, const QVariant& value) = 0;
};
