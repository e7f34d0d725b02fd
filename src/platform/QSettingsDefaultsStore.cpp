#include "QSettingsDefaultsStore.h"

QSettingsDefaultsStore::QSettingsDefaultsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorlin"),
                 QStringLiteral("Quorlin")) {}

QSettingsDefaultsStore::QSettingsDefaultsStore(const QString& fileName)
    : m_settings(fileName, QSettings::IniFormat) {}

QVariant QSettingsDefaultsStore::value(const QString& key) const {
    return m_settings.value(key);
}

bool QSettingsDefaultsStore::setValue(const QString& key, const QVariant& value) {
    m_settings.setValue(key, value);
    // sync() writes a temporary file and renames it, so a crash never leaves a
    // half-written settings file behind.
    m_settings.sync();
    // status() keeps the first error ever met, and a format error in the file as
    // it was read says nothing about this write.
    return m_settings.status() != QSettings::AccessError;
}
