#include "BackgroundBlur.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// The blur is computed at 1/downscale of the view's resolution: a quarter keeps a
// full-screen picture to about 130 000 pixels while the radius stays above 4.
constexpr double downscale = 4.0;

// The black veil the screen lays over the picture: kept in the picture rather
// than drawn over the whole window with every frame the pages move.
constexpr float veil = 0.3f;

// One box pass over `count` premultiplied pixels spaced `stride` apart, with a
// window of 2 * radius + 1 and transparent pixels outside the run.
void blurRun(std::uint32_t* pixels, int count, int stride, int radius,
             std::vector<std::uint32_t>& scratch) {
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        scratch[static_cast<std::size_t>(i)] = pixels[static_cast<std::ptrdiff_t>(i) * stride];
    const int window = 2 * radius + 1;
    std::uint32_t sum[4] = {0, 0, 0, 0};
    auto add = [&sum](std::uint32_t pixel, int sign) {
        for (int c = 0; c < 4; ++c)
            sum[c] +=
                static_cast<std::uint32_t>(sign * static_cast<int>((pixel >> (8 * c)) & 0xff));
    };
    for (int i = 0; i < std::min(radius, count); ++i)
        add(scratch[static_cast<std::size_t>(i)], 1);
    for (int i = 0; i < count; ++i) {
        if (const int entering = i + radius; entering < count)
            add(scratch[static_cast<std::size_t>(entering)], 1);
        if (const int leaving = i - radius - 1; leaving >= 0)
            add(scratch[static_cast<std::size_t>(leaving)], -1);
        std::uint32_t out = 0;
        for (int c = 0; c < 4; ++c)
            out |= ((sum[c] + static_cast<std::uint32_t>(window / 2)) /
                    static_cast<std::uint32_t>(window))
                   << (8 * c);
        pixels[static_cast<std::ptrdiff_t>(i) * stride] = out;
    }
}

} // namespace

void boxBlur(QImage& image, int radius, int passes) {
    if (radius <= 0 || image.isNull())
        return;
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    const int width = image.width();
    const int height = image.height();
    const int stride = static_cast<int>(image.bytesPerLine() / 4);
    auto* bits = reinterpret_cast<std::uint32_t*>(image.bits());
    std::vector<std::uint32_t> scratch;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < height; ++y)
            blurRun(bits + static_cast<std::ptrdiff_t>(y) * stride, width, 1, radius, scratch);
        for (int x = 0; x < width; ++x)
            blurRun(bits + x, height, stride, radius, scratch);
    }
}

QImage blurredBackground(const QImage& picture, const QSize& viewSize, double radius) {
    if (picture.isNull() || viewSize.isEmpty())
        return {};
    const double fill = std::max(double(viewSize.width()) / picture.width(),
                                 double(viewSize.height()) / picture.height());
    const QSize reduced(std::max(1, int(std::lround(picture.width() * fill / downscale))),
                        std::max(1, int(std::lround(picture.height() * fill / downscale))));
    QImage small = picture.scaled(reduced, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Three box passes of width w approximate a Gaussian of variance 3 (w² − 1) / 12;
    // a radius-20 blur is taken as a standard deviation of 20 view pixels.
    const double sigma = radius / downscale;
    const int boxRadius =
        std::max(1, int(std::lround((std::sqrt(4.0 * sigma * sigma + 1.0) - 1.0) / 2.0)));
    boxBlur(small, boxRadius);
    // Over the window's black, where the blur fades out at the edges, and
    // veiled: opaque, so it is copied rather than blended when drawn.
    QImage shown(small.size(), QImage::Format_RGB32);
    shown.fill(Qt::black);
    QPainter painter(&shown);
    painter.drawImage(0, 0, small);
    painter.fillRect(shown.rect(), QColor::fromRgbF(0, 0, 0, veil));
    painter.end();
    return shown;
}
