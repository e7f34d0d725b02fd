#include "ImageFormat.h"

#include <QImageReader>

QByteArray imageFormatOf(const QByteArray& data) {
    if (data.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8)))
        return QByteArrayLiteral("png");
    if (data.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (data.startsWith("/* XPM */"))
        return QByteArrayLiteral("xpm");
    if (data.startsWith("\x1f\x8b"))
        return QByteArrayLiteral("svgz");
    // SVG: markup after an optional byte order mark and white space.
    QByteArrayView text(data);
    if (text.startsWith("\xef\xbb\xbf"))
        text = text.sliced(3);
    return text.trimmed().startsWith('<') ? QByteArrayLiteral("svg") : QByteArray();
}

void readAsFormat(QImageReader& reader, const QByteArray& format) {
    if (format.isEmpty())
        return;
    reader.setFormat(format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
}
