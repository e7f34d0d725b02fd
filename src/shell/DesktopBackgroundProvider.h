#pragma once

#include "BackgroundImageStore.h"

#include <QQuickImageProvider>

#include <memory>

// Serves the blurred desktop picture as "image://desktopbackground/<generation>";
// the generation only makes each new picture a new URL.
class DesktopBackgroundProvider final : public QQuickImageProvider {
public:
    static inline const QString providerId = QStringLiteral("desktopbackground");

    explicit DesktopBackgroundProvider(std::shared_ptr<const BackgroundImageStore> store);

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

    // For items that paint the picture themselves, such as frosted glass.
    [[nodiscard]] std::shared_ptr<const BackgroundImageStore> store() const { return m_store; }

private:
    std::shared_ptr<const BackgroundImageStore> m_store;
};
