#include "render/RasterPixels.h"

#include <cstring>

namespace vexa {

bool RasterPixels::IsOpaque(const QImage& image) {
    if (image.depth() != 32)
        return false;
    const int width = image.width();
    const int height = image.height();
    // Four pixels at a time: the alpha bytes of all of them are ANDed together.
    quint64 all = ~quint64(0);
#if defined(__GNUC__)
    using Pixels = quint64 __attribute__((vector_size(16)));
    Pixels lanes = {all, all};
#endif
    for (int y = 0; y < height; ++y) {
        const uchar* line = image.constScanLine(y);
        int x = 0;
#if defined(__GNUC__)
        for (; x + 8 <= width; x += 8) {
            Pixels pixels[2];
            std::memcpy(pixels, line + x * 4, sizeof(pixels));
            lanes &= pixels[0] & pixels[1];
        }
#endif
        for (; x + 4 <= width; x += 4) {
            quint64 pixels[2];
            std::memcpy(pixels, line + x * 4, sizeof(pixels));
            all &= pixels[0] & pixels[1];
        }
        for (; x < width; ++x) {
            QRgb pixel;
            std::memcpy(&pixel, line + x * 4, sizeof(pixel));
            all &= pixel | 0xFFFFFFFF00000000ull;
        }
    }
#if defined(__GNUC__)
    all &= lanes[0] & lanes[1];
#endif
    return qAlpha(QRgb(all)) == 255 && qAlpha(QRgb(all >> 32)) == 255;
}

} // namespace vexa
