#pragma once

#include <QImage>

namespace vexa {

// Whole-raster pixel tests that the renderer uses to pick its fast paths.
class RasterPixels {
public:
    // True when every pixel of a 32-bit image has full alpha (an opaque premultiplied
    // pixel holds the same number in ARGB32).
    static bool IsOpaque(const QImage& image);
};

} // namespace vexa
