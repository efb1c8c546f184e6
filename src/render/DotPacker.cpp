#include "render/DotPacker.h"

#include "core/SignColours.h"
#include "render/ContentGrammar.h"
#include "render/ImageFileReader.h"
#include "render/RasterLimits.h"

#include <algorithm>
#include <cstring>

namespace vexa {

namespace {

// The colours are those of the sign-colour rule; the vector paths below compare against
// the same constants, and a test holds them to the rule.
constexpr QRgb kOpaqueBlack = SignColours::OpaqueBlack;
constexpr QRgb kRed = SignColours::PureRed;
constexpr QRgb kGreen = SignColours::PureGreen;
constexpr QRgb kYellow = SignColours::PureYellow;

template <int Plane> bool LitInPlane(QRgb pixel) {
    if constexpr (Plane == 1)
        return SignColours::InRedPlane(pixel);
    else if constexpr (Plane == 2)
        return SignColours::InGreenPlane(pixel);
    else
        return SignColours::LitInOneColour(pixel);
}

// Two pixels of a line as one 64-bit word.
quint64 PairAt(const QRgb* line) {
    quint64 pair;
    std::memcpy(&pair, line, sizeof(pair));
    return pair;
}

// True when the four pixels from line on are all opaque black (most of a message is);
// two pixels are compared at a time.
bool FourDark(const QRgb* line) {
    constexpr quint64 kTwoDark = quint64(kOpaqueBlack) << 32 | kOpaqueBlack;
    return ((PairAt(line) ^ kTwoDark) | (PairAt(line + 2) ^ kTwoDark)) == 0;
}

#if defined(__GNUC__)
// Four pixels at a time where the compiler offers vector types.
using Pixels = quint32 __attribute__((vector_size(16)));

Pixels LoadFour(const QRgb* line) {
    Pixels pixels;
    std::memcpy(&pixels, line, sizeof(pixels));
    return pixels;
}

// Four lanes of 0 or 1 to four bits, the first lane in the highest.
unsigned Nibble(Pixels bits) {
    quint64 pairs[2];
    std::memcpy(pairs, &bits, sizeof(pairs));
    const auto pair = [](quint64 v) { return static_cast<unsigned>((v << 1 | v >> 32) & 3u); };
    return pair(pairs[0]) << 2 | pair(pairs[1]);
}

template <int Plane> unsigned LitNibble(const QRgb* line) {
    const Pixels pixels = LoadFour(line);
    Pixels lit;
    if constexpr (Plane == 1)
        lit = reinterpret_cast<Pixels>((pixels == kRed) | (pixels == kYellow));
    else if constexpr (Plane == 2)
        lit = reinterpret_cast<Pixels>((pixels == kGreen) | (pixels == kYellow));
    else
        lit = reinterpret_cast<Pixels>((pixels != kOpaqueBlack) & ((pixels >> 24) != 0));
    return Nibble(lit & 1u);
}

template <int Plane> unsigned LitByte(const QRgb* line) {
    return LitNibble<Plane>(line) << 4 | LitNibble<Plane>(line + 4);
}
#else
template <int Plane> unsigned LitByte(const QRgb* line) {
    unsigned byte = 0;
    for (int bit = 0; bit < 8; ++bit)
        byte = (byte << 1) | (LitInPlane<Plane>(line[bit]) ? 1u : 0u);
    return byte;
}
#endif

// Packs one line of pixels, eight dots per byte, the leftmost in the highest bit.
template <int Plane> void PackLine(const QRgb* line, int width, uchar* target) {
    int x = 0;
    for (; x + 8 <= width; x += 8)
        target[x / 8] =
            FourDark(line + x) && FourDark(line + x + 4) ? 0 : static_cast<uchar>(LitByte<Plane>(line + x));
    for (; x < width; ++x) {
        if (LitInPlane<Plane>(line[x]))
            target[x / 8] |= static_cast<uchar>(0x80u >> (x % 8));
    }
}

// The two bits of a dot in 2-bit packing: green in the low bit, red in the high bit, each
// lit or dark; pure red and pure green light one of them, any other colour both.
struct TwoBitCodes {
    uchar black, red, green, other;
    uchar Of(QRgb pixel) const {
        switch (SignColours::LightOf(PackKind::TwoBitPages, pixel)) {
        case SignLight::Dark:
            return black;
        case SignLight::Red:
            return red;
        case SignLight::Green:
            return green;
        default:
            return other;
        }
    }
    // Four dots in one byte, the first in the lowest two bits.
    uchar ByteOf(const QRgb* dots) const {
#if defined(__GNUC__)
        // Both bits of a dot are lit unless the dot is black, and one of them is dark for
        // pure red or green; green & 1 is the lit level, the same for both bits.
        const Pixels pixels = LoadFour(dots);
        const auto isBlack = reinterpret_cast<Pixels>(pixels == kOpaqueBlack);
        const auto isRed = reinterpret_cast<Pixels>(pixels == kRed);
        const auto isGreen = reinterpret_cast<Pixels>(pixels == kGreen);
        const quint32 litLevel = (other & 1u);
        const Pixels code =
            (((isBlack | isRed) & 1u) ^ litLevel) | ((((isBlack | isGreen) & 1u) ^ litLevel) << 1);
        quint64 pairs[2];
        std::memcpy(pairs, &code, sizeof(pairs));
        const auto pair = [](quint64 v) { return static_cast<unsigned>((v | v >> 30) & 0xFu); };
        return static_cast<uchar>(pair(pairs[0]) | pair(pairs[1]) << 4);
#else
        return static_cast<uchar>(Of(dots[0]) | Of(dots[1]) << 2 | Of(dots[2]) << 4 | Of(dots[3]) << 6);
#endif
    }
};

QImage LoadBitmap(const QString& path) {
    if (path.isEmpty())
        return {};
    ImageFileReader picture(path);
    if (!RasterLimits::BitmapSizeAllowed(picture.Size()))
        return {};
    const QImage image = picture.Reader().read();
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
        switch (colourPlane) {
        case 1:
            PackLine<1>(line, width, target);
            break;
        case 2:
            PackLine<2>(line, width, target);
            break;
        default:
            PackLine<0>(line, width, target);
            break;
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
    const TwoBitCodes codes{static_cast<uchar>(dark | dark << 1), static_cast<uchar>(dark | lit << 1),
                            static_cast<uchar>(lit | dark << 1), static_cast<uchar>(lit | lit << 1)};
    const qsizetype lineStride = params.pageColumns != 0 ? qsizetype(columns) * 2 / 8 : (width + 3) / 4;
    auto* bytes = reinterpret_cast<uchar*>(out.data());
    // Four dots per byte, the leftmost in the lowest two bits. The dots of a line's last
    // byte that the message does not reach take the family's dark level, so the sign shows
    // nothing after the message. Lines are written in order: where a line holds more bytes
    // than the line stride, the next line overwrites its last byte.
    const uchar* pixels = image.constBits();
    const qsizetype bytesPerLine = image.bytesPerLine();
    for (qsizetype p = 0; p < pages; ++p) {
        const int first = static_cast<int>(p * columns);
        const int pageWidth = (p == pages - 1 && width % columns != 0) ? width % columns : columns;
        for (int y = 0; y < height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(pixels + y * bytesPerLine);
            uchar* target = bytes + p * pageBytes + y * lineStride;
            const QRgb* dots = line + first;
            const int inImage = std::clamp(width - first, 0, pageWidth);
            const auto dot = [&](int i) { return i < inImage ? codes.Of(dots[i]) : codes.black; };
            const uchar darkByte = static_cast<uchar>(codes.black * 0x55u);
            int i = 0;
            for (uchar* byte = target; i + 4 <= inImage; i += 4, ++byte)
                *byte = FourDark(dots + i) ? darkByte : codes.ByteOf(dots + i);
            for (; i + 4 <= pageWidth; i += 4)
                target[i / 4] =
                    static_cast<uchar>(dot(i) | dot(i + 1) << 2 | dot(i + 2) << 4 | dot(i + 3) << 6);
            if (i < pageWidth) {
                const int index = i / 4;
                unsigned byte = darkByte;
                for (int shift = 0; i < pageWidth; ++i, shift += 2)
                    byte = (byte & ~(3u << shift)) | unsigned(dot(i)) << shift;
                target[index] = static_cast<uchar>(byte);
            }
        }
    }
    return out;
}

QList<DotPacker::SentCharacter> DotPacker::CharacterCodes(const QString& text) {
    QList<SentCharacter> characters;
    characters.reserve(text.size());
    int sent = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        SentCharacter character{i, 1, text[i].unicode()};
        int number = 0;
        if (text[i] == u'[' && ContentGrammar::ReadAnimationToken(text, i, &number)) {
            character.length = ContentGrammar::AnimationTokenLength;
            character.byte = number + 96;
        }
        if (character.byte < 0 || character.byte > HighestCharacterCode || sent >= CharacterBufferSize)
            character.byte = -1;
        else
            ++sent;
        characters.append(character);
        i += character.length - 1;
    }
    return characters;
}

QByteArray DotPacker::PackCharacterCodes(const QString& text) {
    QByteArray out;
    for (const SentCharacter& character : CharacterCodes(text))
        if (character.byte >= 0)
            out.append(static_cast<char>(character.byte));
    return out;
}

} // namespace vexa
