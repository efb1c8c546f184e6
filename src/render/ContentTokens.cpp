#include "render/ContentTokens.h"

#include <algorithm>
#include <limits>

namespace vexa {

std::optional<int> ContentTokens::AnimationTokenAt(QStringView text, qsizetype i) {
    if (i < 0 || i + 8 >= text.size() || text[i] != u'[' || text[i + 8] != u']')
        return std::nullopt;
    if (text.sliced(i + 1, 4) != QLatin1String("GIF_"))
        return std::nullopt;
    return DecimalValue(text.sliced(i + 5, 3));
}

std::optional<int> ContentTokens::AnimationRunNumber(QStringView runText) {
    if (runText.size() < 6 || !runText.startsWith(QLatin1String("[GIF_")) || !runText.endsWith(u']'))
        return std::nullopt;
    return DecimalValue(runText.sliced(5, std::min<qsizetype>(3, runText.size() - 5)));
}

int ContentTokens::DecimalValue(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > limit)
            value = limit;
    }
    if (negative)
        return static_cast<int>(std::max<qint64>(-value, std::numeric_limits<int>::min()));
    return static_cast<int>(std::min<qint64>(value, std::numeric_limits<int>::max()));
}

QString ContentTokens::TrimTrailing(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    return text.first(end).toString();
}

} // namespace vexa
