#pragma once

#include <QRgb>
#include <QString>
#include <array>

namespace vexa {

// The nine text colours the editors offer, in the order of their colour list: the colour
// given to the selected characters and the number of the icon that pictures it. What a
// sign makes of each colour (one colour or three bands) is TextRasteriser::ColourBands.
class TextColourList {
public:
    static constexpr int Count = 9;

    struct Entry {
        int iconId;  // icon resource number (UiPictures draws it)
        QRgb colour; // opaque RGB
    };

    // The entry at index 0..8.
    static const Entry& At(int index);
    static bool IsValid(int index) { return index >= 0 && index < Count; }
    // The first entry whose colour equals colour (alpha ignored), -1 for none.
    static int IndexOf(QRgb colour);
    // The entry whose icon is iconId, -1 for none.
    static int IndexOfIcon(int iconId);
    // A spoken name of the entry from the bands the sign shows: "Red", or
    // "Green, yellow and red bands". Empty outside 0..8.
    static QString Name(int index);
};

} // namespace vexa
