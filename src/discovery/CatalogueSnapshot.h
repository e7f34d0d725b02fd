#pragma once

#include "AppItem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a catalogue file, folder or icon looked like when a scan read it: a
// later cold start trusts a stored catalogue only while every stamp matches.
struct FileStamp {
    QString path;
    // Nanoseconds since the epoch; missing files and files changed too recently
    // to tell a later change apart (racyMtime) carry markers that never match a
    // file present now.
    qint64 mtimeNs = 0;
    qint64 size = 0;
    quint64 inode = 0;

    static constexpr qint64 missingMtime = -1;
    static constexpr qint64 racyMtime = -2;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The raw result of one scan (before the hidden set and the manual order are
// applied, which come from the settings at each publication), with what it was
// read under: `context` names the folders, locale and desktop it was scanned
// for, `stamps` the files it depends on. Application ids are not kept.
struct CatalogueSnapshot {
    QStringList context;
    QList<FileStamp> stamps;
    AppList apps;

    // The bytes of a catalogue cache file.
    [[nodiscard]] QByteArray encode() const;
    // A cache file's bytes read back, or nothing with `why` set when they are not
    // whole, not of this version, or malformed. Every count and text is bounded,
    // so no input can make it allocate much more than its own size.
    [[nodiscard]] static std::optional<CatalogueSnapshot> decode(const QByteArray& bytes,
                                                                 QString* why = nullptr);
    // The file around `payload`: header, version, length and digest.
    [[nodiscard]] static QByteArray seal(const QByteArray& payload);
};
