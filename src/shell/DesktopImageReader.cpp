#include "DesktopImageReader.h"

#include "ImageFormat.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>

#include <cmath>

namespace {

// Larger than any real desktop picture; reading more would only exhaust memory.
constexpr qint64 maxPictureBytes = 512LL * 1024 * 1024;

QString readError(const QUrl& url, QByteArray* data) {
    if (!url.isLocalFile())
        return QStringLiteral("The URL scheme \"%1\" is not supported").arg(url.scheme());
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (QFileInfo(file).isDir())
        return QStringLiteral("Is a directory");
    if (file.size() > maxPictureBytes)
        return QStringLiteral("File too large");
    *data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

} // namespace

QString formatSizeComponent(double value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e16)
        return QString::number(value, 'f', 1);
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

DesktopImageRead readDesktopImage(const QUrl& url) {
    if (url.isEmpty())
        return {QStringLiteral("Could not get desktop image URL"), {}};

    QByteArray data;
    if (const QString error = readError(url, &data); !error.isEmpty())
        return {QStringLiteral("Error loading image data: ") + error, {}};

    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    readAsFormat(reader, imageFormatOf(data));
    // Orientation tags are applied, as every image viewer does.
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    const QImage image = reader.read();
    if (image.isNull()) {
        // A decoder that understood the header but declares an empty picture
        // has produced an image, only one without pixels.
        if (declared.isValid() && (declared.width() == 0 || declared.height() == 0))
            return {QStringLiteral("Image loaded but has zero size"), {}};
        return {QStringLiteral("Could not create NSImage from data"), {}};
    }
    if (image.width() <= 0 || image.height() <= 0)
        return {QStringLiteral("Image loaded but has zero size"), {}};

    const QString name = QFileInfo(url.toLocalFile()).fileName();
    return {QStringLiteral("Desktop image loaded successfully: %1, size: (%2, %3)")
                .arg(name, formatSizeComponent(image.width()), formatSizeComponent(image.height())),
            image};
}
