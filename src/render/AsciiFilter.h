#pragma once

class QTextDocument;

namespace vexa {

// The ASCII-only mode of the rich text field: after every change, every character with a code
// of 127 or more is removed (tabs and other control characters below 127 stay, and so do the
// document's paragraph and line separators). The formats of the remaining characters are kept.
class AsciiFilter {
public:
    static constexpr char16_t FirstRemovedCode = 127;

    // Removes the characters in one edit block. The selection positions are moved left by the
    // characters removed before them and kept inside the document; either pointer may be null.
    // Returns whether anything was removed. The removal changes the document, so a caller that
    // runs the filter from the document's change notification must not re-enter it.
    static bool Apply(QTextDocument& document, int* selectionStart, int* selectionEnd);

    static bool IsRemoved(char16_t code);
};

} // namespace vexa
