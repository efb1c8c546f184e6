#include "SignFonts.h"

#include <numeric>

namespace vexa::datagen {

namespace {

constexpr int kBody = 5;
constexpr int kSpaceColumns = 3;

// Column widths that stretch a 5-column body: heavy stems on the outer and middle
// columns, lighter joins between them, so wide fonts read bold rather than blurred.
const std::vector<int> kWide9 = {2, 1, 2, 1, 2};
const std::vector<int> kDouble = {2, 2, 2, 2, 2};
const std::vector<int> kBold17 = {4, 2, 4, 2, 4};

} // namespace

const std::array<SignFonts::FontInfo, SignFonts::kFontCount>& SignFonts::Fonts() {
    static const std::array<FontInfo, kFontCount> table = {{
        {"7x6", 6},
        {"7x9", 9},
        {"7x11", 11},
        {"7x17", 17},
        {"Small", 0},
        {"5x6", 6},
        {"5x11", 11},
    }};
    return table;
}

bool SignFonts::Load(const QString& artDir) {
    CharacterSet set;
    ArtFile face7;
    ArtFile face5;
    ArtFile small;
    if (!set.Load(artDir + QStringLiteral("/extras.txt"))) {
        error = set.Error();
        return false;
    }
    for (auto [file, name] : {std::pair{&face7, "font7.txt"}, {&face5, "font5.txt"}, {&small, "small.txt"}}) {
        if (!file->Load(artDir + QLatin1Char('/') + QLatin1String(name))) {
            error = file->Error();
            return false;
        }
    }
    return Build(set, face7, face5, small);
}

bool SignFonts::BuildDesign(const ArtFile& art, int maxWidth, std::vector<DotImage>& design) {
    design.assign(CharacterSet::kGlyphCount, DotImage());
    for (const ArtEntry& entry : art.Entries()) {
        if (CharacterOfKey(entry.key) == 0) {
            error = QStringLiteral("line %1: \"%2\" is not one character").arg(entry.line).arg(entry.key);
            return false;
        }
        if (entry.image.Height() != kRows) {
            error = QStringLiteral("line %1: glyph \"%2\" must be %3 rows high")
                        .arg(entry.line)
                        .arg(entry.key)
                        .arg(kRows);
            return false;
        }
    }
    for (int index = 0; index < CharacterSet::kGlyphCount; ++index) {
        if (!CharacterSet::IsDrawn(index)) {
            continue;
        }
        const QString key = KeyOfCharacter(characters.CharacterOf(index));
        const ArtEntry* entry = art.Find(key);
        if (entry == nullptr) {
            error = QStringLiteral("glyph \"%1\" (index %2) is not drawn").arg(key).arg(index);
            return false;
        }
        if (entry->image.Width() > maxWidth) {
            error = QStringLiteral("line %1: glyph \"%2\" is wider than %3 dots")
                        .arg(entry->line)
                        .arg(key)
                        .arg(maxWidth);
            return false;
        }
        if (index != 32 && !entry->image.AnyLit()) {
            error = QStringLiteral("line %1: glyph \"%2\" has no lit dot").arg(entry->line).arg(key);
            return false;
        }
        design[static_cast<std::size_t>(index)] = entry->image;
    }
    return true;
}

bool SignFonts::Build(const CharacterSet& set, const ArtFile& face7, const ArtFile& face5,
                      const ArtFile& small) {
    characters = set;
    std::vector<DotImage> design7;
    std::vector<DotImage> design5;
    std::vector<DotImage> designSmall;
    if (!BuildDesign(face7, kBody, design7) || !BuildDesign(face5, kBody, design5) ||
        !BuildDesign(small, kBody, designSmall)) {
        return false;
    }
    signFont.assign(CharacterSet::kGlyphCount, DotImage());
    for (auto& font : fonts) {
        font.assign(CharacterSet::kGlyphCount, DotImage());
    }
    const DotImage blankArt(kSpaceColumns, kRows);
    for (int index = 0; index < CharacterSet::kGlyphCount; ++index) {
        const auto i = static_cast<std::size_t>(index);
        const bool drawn = CharacterSet::IsDrawn(index);
        const DotImage& art7 = drawn ? design7[i] : blankArt;
        const DotImage& art5 = drawn ? design5[i] : blankArt;
        const DotImage& artSmall = drawn ? designSmall[i] : blankArt;
        const DotImage body7 = Monospaced(art7, kBody);
        const DotImage body5 = Monospaced(art5, kBody);
        signFont[i] = Proportional(art7);
        fonts[0][i] = Monospaced(art7, kBody + 1);
        fonts[1][i] = Stretched(body7, kWide9);
        fonts[2][i] = Stretched(body7, kDouble);
        fonts[3][i] = Stretched(body7, kBold17);
        fonts[4][i] = Proportional(artSmall);
        fonts[5][i] = Monospaced(art5, kBody + 1);
        fonts[6][i] = Stretched(body5, kDouble);
    }
    return true;
}

DotImage SignFonts::Proportional(const DotImage& art) {
    DotImage glyph(art.Width() + 1, kRows);
    glyph.Draw(art, 0, 0);
    return glyph;
}

DotImage SignFonts::Monospaced(const DotImage& art, int columns) {
    DotImage glyph(columns, kRows);
    glyph.Draw(art, (kBody - art.Width()) / 2, 0);
    return glyph;
}

DotImage SignFonts::Stretched(const DotImage& body, const std::vector<int>& columnWidths) {
    const int width = std::accumulate(columnWidths.begin(), columnWidths.end(), 0);
    DotImage glyph(width + 1, kRows);
    int x = 0;
    for (std::size_t column = 0; column < columnWidths.size(); ++column) {
        for (int repeat = 0; repeat < columnWidths[column]; ++repeat, ++x) {
            for (int y = 0; y < kRows; ++y) {
                glyph.Set(x, y, body.At(static_cast<int>(column), y));
            }
        }
    }
    return glyph;
}

namespace {

const DotImage& Entry(const std::vector<DotImage>& glyphs, int index) {
    static const DotImage none;
    if (index < 0 || static_cast<std::size_t>(index) >= glyphs.size()) {
        return none;
    }
    return glyphs[static_cast<std::size_t>(index)];
}

} // namespace

const DotImage& SignFonts::Glyph(int font, int index) const {
    static const std::vector<DotImage> none;
    return Entry(font >= 0 && font < kFontCount ? fonts[static_cast<std::size_t>(font)] : none, index);
}

const DotImage& SignFonts::SignGlyph(int index) const {
    return Entry(signFont, index);
}

} // namespace vexa::datagen
