#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace vexa {

// The glyph and animation bitmaps of the Data folder: two-frame animations for 7-, 12-
// and 16-row signs and the 4074-entry glyph table of the bitmap fonts (7 fonts x 3
// colours x 194 glyphs). Load reads them all at once; Open only names the folder, and
// each folder (the animations of one height, the glyphs of one font and colour) is read
// at its first use, so a window can paint before the whole library is read. Entries
// whose file is missing stay empty (a null QImage) and draw nothing. Lookups may come
// from several threads.
class GlyphLibrary {
public:
    static constexpr int FontCount = 7;
    static constexpr int ColourCount = 3;
    static constexpr int GlyphsPerColour = 194;
    static constexpr int GlyphsPerFont = ColourCount * GlyphsPerColour; // 582
    static constexpr int GlyphCount = FontCount * GlyphsPerFont;        // 4074
    static constexpr int Animations7 = 65;                              // 0..64
    static constexpr int Animations12And16 = 32;                        // 0..31

    GlyphLibrary();
    GlyphLibrary(const GlyphLibrary&) = delete;
    GlyphLibrary& operator=(const GlyphLibrary&) = delete;

    // Loads every entry from dataDir (the folder holding Gif/ and ASCII/). Replaces what
    // was loaded before. Returns the number of bitmaps found.
    int Load(const QString& dataDir);
    // Names dataDir without reading it; entries are read folder by folder when first
    // looked up. Replaces what was loaded before.
    void Open(const QString& dataDir);
    bool IsLoaded() const { return loaded; }
    // Bitmaps read so far.
    int LoadedCount() const { return loadedCount.load(); }
    const QString& DataDir() const { return dataDir; }

    // Frame f (0, 1) of animation n for a model height of 7, 12 or 16 rows; nullptr for
    // any other height, animation, frame or a missing file.
    const QImage* AnimationFrame(int rows, int animation, int frame) const;

    // Glyph-table entry number of a glyph code (may be >= GlyphCount: no glyph).
    static quint64 EntryOfCode(quint32 code);
    // Glyph of a code, nullptr when the entry is out of range or empty, or when the
    // character index is 194 or more (no font has such a glyph).
    const QImage* GlyphOfCode(quint32 code) const;
    const QImage* GlyphEntry(quint64 entry) const;

    // File names of the Data tree (dataDir without trailing slash).
    static QString AnimationPath(const QString& dataDir, int rows, int animation, int frame);
    static QString AsciiGlyphPath(const QString& dataDir, int codeUnit);
    static QString FontGlyphPath(const QString& dataDir, int font, int colour, int glyph);
    static QString AsciiDir(const QString& dataDir);
    // The glyph folder (Data/ASCII) when it is missing, else "". A missing Data folder is
    // named itself.
    static QString MissingGlyphFolder(const QString& dataDir);
    // The animation folder of a sign height (Data/Gif/<rows>) when it is missing, else "".
    static QString MissingAnimationFolder(const QString& dataDir, int rows);
    // Folder of the character images the character picker shows.
    static QString PickerDir(const QString& dataDir) { return AsciiDir(dataDir) + QStringLiteral("/Eruope"); }

    // Loads one bitmap for drawing: 32-bit ARGB, null when missing, not a regular file,
    // unreadable, larger than the glyph size limit or than MaxGlyphFileBytes.
    static QImage LoadGlyphFile(const QString& path);
    static constexpr int MaxGlyphSide = 1024;
    static constexpr qint64 MaxGlyphFileBytes = 16 * 1024 * 1024;

private:
    // Folders 0..2: animations of 7, 12, 16 rows; then one per font and colour.
    static constexpr int AnimationFolders = 3;
    static constexpr int FolderCount = AnimationFolders + FontCount * ColourCount;

    static int HeightIndex(int rows);
    void Reset(const QString& folder);
    void EnsureFolder(int folder) const;
    void LoadFolder(int folder) const;

    mutable std::array<std::vector<QImage>, 3> animations; // by height 7, 12, 16: [n * 2 + f]
    mutable std::vector<QImage> glyphs;
    mutable std::array<std::atomic<bool>, FolderCount> folderRead{};
    mutable std::mutex readMutex;
    mutable std::atomic<int> loadedCount{0};
    QString dataDir;
    QString asciiDir;
    bool loaded = false;
};

} // namespace vexa
