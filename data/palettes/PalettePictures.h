#pragma once

#include <QString>

namespace vexa {

// Resource paths of the editors' palette pictures (library vexa_palettes).
// Face k (0..31) is the picture of the token "[GIF_%03d]" k; special character k
// (0..65) stands for glyph index 128 + k and for the token number 32 + k.
class PalettePictures {
public:
    static constexpr int kFaceCount = 32;
    static constexpr int kSpecialCount = 66;

    static QString FacePath(int k);
    static QString SpecialPath(int k);
};

} // namespace vexa
