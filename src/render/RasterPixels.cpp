#include "render/RasterPixels.h"

namespace vexa {

bool RasterPixels::IsOpaque(const QImage& image) {
    if (image.depth() != 32)
        return false;
    QRgb all = 0xFFFFFFFFu;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            all &= line[x];
    }
    return qAlpha(all) == 255;
}

} // namespace vexa
