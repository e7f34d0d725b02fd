#pragma once

#include "DefaultsStore.h"

#include <QSettings>

// The user's store: QSettings in its native format for organisation and
// application "Quorlin", i.e. $XDG_CONFIG_HOME/Quorlin/Quorlin.conf.
class QSettingsDefaultsStore final : public DefaultsStore {
public:
    QSettingsDefaultsStore();
    // A store over one explicit INI file, for tools and tests.
    explicit QSettingsDefaultsStore(const QString& fileName);

    [[nodiscard]] QVariant value(const QString& key) const override;
    bool setValue(const QString& key, const QVariant& value) override;

    [[nodiscard]] QString fileName() const { return m_settings.fileName(); }

private:
    mutable QSettings m_settings;
};
