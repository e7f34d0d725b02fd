#include "SymbolImageProvider.h"

#include "ImageFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <climits>

SymbolImageProvider::SymbolImageProvider()
    : QQuickImageProvider(QQuickImageProvider::Image) {}

QImage SymbolImageProvider::requestImage(const QString& id, QSize* size,
                                         const QSize& requestedSize) {
    const QString path = QDir::cleanPath(QStringLiteral(":/Quorlin/") + id);
    QImage image;
    if (path.startsWith(QStringLiteral(":/Quorlin/"))) {
        QImageReader reader(path);
        readAsFormat(reader, QFileInfo(path).suffix().toLatin1());
        // A drawing is drawn at the size asked for, keeping its shape when
        // only one side is given; a bitmap comes at its own.
        const QSize own = reader.size();
        const int width = requestedSize.width() > 0 ? requestedSize.width() : INT_MAX;
        const int height = requestedSize.height() > 0 ? requestedSize.height() : INT_MAX;
        if (reader.format() == "svg" && own.isValid() && (width < INT_MAX || height < INT_MAX))
            reader.setScaledSize(width < INT_MAX && height < INT_MAX
                                     ? QSize(width, height)
                                     : own.scaled(width, height, Qt::KeepAspectRatio));
        image = reader.read();
    }
    if (size)
        *size = image.size();
    return image;
}
