#include "QSettingsDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

QString userFileName() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorlin"),
                     QStringLiteral("Quorlin"))
        .fileName();
}

// Files that are not there, or cannot be read, read as empty.
QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isSectionLine(QByteArrayView line) {
    return line.trimmed().startsWith('[');
}

bool isKeyLine(QByteArrayView line, QByteArrayView key) {
    const QByteArrayView trimmed = line.trimmed();
    if (!trimmed.startsWith(key))
        return false;
    return trimmed.sliced(key.size()).trimmed().startsWith('=');
}

// The line QSettings writes for `key` holding `value`; empty for no value.
QByteArray lineFor(const QString& key, const QVariant& value) {
    if (!value.isValid())
        return {};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.conf"));
    QSettings(path, QSettings::IniFormat).setValue(key, value);
    const QList<QByteArray> lines = contents(path).split('\n');
    const auto found = std::find_if(lines.cbegin(), lines.cend(), [&](const QByteArray& line) {
        return isKeyLine(line, key.toUtf8());
    });
    return found != lines.cend() ? *found : QByteArray();
}

// Calls `visit` with each line among the top-level ("General") keys.
template <typename Visit> void forEachGeneralLine(const QByteArray& file, Visit visit) {
    bool inGeneral = true;
    for (const QByteArray& line : file.split('\n')) {
        if (isSectionLine(line))
            inGeneral = line.trimmed() == "[General]";
        else if (inGeneral)
            visit(line);
    }
}

// `file` with every line of `key` among the top-level ("General") keys
// replaced by `line`, or `line` added to them; every other byte stays.
QByteArray withKeyLine(const QByteArray& file, QByteArrayView key, const QByteArray& line) {
    QList<QByteArray> lines = file.split('\n');
    if (!file.isEmpty() && file.endsWith('\n'))
        lines.removeLast();
    bool inGeneral = true;
    qsizetype generalEnd = -1;
    bool replaced = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isSectionLine(lines.at(i))) {
            if (inGeneral && generalEnd < 0)
                generalEnd = i;
            inGeneral = lines.at(i).trimmed() == "[General]";
            if (inGeneral)
                generalEnd = -1;
            continue;
        }
        if (!inGeneral || !isKeyLine(lines.at(i), key))
            continue;
        if (replaced) {
            lines.removeAt(i--);
        } else {
            lines[i] = line;
            replaced = true;
        }
    }
    if (!replaced) {
        if (!file.contains("[General]")) {
            lines.prepend(QByteArray());
            lines.prepend(line);
            lines.prepend("[General]");
        } else {
            lines.insert(generalEnd < 0 ? lines.size() : generalEnd, line);
        }
    }
    return lines.join('\n') + '\n';
}

} // namespace

QSettingsDefaultsStore::QSettingsDefaultsStore()
    : QSettingsDefaultsStore(userFileName()) {}

QSettingsDefaultsStore::QSettingsDefaultsStore(const QString& fileName)
    : m_fileName(fileName)
    , m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
    , m_firstRead(contents(fileName)) {}

QSettingsDefaultsStore::~QSettingsDefaultsStore() = default;

QVariant QSettingsDefaultsStore::value(const QString& key) const {
    // What this store wrote is known; QSettings keeps a parse of the file per
    // path and may not notice a rewrite within the same millisecond.
    const auto written = m_written.constFind(key);
    return written != m_written.cend() ? written.value() : m_settings->value(key);
}

bool QSettingsDefaultsStore::keepOriginal(const QByteArray& original, const QString& key) {
    // The write replaces the key's lines; they are lost unless QSettings
    // would write them again byte for byte from what it read. Lines this
    // store wrote are such lines, so only a key's first save looks.
    if (m_originalKept || m_written.contains(key))
        return true;
    const QByteArray name = key.toUtf8();
    const QByteArray reproduced = lineFor(key, value(key));
    bool losing = false;
    forEachGeneralLine(original, [&](const QByteArray& line) {
        losing = losing || (isKeyLine(line, name) && line != reproduced);
    });
    if (!losing)
        return true;
    // Lines this store replaced were ones it can write again, so the file as
    // it was first read holds every byte a person could want back.
    QString copy = m_fileName + QStringLiteral(".orig");
    for (int n = 2; QFileInfo::exists(copy); ++n)
        copy = m_fileName + QStringLiteral(".orig.") + QString::number(n);
    QSaveFile out(copy);
    m_originalKept = out.open(QIODevice::WriteOnly) &&
                     out.write(m_firstRead) == m_firstRead.size() && out.commit();
    return m_originalKept;
}

bool QSettingsDefaultsStore::setValue(const QString& key, const QVariant& value) {
    const QByteArray original = contents(m_fileName);
    // Nothing is written while what was there cannot be kept.
    if (!keepOriginal(original, key))
        return false;
    const QByteArray line = lineFor(key, value);
    if (line.isEmpty() || !QDir().mkpath(QFileInfo(m_fileName).absolutePath()))
        return false;
    // A temporary file, flushed to disk and renamed over the old one: a crash
    // at any moment leaves either the old file or the new one.
    QSaveFile out(m_fileName);
    const QByteArray updated = withKeyLine(original, key.toUtf8(), line);
    if (!out.open(QIODevice::WriteOnly) || out.write(updated) != updated.size() || !out.commit())
        return false;
    m_written.insert(key, value);
    return true;
}
