#pragma once

#include "DefaultsStore.h"

#include <QHash>
#include <QList>
#include <QPair>

// An in-memory settings store that records every write, so tests can count saves
// and look at exactly what was stored, and can make writes fail on demand.
class RecordingDefaultsStore final : public DefaultsStore {
public:
    [[nodiscard]] QVariant value(const QString& key) const override { return values.value(key); }

    bool setValue(const QString& key, const QVariant& value) override {
        writes.append({key, value});
        if (failingKeys.contains(key))
            return false;
        values.insert(key, value);
        return true;
    }

    [[nodiscard]] qsizetype writeCount(const QString& key) const {
        return std::count_if(writes.cbegin(), writes.cend(),
                             [&key](const auto& write) { return write.first == key; });
    }

    QHash<QString, QVariant> values;
    QList<QPair<QString, QVariant>> writes;
    QStringList failingKeys;
};
