#pragma once

#include <QImage>
#include <QSize>

// The desktop picture as the background draws it: scaled to fill `viewSize`
// (aspect kept, nothing cropped), blurred by `radius` view pixels like a
// Gaussian blur whose edges fade out to the window's black, and under a black
// veil at 0.3; opaque. The work is done at a reduced resolution, so the result
// is smaller than the scaled picture and the view stretches it; a blur hides
// the difference. Safe to call from any thread.
[[nodiscard]] QImage blurredBackground(const QImage& picture, const QSize& viewSize,
                                       double radius = 20.0);

// Three passes of a box blur of the given radius in both directions; pixels
// beyond the edges count as transparent. `image` must be premultiplied ARGB32.
void boxBlur(QImage& image, int radius, int passes = 3);
