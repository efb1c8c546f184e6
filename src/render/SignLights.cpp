#include "render/SignLights.h"

#include <cstring>

namespace vexa {

namespace {

// True when the four pixels from p on are all opaque black (most of a message is); two
// pixels are compared at a time.
bool FourDark(const QRgb* p) {
    constexpr quint64 kTwoDark = quint64(SignColours::OpaqueBlack) << 32 | SignColours::OpaqueBlack;
    quint64 pairs[2];
    std::memcpy(pairs, p, sizeof(pairs));
    return ((pairs[0] ^ kTwoDark) | (pairs[1] ^ kTwoDark)) == 0;
}

} // namespace

void SignLights::Recolour(QImage& raster, PackKind kind, LedColour led) {
    const bool premultiplied = raster.format() == QImage::Format_ARGB32_Premultiplied;
    if (!premultiplied && raster.format() != QImage::Format_ARGB32 && raster.format() != QImage::Format_RGB32)
        raster = raster.convertToFormat(QImage::Format_ARGB32);
    // Text comes in runs of one colour: the last lit colour and what the sign shows for it
    // are remembered.
    QRgb lastPixel = SignColours::OpaqueBlack;
    QRgb lastShown = SignColours::OpaqueBlack;
    const auto show = [&](QRgb& pixel) {
        if (pixel == SignColours::OpaqueBlack)
            return;
        if (pixel != lastPixel) {
            lastPixel = pixel;
            lastShown = SignColours::PreviewArgb(kind, led, premultiplied ? qUnpremultiply(pixel) : pixel);
        }
        pixel = lastShown;
    };
    const int width = raster.width();
    for (int y = 0; y < raster.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(raster.scanLine(y));
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            if (FourDark(line + x))
                continue;
            for (int i = 0; i < 4; ++i)
                show(line[x + i]);
        }
        for (; x < width; ++x)
            show(line[x]);
    }
}

} // namespace vexa
