#include "render/AsciiFilter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>
#include <vector>

namespace vexa {

namespace {

// Ranges [first, last) of document positions to remove, in ascending order.
std::vector<std::pair<int, int>> RemovedRanges(const QTextDocument& document) {
    std::vector<std::pair<int, int>> ranges;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString text = fragment.text();
            for (int k = 0; k < text.size(); ++k) {
                if (!AsciiFilter::IsRemoved(text.at(k).unicode()))
                    continue;
                const int position = fragment.position() + k;
                if (!ranges.empty() && ranges.back().second == position)
                    ranges.back().second = position + 1;
                else
                    ranges.emplace_back(position, position + 1);
            }
        }
    }
    return ranges;
}

int MovedPosition(int position, const std::vector<std::pair<int, int>>& ranges, int length) {
    int removedBefore = 0;
    for (const auto& [first, last] : ranges) {
        if (first >= position)
            break;
        removedBefore += std::min(last, position) - first;
    }
    return std::clamp(position - removedBefore, 0, length);
}

} // namespace

bool AsciiFilter::IsRemoved(char16_t code) {
    if (code < FirstRemovedCode)
        return false;
    // Structure of the document, not typed text.
    return code != QChar::ParagraphSeparator && code != QChar::LineSeparator && code != 0xFDD0 &&
           code != 0xFDD1;
}

bool AsciiFilter::Apply(QTextDocument& document, int* selectionStart, int* selectionEnd) {
    const std::vector<std::pair<int, int>> ranges = RemovedRanges(document);
    if (ranges.empty())
        return false;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        cursor.setPosition(it->first);
        cursor.setPosition(it->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
    const int length = std::max(0, document.characterCount() - 1);
    if (selectionStart)
        *selectionStart = MovedPosition(*selectionStart, ranges, length);
    if (selectionEnd)
        *selectionEnd = MovedPosition(*selectionEnd, ranges, length);
    return true;
}

} // namespace vexa
