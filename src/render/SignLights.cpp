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

// What the sign shows for a lit raster pixel; apart from the pixel loop, which calls it only
// when the colour changes.
QRgb ShownOf(QRgb pixel, PackKind kind, LedColour led, bool premultiplied) {
    return SignColours::PreviewArgb(kind, led, premultiplied ? qUnpremultiply(pixel) : pixel);
}

} // namespace

void SignLights::Recolour(QImage& raster, PackKind kind, LedColour led) {
    const bool premultiplied = raster.format() == QImage::Format_ARGB32_Premultiplied;
    if (!premultiplied && raster.format() != QImage::Format_ARGB32 && raster.format() != QImage::Format_RGB32)
        raster = raster.convertToFormat(QImage::Format_ARGB32);
    // Text comes in runs of one colour: the last colour met and what the sign shows for it
    // are remembered, so a pixel of the run (or dark, the first "last" colour) costs one
    // comparison and the colour rule runs once per change of colour.
    QRgb lastPixel = SignColours::OpaqueBlack;
    QRgb lastShown = SignColours::OpaqueBlack;
    const int width = raster.width();
    for (int y = 0; y < raster.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(raster.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if ((x & 3) == 0 && x + 4 <= width && FourDark(line + x)) {
                x += 3;
                continue;
            }
            const QRgb pixel = line[x];
            if (pixel == lastPixel) {
                line[x] = lastShown;
            } else if (pixel != SignColours::OpaqueBlack) {
                lastPixel = pixel;
                lastShown = ShownOf(pixel, kind, led, premultiplied);
                line[x] = lastShown;
            }
        }
    }
}

} // namespace vexa
