#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace vexa {

// Small readers shared by the renderers and the packer: animation tokens inside texts,
// the decimal conversion of numbers in content strings, and trailing white space.
class ContentTokens {
public:
    static constexpr int TokenLength = 9; // "[GIF_nnn]"

    // The animation number when text holds a token "[GIF_nnn]" at position i ("[" at i,
    // "GIF_" at i+1..i+4, "]" at i+8; the number from i+5..i+7), else nothing.
    static std::optional<int> AnimationTokenAt(QStringView text, qsizetype i);

    // A run text that is one animation token: starts with "[GIF_" and ends with "]".
    static std::optional<int> AnimationRunNumber(QStringView runText);

    // Decimal conversion: leading white space, an optional sign, then digits up to the
    // first non-digit; no digits gives 0; values saturate at the int range.
    static int DecimalValue(QStringView text);

    // text without trailing Unicode white space.
    static QString TrimTrailing(QStringView text);
};

} // namespace vexa
