#pragma once

#include <QList>
#include <QRgb>
#include <QString>

namespace vexa {

// Character format of one character of rich text: what the renderer draws with and what
// splits text into runs. Sizes are kept in twentieths of a point, as RTF stores them.
struct CharFormat {
    // The colour text without a colour of its own (RTF's automatic colour) is drawn in: the
    // text editor's default colour, which every sign lights. Black would be dark on the sign.
    static constexpr QRgb AutoColour = 0xFFFFFF00u;

    QString face;             // font face name (at most 31 characters are used)
    int sizeTwips = 240;      // size in twentieths of a point; whole points = cell height in dots
    QRgb colour = 0xFF000000; // text colour, opaque (qRgb)
    bool autoColour = false;  // no colour of its own: drawn in AutoColour, written back as automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int charset = 0; // RTF \fcharset of the face (0 ANSI, 134 GB2312, 136 Big5, ...)

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

// Plain text plus one CharFormat per UTF-16 code unit. Paragraph ends are kept as "\r".
struct RichText {
    QString text;
    QList<CharFormat> formats; // formats.size() == text.size()

    bool IsValid() const { return formats.size() == text.size(); }
    void Append(const QString& chars, const CharFormat& format) {
        text += chars;
        for (qsizetype i = 0; i < chars.size(); ++i)
            formats.append(format);
    }
    void Append(QChar unit, const CharFormat& format) {
        text += unit;
        formats.append(format);
    }
};

} // namespace vexa
