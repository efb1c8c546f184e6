#pragma once

#include <QString>
#include <vector>

namespace vexa::datagen {

// The characters a glyph index stands for: 32..126 are ASCII; 128..193 the extra
// characters (accented Latin and Greek letters) listed in the character table file,
// one "index character" pair per line, in index order.
class CharacterSet {
public:
    static constexpr int kFirstExtra = 128;
    static constexpr int kExtraCount = 66;
    static constexpr int kGlyphCount = 194;

    bool Parse(const QString& text, const QString& source);
    bool Load(const QString& path);
    const QString& Error() const { return error; }

    // The character of a glyph index, or 0 for indexes without one (0..31, 127).
    char32_t CharacterOf(int index) const;
    static bool IsDrawn(int index) {
        return (index >= 32 && index <= 126) || (index >= 128 && index < kGlyphCount);
    }

private:
    std::vector<char32_t> extras;
    QString error;
};

// The character an art key names: "space" or exactly one character; 0 otherwise.
char32_t CharacterOfKey(const QString& key);
QString KeyOfCharacter(char32_t character);

} // namespace vexa::datagen
