#include "render/DotPacker.h"

#include "render/ContentGrammar.h"
#include "render/RasterLimits.h"

#include <QImageReader>

namespace vexa {

namespace {

constexpr QRgb kOpaqueBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kYellow = 0xFFFFFF00;

bool LitInPlane(QRgb pixel, int plane) {
    switch (plane) {
    case 1:
        return pixel == kRed || pixel == kYellow;
    case 2:
        return pixel == kGreen || pixel == kYellow;
    default:
        return pixel != kOpaqueBlack && qAlpha(pixel) != 0;
    }
}

QImage LoadBitmap(const QString& path) {
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    if (!RasterLimits::BitmapSizeAllowed(reader.size()))
        return {};
    const QImage image = reader.read();
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

QByteArray DotPacker::PackFrameBitmap(const QString& path, const Params& params) {
    return PackImage(LoadBitmap(path), params);
}

QByteArray DotPacker::PackImage(const QImage& source, const Params& params) {
    if (source.isNull() && !params.date)
        return {};
    const QImage image = source.isNull() ? QImage() : source.convertToFormat(QImage::Format_ARGB32);
    if (params.bitsPerDot == 2)
        return PackTwoBit(image, params);
    return PackOneBit(image, params.colourPlane);
}

QByteArray DotPacker::PackOneBit(const QImage& image, int colourPlane) {
    const int width = image.isNull() ? 0 : image.width();
    const int height = image.isNull() ? 0 : image.height();
    const int lineBytes = (width + 7) / 8;
    QByteArray out(static_cast<qsizetype>(lineBytes) * height, '\0');
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* target = reinterpret_cast<uchar*>(out.data()) + static_cast<qsizetype>(y) * lineBytes;
        for (int x = 0; x < width; ++x) {
            if (LitInPlane(line[x], colourPlane))
                target[x / 8] |= static_cast<uchar>(0x80u >> (x % 8));
        }
    }
    return out;
}

QByteArray DotPacker::PackTwoBit(const QImage& image, const Params& params) {
    const int width = image.isNull() ? 0 : image.width();
    const int height = image.isNull() ? 0 : image.height();
    int columns = params.pageColumns;
    qsizetype pages = 1;
    qsizetype pageBytes = MinPageBytes;
    qsizetype length = static_cast<qsizetype>((width + 7) / 8) * height * 2;
    if (columns != 0) {
        if (width == 0 && params.date) {
            // An empty date message: one zeroed page.
            pageBytes = std::max<qsizetype>(MinPageBytes, qsizetype(columns) * params.rows * 2 / 8);
            return QByteArray(pageBytes, '\0');
        }
        pages = width / columns + (width % columns != 0 ? 1 : 0) + (params.date ? 1 : 0);
        pageBytes = std::max<qsizetype>(MinPageBytes, qsizetype(height) * columns * 2 / 8);
        length = pages * pageBytes;
    } else {
        // Without a page width the whole bitmap is one page of whole lines.
        columns = std::max(width, 1);
        pageBytes = length;
    }
    const bool levelsInverted = params.family == 2;
    const char fill = params.family == 5 ? '\0' : '\xFF';
    QByteArray out(length, fill);
    if (params.date && params.pageColumns != 0) {
        // The extra last page of a date stays zero and is not packed.
        std::fill(out.end() - pageBytes, out.end(), '\0');
        --pages;
    }
    if (width == 0)
        return out;

    const uchar dark = levelsInverted ? 1 : 0;
    const uchar lit = levelsInverted ? 0 : 1;
    const qsizetype lineStride = params.pageColumns != 0 ? qsizetype(columns) * 2 / 8 : (width + 3) / 4;
    auto* bytes = reinterpret_cast<uchar*>(out.data());
    uchar current = 0x00; // the very first byte of the buffer starts from all bits 0
    for (qsizetype p = 0; p < pages; ++p) {
        const int first = static_cast<int>(p * columns);
        const int pageWidth = (p == pages - 1 && width % columns != 0) ? width % columns : columns;
        for (int y = 0; y < height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            uchar* target = bytes + p * pageBytes + y * lineStride;
            for (int i = 0; i < pageWidth; ++i) {
                const QRgb pixel = first + i < width ? line[first + i] : kOpaqueBlack;
                uchar green = lit;
                uchar red = lit;
                if (pixel == kOpaqueBlack)
                    green = red = dark;
                else if (pixel == kRed)
                    green = dark;
                else if (pixel == kGreen)
                    red = dark;
                const int shift = 2 * (i % 4);
                current =
                    static_cast<uchar>((current & ~(3u << shift)) | (green << shift) | (red << (shift + 1)));
                if (i % 4 == 3 || i == pageWidth - 1) {
                    target[i / 4] = current;
                    current = 0xFF;
                }
            }
        }
    }
    return out;
}

QByteArray DotPacker::PackCharacterCodes(const QString& text) {
    QByteArray out;
    const auto append = [&out](int value) {
        if (value >= 0 && value <= 194 && out.size() < CharacterBufferSize)
            out.append(static_cast<char>(value));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'[') {
            int number = 0;
            if (ContentGrammar::ReadAnimationToken(text, i, &number)) {
                append(number + 96);
                i += ContentGrammar::AnimationTokenLength - 1;
            } else {
                append(91);
            }
            continue;
        }
        append(c.unicode());
    }
    return out;
}

} // namespace vexa
