#pragma once

#include <QString>
#include <functional>

namespace vexa {

class MessageImage;

// What a row preview shows, in words, for screen readers: "Row 1: text 'Welcome to
// Platform 3', Left, speed 3", "Row 4: empty".
class RowDescription {
public:
    // The character a glyph index of the bitmap fonts stands for; empty when unknown.
    using CharacterOf = std::function<QString(int characterIndex)>;

    static constexpr int MaxTextLength = 80; // longer texts end with an ellipsis

    // row is 0-based; effect is the effect's name, speedItem the speed box item (0 = "1").
    static QString Describe(int row, const MessageImage& image, const QString& effect, int speedItem,
                            const CharacterOf& characterOf = {});
    // The content alone: "text 'Welcome'", "date", "date and text 'Now'", "pictures a.bmp,
    // b.png", "empty".
    static QString Content(const MessageImage& image, const CharacterOf& characterOf = {});
};

} // namespace vexa
