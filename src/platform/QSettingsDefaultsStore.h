#pragma once

#include "DefaultsStore.h"

#include <QHash>
#include <QSettings>

#include <memory>

// The user's store: an INI file in QSettings' format for organisation and
// application "Quorlin", i.e. $XDG_CONFIG_HOME/Quorlin/Quorlin.conf, so
// versions that wrote it with QSettings read it still.
//
// Values are read through QSettings, but a write replaces only the lines of
// the key it writes: QSettings would rewrite the whole file from its own parse
// and lose whatever it could not read (comments, damaged lines, other bytes a
// person put there). When a write would replace lines that QSettings would not
// write again byte for byte (a damaged or hand-edited value), the file is
// first copied, as it was, beside itself ("Quorlin.conf.orig", or ".orig.2",
// ... when older copies exist), so the user can recover those bytes.
class QSettingsDefaultsStore final : public DefaultsStore {
public:
    QSettingsDefaultsStore();
    // A store over one explicit INI file, for tools and tests.
    explicit QSettingsDefaultsStore(const QString& fileName);
    ~QSettingsDefaultsStore() override;

    [[nodiscard]] QVariant value(const QString& key) const override;
    bool setValue(const QString& key, const QVariant& value) override;

    [[nodiscard]] QString fileName() const { return m_fileName; }

private:
    bool keepOriginal(const QByteArray& original, const QString& key);

    QString m_fileName;
    std::unique_ptr<QSettings> m_settings;
    QHash<QString, QVariant> m_written;
    QByteArray m_firstRead;
    bool m_originalKept = false;
};
