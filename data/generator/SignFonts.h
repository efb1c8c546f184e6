#pragma once

#include "ArtFile.h"
#include "CharacterSet.h"
#include "DotImage.h"

#include <QString>
#include <array>
#include <vector>

namespace vexa::datagen {

// The bitmap fonts of the sign, all 7 rows high, built from three hand-drawn designs:
// a 7-row face, a 5-row face (drawn inside 7 rows) and a narrow small face. The wider
// fonts stretch the 7-row or 5-row design column by column, so every font keeps the
// same letter shapes at its own advance.
class SignFonts {
public:
    static constexpr int kFontCount = 7;
    static constexpr int kRows = 7;

    struct FontInfo {
        const char* name;
        // Columns per glyph including the spacing column; 0 for a proportional font.
        int advance;
    };
    static const std::array<FontInfo, kFontCount>& Fonts();

    // Loads extras.txt, font7.txt, font5.txt and small.txt from the art folder and checks
    // that every drawn character exists in every design and fits its font.
    bool Load(const QString& artDir);
    bool Build(const CharacterSet& characters, const ArtFile& face7, const ArtFile& face5,
               const ArtFile& small);
    const QString& Error() const { return error; }
    const CharacterSet& Characters() const { return characters; }

    // Glyph index 0..193 of a font, lit dots red (recolour for the other colours); an empty
    // image outside the fonts and indexes.
    const DotImage& Glyph(int font, int index) const;
    // The proportional 7-row font of bitmap-font text.
    const DotImage& SignGlyph(int index) const;

private:
    bool BuildDesign(const ArtFile& art, int maxWidth, std::vector<DotImage>& design);
    static DotImage Proportional(const DotImage& art);
    static DotImage Monospaced(const DotImage& art, int body);
    static DotImage Stretched(const DotImage& body, const std::vector<int>& columnWidths);

    CharacterSet characters;
    std::array<std::vector<DotImage>, kFontCount> fonts;
    std::vector<DotImage> signFont;
    QString error;
};

} // namespace vexa::datagen
