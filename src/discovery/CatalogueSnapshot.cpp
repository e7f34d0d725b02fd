#include "CatalogueSnapshot.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

namespace {

constexpr char magic[8] = {'Q', 'R', 'L', 'N', 'C', 'A', 'T', '\n'};
// Bumped whenever the payload's layout or meaning changes: a file of another
// version is rebuilt, never read.
constexpr quint32 version = 1;
constexpr auto digestKind = QCryptographicHash::Md5;
constexpr qsizetype digestBytes = 16;
constexpr qsizetype headerBytes = sizeof magic + 4 + 4 + digestBytes;

// Far above any real catalogue; they keep a crafted count from reserving more
// than the file could ever describe.
constexpr quint32 maxTextBytes = 64 * 1024;
constexpr quint32 maxApps = 200'000;
constexpr quint32 maxStamps = 2'000'000;
constexpr quint32 maxListItems = 4096;

void writeText(QDataStream& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    out << quint32(utf8.size());
    out.writeRawData(utf8.constData(), int(utf8.size()));
}

void writeTexts(QDataStream& out, const QStringList& texts) {
    out << quint32(texts.size());
    for (const QString& text : texts)
        writeText(out, text);
}

// Reads what the QDataStream above wrote, straight from the bytes: a cold
// start waits for this, and a stream through a buffer is several times slower.
class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : m_bytes(bytes) {}

    [[nodiscard]] bool atEnd() const { return m_at == m_bytes.size(); }

    // A count of at most `max` items, each at least `minBytes` long in what is
    // left to read.
    bool count(quint32& n, quint32 max, qint64 minBytes) {
        return number(n) && n <= max && qint64(n) * minBytes <= left();
    }

    template <typename T> bool number(T& value) {
        if (left() < qint64(sizeof(T)))
            return false;
        value = qFromBigEndian<T>(m_bytes.data() + m_at);
        m_at += qsizetype(sizeof(T));
        return true;
    }

    bool flag(bool& value) {
        quint8 byte = 0;
        if (!number(byte))
            return false;
        value = byte != 0;
        return true;
    }

    bool text(QString& text) {
        quint32 n = 0;
        if (!count(n, maxTextBytes, 1))
            return false;
        text = QString::fromUtf8(m_bytes.data() + m_at, qsizetype(n));
        m_at += qsizetype(n);
        return true;
    }

    bool texts(QStringList& texts) {
        quint32 n = 0;
        if (!count(n, maxListItems, 4))
            return false;
        texts.reserve(n);
        for (quint32 i = 0; i < n; ++i) {
            if (!text(texts.emplace_back()))
                return false;
        }
        return true;
    }

private:
    [[nodiscard]] qint64 left() const { return m_bytes.size() - m_at; }

    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

bool readApp(Reader& in, AppItem& app) {
    quint32 actions = 0;
    if (!in.text(app.name) || !in.text(app.bundleIdentifier) || !in.text(app.path) ||
        !in.text(app.icon) || !in.text(app.searchName) || !in.texts(app.searchAliases) ||
        !in.flag(app.searchUnfoldedToo) || !in.count(actions, maxListItems, 12))
        return false;
    for (quint32 i = 0; i < actions; ++i) {
        DesktopAction& action = app.actions.emplace_back();
        if (!in.text(action.id) || !in.text(action.name) || !in.text(action.icon))
            return false;
    }
    return true;
}

std::optional<CatalogueSnapshot> readPayload(QByteArrayView payload) {
    Reader in(payload);
    CatalogueSnapshot snapshot;
    quint32 stamps = 0;
    if (!in.texts(snapshot.context) || !in.count(stamps, maxStamps, 28))
        return std::nullopt;
    snapshot.stamps.reserve(stamps);
    for (quint32 i = 0; i < stamps; ++i) {
        FileStamp& stamp = snapshot.stamps.emplace_back();
        if (!in.text(stamp.path) || !in.number(stamp.mtimeNs) || !in.number(stamp.size) ||
            !in.number(stamp.inode))
            return std::nullopt;
    }
    quint32 apps = 0;
    if (!in.count(apps, maxApps, 29))
        return std::nullopt;
    snapshot.apps.reserve(apps);
    for (quint32 i = 0; i < apps; ++i) {
        if (!readApp(in, snapshot.apps.emplace_back()))
            return std::nullopt;
    }
    if (!in.atEnd())
        return std::nullopt;
    return snapshot;
}

} // namespace

QByteArray CatalogueSnapshot::encode() const {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    writeTexts(out, context);
    out << quint32(stamps.size());
    for (const FileStamp& stamp : stamps) {
        writeText(out, stamp.path);
        out << stamp.mtimeNs << stamp.size << stamp.inode;
    }
    out << quint32(apps.size());
    for (const AppItem& app : apps) {
        for (const QString* text :
             {&app.name, &app.bundleIdentifier, &app.path, &app.icon, &app.searchName})
            writeText(out, *text);
        writeTexts(out, app.searchAliases);
        out << app.searchUnfoldedToo << quint32(app.actions.size());
        for (const DesktopAction& action : app.actions) {
            for (const QString* text : {&action.id, &action.name, &action.icon})
                writeText(out, *text);
        }
    }
    return seal(payload);
}

QByteArray CatalogueSnapshot::seal(const QByteArray& payload) {
    QByteArray bytes(magic, sizeof magic);
    uchar numbers[8];
    qToBigEndian<quint32>(version, numbers);
    qToBigEndian<quint32>(quint32(payload.size()), numbers + 4);
    bytes.append(reinterpret_cast<const char*>(numbers), sizeof numbers);
    bytes += QCryptographicHash::hash(payload, digestKind);
    return bytes + payload;
}

std::optional<CatalogueSnapshot> CatalogueSnapshot::decode(const QByteArray& bytes, QString* why) {
    const auto fail = [why](const char* reason) {
        if (why != nullptr)
            *why = QString::fromLatin1(reason);
        return std::nullopt;
    };
    if (bytes.size() < headerBytes || !bytes.startsWith(QByteArrayView(magic, sizeof magic)))
        return fail("not a catalogue cache");
    const auto* numbers = reinterpret_cast<const uchar*>(bytes.constData()) + sizeof magic;
    if (qFromBigEndian<quint32>(numbers) != version)
        return fail("written by another version");
    const QByteArrayView payload = QByteArrayView(bytes).sliced(headerBytes);
    if (qFromBigEndian<quint32>(numbers + 4) != quint64(payload.size()))
        return fail("truncated");
    if (QCryptographicHash::hash(payload, digestKind) !=
        QByteArrayView(bytes).sliced(headerBytes - digestBytes, digestBytes))
        return fail("damaged");
    std::optional<CatalogueSnapshot> snapshot = readPayload(payload);
    if (!snapshot)
        return fail("malformed");
    return snapshot;
}
