#include "app/ScanMarks.h"

#include "store/CIdList.h"
#include "store/LanguageTexts.h"

#include <QStringList>

namespace vexa {

void ScanMarks::Take(const CIdList& list) {
    answered.clear();
    for (int id = 1; id <= CIdList::MaxId; ++id) {
        if (list.entries[static_cast<size_t>(id)].scanState == 1)
            answered.append(id);
    }
    scanned = true;
}

void ScanMarks::Clear() {
    answered.clear();
    scanned = false;
}

ScanMarks::Mark ScanMarks::For(int id) const {
    if (!scanned)
        return Mark::None;
    return answered.contains(id) ? Mark::Answered : Mark::NoAnswer;
}

QString ScanMarks::Summary(const LanguageTexts* texts) const {
    using Text = LanguageTexts::Text;
    if (!scanned)
        return {};
    if (answered.isEmpty())
        return LanguageTexts::Say(texts, Text::ScanNoAnswer);
    QStringList ids;
    for (int id : answered)
        ids << QString::number(id);
    const QString list = ids.join(QStringLiteral(", "));
    if (answered.size() == 1)
        return LanguageTexts::Say(texts, Text::ScanOneAnswered).arg(list);
    return LanguageTexts::Say(texts, Text::ScanManyAnswered).arg(answered.size()).arg(list);
}

QString ScanMarks::MarkText(Mark mark, const LanguageTexts* texts) {
    switch (mark) {
    case Mark::Answered:
        return LanguageTexts::Say(texts, LanguageTexts::Text::ScanMarkAnswered);
    case Mark::NoAnswer:
        return LanguageTexts::Say(texts, LanguageTexts::Text::ScanMarkNoAnswer);
    case Mark::None:
        break;
    }
    return {};
}

} // namespace vexa
