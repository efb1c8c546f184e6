#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace vexa {

// Packs message bitmaps into the dot bytes a sign stores, and bitmap-font texts into the
// character codes of signs with a built-in character set.
class DotPacker {
public:
    struct Params {
        int family = 0;      // protocol family 0..5; 2 and 5 change the 2-bit packing
        int bitsPerDot = 1;  // 1 (8 dots per byte) or 2 (4 dots per byte, in pages)
        int pageColumns = 0; // columns per page of 2-bit packing
        int colourPlane = 0; // 1-bit: 0 every lit dot, 1 red plane, 2 green plane
        bool date = false;   // the row holds a date: 2-bit data ends with a zero page
        int rows = 16;       // model height: page size of an empty date message
    };

    static constexpr int MinPageBytes = 256;
    static constexpr int CharacterBufferSize = 4096;
    static constexpr int HighestCharacterCode = 194;

    // One character of a bitmap-font text as a character-code sign receives it.
    struct SentCharacter {
        qsizetype position = 0; // in the text
        qsizetype length = 1;   // code units: 1, or 9 for an animation token
        int byte = -1;          // the byte sent; -1 when the sign gets nothing for it
    };

    // Reads the bitmap at path and packs it. An empty or unreadable path gives no bytes,
    // except for a date on a 2-bit model: one zeroed page.
    static QByteArray PackFrameBitmap(const QString& path, const Params& params);
    // Packs an already loaded bitmap (null: as an unreadable file).
    static QByteArray PackImage(const QImage& bitmap, const Params& params);

    // Every character of text in order with the byte it is sent as: code units up to 194
    // as they are, "[" as 91, an animation token as its number + 96 (up to 194); anything
    // else, and everything after the first CharacterBufferSize bytes, is dropped. The
    // packer sends these bytes and the previews of character-code signs draw them.
    static QList<SentCharacter> CharacterCodes(const QString& text);
    // The bytes of CharacterCodes.
    static QByteArray PackCharacterCodes(const QString& text);

private:
    static QByteArray PackOneBit(const QImage& image, int colourPlane);
    static QByteArray PackTwoBit(const QImage& image, const Params& params);
};

} // namespace vexa
