#pragma once

#include <QList>
#include <QRgb>
#include <QString>

namespace vexa {

// One run of RTF text drawn with one font: uniform character format, or exactly one
// animation token "[GIF_nnn]".
struct TextRun {
    static constexpr int MaxFaceLength = 31;

    QString text;
    QString faceName; // at most 31 characters
    int size = 0;     // whole points = cell height in dots
    QRgb colour = 0;  // opaque RGB
    int bold = 0;     // 1 when bold
    int italic = 0;
    int underline = 0;
    int charset = 0; // RTF \fcharset of the face; CJK sets pick a CJK substitute face

    friend bool operator==(const TextRun&, const TextRun&) = default;
};

using TextRunList = QList<TextRun>;

} // namespace vexa
