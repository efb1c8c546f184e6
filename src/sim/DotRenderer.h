#pragma once

#include "core/ModelCatalogue.h"
#include "core/SignColours.h"

#include <QByteArrayView>
#include <QImage>

namespace vexa {

// Turns the dot bytes of one received message back into a picture of the sign's dots (one
// pixel per dot, black where dark, lit dots in the colours previews draw them): 1-bit rows
// (most significant bit leftmost) in the LED colour, one colour plane per data set, or 2-bit
// pages with the family's levels. Character-code models carry no dots and give a null image.
class DotRenderer {
public:
    // set: 0 or 1, the data set (pass) the bytes came in; it picks the plane colour.
    static QImage Render(const DisplayModel& model, QByteArrayView data, int set,
                         LedColour led = LedColour::Red);
    // The text a character-code sign received (one byte a character), drawn with the glyph
    // files of the Data folder as that sign's own font draws it; null for no text.
    static QImage RenderCharacters(const DisplayModel& model, QByteArrayView data, const QString& dataDir,
                                   LedColour led = LedColour::Red);
    // Red and green planes of the same message drawn together (yellow where both are lit).
    static QImage Combine(const QImage& red, const QImage& green);

private:
    static QImage RenderRows(QByteArrayView data, int height, QRgb lit);
    static QImage RenderPages(const DisplayModel& model, QByteArrayView data);
};

} // namespace vexa
