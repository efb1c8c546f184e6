#pragma once

#include <QString>

namespace vexa {

// The editors' palette pictures and the extra characters they stand for (library
// vexa_palettes). Face k (0..31) is the picture of the token "[GIF_%03d]" k; special
// character k (0..65) is glyph index 128 + k of the sign fonts and the token number 32 + k.
class PalettePictures {
public:
    static constexpr int kFaceCount = 32;
    static constexpr int kSpecialCount = 66;

    // Resource paths ":/palettes/face/<k>.png" and ":/palettes/special/<k>.png".
    static QString FacePath(int k);
    static QString SpecialPath(int k);

    // The letter special character k shows ("é", "Ω", ...); empty outside 0..65.
    static QString SpecialCharacter(int k);
    // The k whose letter is character, or -1.
    static int SpecialNumberOf(const QString& character);
};

} // namespace vexa
