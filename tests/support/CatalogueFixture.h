#pragma once

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest/QTest>

#include <plist/plist.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

// Builders for catalogue trees on disk: application bundles, property lists,
// ICNS icons and desktop entries, all inside one temporary folder.
namespace fixture {

enum class PlistFormat { Xml, Binary };

// A property list dictionary of string values in the given encoding.
inline QByteArray plist(const QMap<QString, QString>& strings,
                        PlistFormat format = PlistFormat::Xml) {
    plist_t dict = plist_new_dict();
    for (auto it = strings.cbegin(); it != strings.cend(); ++it)
        plist_dict_set_item(dict, it.key().toUtf8().constData(),
                            plist_new_string(it.value().toUtf8().constData()));
    char* data = nullptr;
    uint32_t length = 0;
    if (format == PlistFormat::Xml)
        plist_to_xml(dict, &data, &length);
    else
        plist_to_bin(dict, &data, &length);
    QByteArray bytes(data, qsizetype(length));
    std::free(data);
    plist_free(dict);
    return bytes;
}

inline QByteArray png(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// An ICNS file from (type, payload) entries, in the order given.
inline QByteArray icns(const QList<QPair<QByteArray, QByteArray>>& entries) {
    QByteArray body;
    for (const auto& [type, payload] : entries) {
        body += type.left(4);
        uchar length[4];
        qToBigEndian<quint32>(quint32(payload.size() + 8), length);
        body.append(reinterpret_cast<const char*>(length), 4);
        body += payload;
    }
    uchar total[4];
    qToBigEndian<quint32>(quint32(body.size() + 8), total);
    return QByteArray("icns") + QByteArray(reinterpret_cast<const char*>(total), 4) + body;
}

// A tree of files under a fresh temporary folder.
class Tree {
public:
    Tree() { QVERIFY(m_dir.isValid()); }

    [[nodiscard]] QString root() const { return m_dir.path(); }
    [[nodiscard]] QString path(const QString& relative) const { return m_dir.filePath(relative); }

    void write(const QString& relative, const QByteArray& data) const {
        QFile file(QFile::decodeName(made(relative)));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(data), data.size());
    }

    // An application bundle with a Contents/Info.plist holding `identifier` (no
    // key at all when empty) and, when given, an icon in Contents/Resources.
    void bundle(const QString& relative, const QString& identifier,
                const QByteArray& icon = {}) const {
        QMap<QString, QString> keys{{QStringLiteral("CFBundleName"), QStringLiteral("Declared")}};
        if (!identifier.isEmpty())
            keys.insert(QStringLiteral("CFBundleIdentifier"), identifier);
        if (!icon.isEmpty()) {
            keys.insert(QStringLiteral("CFBundleIconFile"), QStringLiteral("AppIcon"));
            write(relative + QStringLiteral("/Contents/Resources/AppIcon.icns"), icon);
        }
        write(relative + QStringLiteral("/Contents/Info.plist"), plist(keys));
        write(relative + QStringLiteral("/Contents/MacOS/run"), "#!/bin/sh\n");
    }

    // Lays a tree out from one line per item: "path|content" a file,
    // "path:Key=Value&Key=Value" an application's desktop entry with those keys,
    // "path=identifier" a bundle, "path/" a folder, "path!" a FIFO with no writer,
    // "path->target" a symbolic link (target from the root unless it starts with
    // "." or "/"), and a bare path an empty file.
    void build(const QStringList& items) const {
        for (const QString& item : items) {
            const QString target = item.section(QStringLiteral("->"), 1);
            if (item.contains(u'|'))
                write(item.section(u'|', 0, 0), item.section(u'|', 1).toUtf8());
            else if (!target.isEmpty())
                QVERIFY(
                    ::symlink(QFile::encodeName(target.startsWith(u'.') || target.startsWith(u'/')
                                                    ? target
                                                    : path(target)),
                              made(item.section(QStringLiteral("->"), 0, 0))) == 0);
            else if (item.contains(u':'))
                write(item.section(u':', 0, 0),
                      "[Desktop Entry]\nType=Application\nExec=true\n" +
                          item.section(u':', 1).replace(u'&', u'\n').toUtf8());
            else if (item.contains(u'='))
                bundle(item.section(u'=', 0, 0), item.section(u'=', 1));
            else if (item.endsWith(u'/'))
                QVERIFY(QDir().mkpath(path(item)));
            else if (item.endsWith(u'!'))
                QVERIFY(::mkfifo(made(item.chopped(1)), 0644) == 0);
            else
                write(item, {});
        }
    }

private:
    // The path to hand the system for `relative`, its folder made.
    [[nodiscard]] QByteArray made(const QString& relative) const {
        QDir().mkpath(QFileInfo(path(relative)).path());
        return QFile::encodeName(path(relative));
    }

    QTemporaryDir m_dir;
};

} // namespace fixture
