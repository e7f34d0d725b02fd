#include "IconDecoding.h"

#include "BoundedFileRead.h"
#include "ImageFormat.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Real icon files stay well below this; it bounds what one bad file can cost.
constexpr qint64 maxIconFileBytes = 32 * 1024 * 1024;
// The largest source picture worth decoding for an icon.
constexpr int maxSourcePixels = 4096;

const QString genericIconResource =
    QStringLiteral(":/Quorlin/discovery/icons/application-generic.svg");

QImage fitIntoSquare(const QImage& image, int pixels) {
    if (image.isNull())
        return {};
    QImage scaled =
        image.size() == QSize(pixels, pixels)
            ? image
            : image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled = scaled.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (scaled.size() == QSize(pixels, pixels))
        return scaled;
    QImage square(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((pixels - scaled.width()) / 2, (pixels - scaled.height()) / 2, scaled);
    painter.end();
    return square;
}

QImage readImage(const QByteArray& data, const QByteArray& formatHint, int pixels) {
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (formatHint.isEmpty())
        reader.setDecideFormatFromContent(true);
    readAsFormat(reader, formatHint);
    const QSize size = reader.size();
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        // Vector formats (and JPEG) decode straight at the target size, so a
        // large declared size costs nothing.
        if (size.isValid() && !size.isEmpty())
            reader.setScaledSize(size.scaled(pixels, pixels, Qt::KeepAspectRatio));
    } else if (size.width() > maxSourcePixels || size.height() > maxSourcePixels) {
        return {};
    }
    return fitIntoSquare(reader.read(), pixels);
}

struct IcnsEntry {
    std::array<char, 4> type{};
    int pixels = 0;
    QByteArray payload;
};

struct IcnsType {
    std::array<char, 4> type;
    int pixels;
    // The separate 8-bit mask that old run-length entries come with.
    std::array<char, 4> mask;
};

constexpr std::array<IcnsType, 15> knownTypes{{
    {{'i', 's', '3', '2'}, 16, {'s', '8', 'm', 'k'}},
    {{'i', 'l', '3', '2'}, 32, {'l', '8', 'm', 'k'}},
    {{'i', 'h', '3', '2'}, 48, {'h', '8', 'm', 'k'}},
    {{'i', 't', '3', '2'}, 128, {'t', '8', 'm', 'k'}},
    {{'i', 'c', 'p', '4'}, 16, {}},
    {{'i', 'c', 'p', '5'}, 32, {}},
    {{'i', 'c', 'p', '6'}, 64, {}},
    {{'i', 'c', '0', '7'}, 128, {}},
    {{'i', 'c', '0', '8'}, 256, {}},
    {{'i', 'c', '0', '9'}, 512, {}},
    {{'i', 'c', '1', '0'}, 1024, {}},
    {{'i', 'c', '1', '1'}, 32, {}},
    {{'i', 'c', '1', '2'}, 64, {}},
    {{'i', 'c', '1', '3'}, 256, {}},
    {{'i', 'c', '1', '4'}, 512, {}},
}};

const IcnsType* knownType(const std::array<char, 4>& type) {
    const auto found = std::find_if(knownTypes.begin(), knownTypes.end(),
                                    [&type](const IcnsType& known) { return known.type == type; });
    return found == knownTypes.end() ? nullptr : &*found;
}

// The table of contents; stops at the first entry whose length does not fit.
std::vector<IcnsEntry> icnsEntries(const QByteArray& data) {
    std::vector<IcnsEntry> entries;
    if (data.size() < 8 || !data.startsWith("icns"))
        return entries;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype end = std::min<qsizetype>(data.size(), qFromBigEndian<quint32>(bytes + 4));
    qsizetype offset = 8;
    while (offset + 8 <= end) {
        const quint32 length = qFromBigEndian<quint32>(bytes + offset + 4);
        if (length < 8 || length > quint32(end - offset))
            break;
        IcnsEntry entry;
        std::copy_n(data.constData() + offset, 4, entry.type.begin());
        if (const IcnsType* known = knownType(entry.type))
            entry.pixels = known->pixels;
        entry.payload = data.mid(offset + 8, length - 8);
        entries.push_back(std::move(entry));
        offset += length;
    }
    return entries;
}

// Width and height declared by a PNG payload, checked before anything decodes it.
bool pngIsTooLarge(const QByteArray& payload) {
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (!payload.startsWith(signature) || payload.size() < 24)
        return false;
    const auto* bytes = reinterpret_cast<const uchar*>(payload.constData());
    return qFromBigEndian<quint32>(bytes + 16) > quint32(maxSourcePixels) ||
           qFromBigEndian<quint32>(bytes + 20) > quint32(maxSourcePixels);
}

void appendEntry(QByteArray& icns, const IcnsEntry& entry) {
    icns.append(entry.type.data(), 4);
    std::array<uchar, 4> length{};
    qToBigEndian<quint32>(quint32(entry.payload.size() + 8), length.data());
    icns.append(reinterpret_cast<const char*>(length.data()), 4);
    icns.append(entry.payload);
}

// A one-picture ICNS file holding `entry` (and its mask), which Qt decodes alone.
QByteArray singleEntryIcns(const IcnsEntry& entry, const std::vector<IcnsEntry>& all) {
    QByteArray icns("icns\0\0\0\0", 8);
    appendEntry(icns, entry);
    const IcnsType* known = knownType(entry.type);
    if (known != nullptr && known->mask != std::array<char, 4>{}) {
        const auto mask = std::find_if(all.begin(), all.end(), [known](const IcnsEntry& candidate) {
            return candidate.type == known->mask;
        });
        if (mask != all.end())
            appendEntry(icns, *mask);
    }
    std::array<uchar, 4> length{};
    qToBigEndian<quint32>(quint32(icns.size()), length.data());
    icns.replace(4, 4, reinterpret_cast<const char*>(length.data()), 4);
    return icns;
}

} // namespace

QImage decodeIcns(const QByteArray& data, int pixels) {
    const std::vector<IcnsEntry> all = icnsEntries(data);
    std::vector<IcnsEntry> entries = all;
    std::erase_if(entries, [](const IcnsEntry& entry) { return entry.pixels == 0; });
    // Smallest picture at least as large as the target first, then the larger
    // ones, then the smaller ones from the largest down.
    std::stable_sort(entries.begin(), entries.end(),
                     [pixels](const IcnsEntry& a, const IcnsEntry& b) {
                         const bool aLarge = a.pixels >= pixels;
                         const bool bLarge = b.pixels >= pixels;
                         if (aLarge != bLarge)
                             return aLarge;
                         return aLarge ? a.pixels < b.pixels : a.pixels > b.pixels;
                     });
    for (const IcnsEntry& entry : entries) {
        if (pngIsTooLarge(entry.payload))
            continue;
        QImage image = readImage(singleEntryIcns(entry, all), "icns", pixels);
        if (!image.isNull())
            return image;
    }
    return {};
}

QImage decodeIconFile(const QString& path, int pixels) {
    if (pixels <= 0 || pixels > maxSourcePixels)
        return {};
    const std::optional<QByteArray> data = readBoundedFile(path, maxIconFileBytes);
    if (!data || data->isEmpty())
        return {};
    if (data->startsWith("icns"))
        return decodeIcns(*data, pixels);
    if (pngIsTooLarge(*data))
        return {};
    return readImage(*data, imageFormatOf(*data), pixels);
}

QImage roundedCorners(const QImage& image, qreal corner) {
    if (!(corner > 0) || image.isNull())
        return image;
    QImage rounded(image.size(), QImage::Format_ARGB32_Premultiplied);
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    const qreal radius = std::min(corner, 0.5) * std::min(image.width(), image.height());
    clip.addRoundedRect(QRectF(rounded.rect()), radius, radius);
    painter.setClipPath(clip);
    painter.drawImage(0, 0, image);
    painter.end();
    // A picture that has been painted on keeps its paint engine, and the
    // engine its buffers, a few kilobytes, for as long as the picture lives.
    // Icons live on screen and in the cache: a copy leaves them behind.
    return rounded.copy();
}

QImage genericAppIcon(int pixels) {
    if (pixels <= 0)
        return {};
    const auto render = [](int size) {
        QImageReader reader(genericIconResource);
        readAsFormat(reader, "svg");
        reader.setScaledSize(QSize(size, size));
        QImage image = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            // The resource always renders; this keeps the contract if it ever does not.
            image = QImage(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::gray);
        }
        return image;
    };
    if (pixels == appIconPixels) {
        // Rendered once and shared by every entry that needs it.
        static const QImage standard = render(appIconPixels);
        return standard;
    }
    return render(std::min(pixels, maxSourcePixels));
}
