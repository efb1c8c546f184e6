#pragma once

#include <QString>

namespace vexa::datagen {

class Animations;
class SignFonts;

// Writes the Data tree the programs read: the sign font, the glyph table of the
// bitmap-font editor, the animation frames and the character picker pictures. The tree
// is assembled in a sibling folder and swapped in at the end, so an interrupted run
// never leaves a half-written tree behind.
class DataTreeWriter {
public:
    DataTreeWriter(const SignFonts& fonts, const Animations& animations);

    bool Write(const QString& dataDir);
    const QString& Error() const { return error; }
    int FilesWritten() const { return filesWritten; }

    static constexpr int kLastSignAnimation = 97;

private:
    bool WriteFile(const QString& path, const class DotImage& image);
    bool WriteSignFont(const QString& root);
    bool WriteGlyphTable(const QString& root);
    bool WriteAnimations(const QString& root);
    bool WritePicker(const QString& root);
    bool Swap(const QString& staging, const QString& dataDir);

    const SignFonts& fonts;
    const Animations& animations;
    QString error;
    int filesWritten = 0;
};

} // namespace vexa::datagen
