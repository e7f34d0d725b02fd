#pragma once

#include <QQuickImageProvider>

// Serves the launcher's own pictures, "image://symbol/<path>" for the resource
// ":/Quorlin/<path>", at the size asked for (a drawing) or their own (a
// bitmap). Qt Quick reads a picture from a file or resource
// only after asking QImageReader for every format it supports, which loads each
// image plugin installed and its libraries (see readAsFormat).
class SymbolImageProvider final : public QQuickImageProvider {
public:
    static inline const QString providerId = QStringLiteral("symbol");

    SymbolImageProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
