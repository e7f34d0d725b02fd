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
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

inline QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

inline QImage solid(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
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

    void mkdir(const QString& relative) const { QVERIFY(QDir().mkpath(path(relative))); }

    void write(const QString& relative, const QByteArray& data) const {
        QVERIFY(QDir().mkpath(QFileInfo(path(relative)).path()));
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(data), data.size());
    }

    void symlink(const QString& target, const QString& relativeLink) const {
        QVERIFY(QDir().mkpath(QFileInfo(path(relativeLink)).path()));
        QVERIFY(::symlink(QFile::encodeName(target).constData(),
                          QFile::encodeName(path(relativeLink)).constData()) == 0);
    }

    void fifo(const QString& relative) const {
        QVERIFY(QDir().mkpath(QFileInfo(path(relative)).path()));
        QVERIFY(::mkfifo(QFile::encodeName(path(relative)).constData(), 0644) == 0);
    }

    // An application bundle with a Contents/Info.plist holding `identifier` (no
    // key at all when empty) and, when given, an icon in Contents/Resources.
    void bundle(const QString& relative, const QString& identifier,
                PlistFormat format = PlistFormat::Xml, const QByteArray& icon = {},
                const QString& iconKey = QStringLiteral("AppIcon")) const {
        QMap<QString, QString> keys{{QStringLiteral("CFBundleName"), QStringLiteral("Declared")}};
        if (!identifier.isEmpty())
            keys.insert(QStringLiteral("CFBundleIdentifier"), identifier);
        if (!icon.isEmpty())
            keys.insert(QStringLiteral("CFBundleIconFile"), iconKey);
        write(relative + QStringLiteral("/Contents/Info.plist"), plist(keys, format));
        write(relative + QStringLiteral("/Contents/MacOS/run"), "#!/bin/sh\n");
        if (!icon.isEmpty()) {
            const QString file = iconKey.endsWith(QStringLiteral(".icns"))
                                     ? iconKey
                                     : iconKey + QStringLiteral(".icns");
            write(relative + QStringLiteral("/Contents/Resources/") + file, icon);
        }
    }

    void desktopEntry(const QString& relative, const QString& body) const {
        write(relative, body.toUtf8());
    }

private:
    QTemporaryDir m_dir;
};

// Root reads every file whatever its mode. Tests of unreadable files drop the
// capabilities that allow this from the calling thread for their lifetime.
class WithoutFileOverride {
public:
    WithoutFileOverride() {
        if (::geteuid() != 0)
            return;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        const quint32 mask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        reduced[0].effective &= ~mask;
        m_active = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (m_active)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
};

} // namespace fixture
