#pragma once

#include "DotImage.h"

#include <QString>
#include <vector>

namespace vexa::datagen {

// One picture of an art file: its key (the text after "> ") and its dots.
struct ArtEntry {
    QString key;
    DotImage image;
    int line = 0;
};

// Reads the text files in which glyphs and small pictures are drawn by hand:
//
//   // a comment
//   height 7
//   > A
//   .###.
//   #...#
//
// "height N" sets the number of rows of every following entry (7 when absent). An entry
// is a "> key" line followed by exactly that many rows of equal width. In a row "." is a
// dark dot, "#" a lit dot (coloured later), "R", "G" and "Y" red, green and yellow dots.
// Keys must be unique within a file.
class ArtFile {
public:
    // Parses text; on failure returns false and sets error to "<source>:<line>: <reason>".
    bool Parse(const QString& text, const QString& source);
    bool Load(const QString& path);

    const std::vector<ArtEntry>& Entries() const { return entries; }
    const QString& Error() const { return error; }
    const ArtEntry* Find(const QString& key) const;

private:
    bool Fail(int line, const QString& reason);
    bool FinishEntry();

    QString sourceName;
    std::vector<ArtEntry> entries;
    QString error;
    QString pendingKey;
    int pendingLine = 0;
    std::vector<QString> pendingRows;
    int rowsPerEntry = 7;
    bool inEntry = false;
};

} // namespace vexa::datagen
