#include "link/IdCommandModel.h"

#include "link/SignLink.h"
#include "store/LanguageTexts.h"

namespace vexa {

int IdCommandModel::ParseId(const QString& text) {
    bool ok = false;
    const int id = text.trimmed().toInt(&ok);
    return ok ? id : 0;
}

QString IdCommandModel::CheckSet(int current, int next, const LanguageTexts* texts) {
    if (current < 1 || current > ListCount || next < 1 || next > ListCount)
        return LanguageTexts::Say(texts, LanguageTexts::Text::IdOutOfRange);
    // The frame carries the ID in one byte: 256 would reach the sign as 0.
    if (current == ListCount || next == ListCount)
        return LanguageTexts::Say(texts, LanguageTexts::Text::Id256Refused);
    return {};
}

QString IdCommandModel::ReadText(bool ok, const LanguageTexts* texts) {
    return LanguageTexts::Say(texts, ok ? LanguageTexts::Text::IdSuccess : LanguageTexts::Text::IdReadFailed);
}

QString IdCommandModel::SetText(bool ok, const LanguageTexts* texts) {
    return LanguageTexts::Say(texts, ok ? LanguageTexts::Text::IdSuccess : LanguageTexts::Text::IdSetFailed);
}

void IdCommandModel::StartRead() {
    link.ReadId();
}

IdCommandModel::ReadOutcome IdCommandModel::FinishRead() {
    link.ClosePort();
    const bool ok = link.readIdDone.load() != 0;
    return {ok, ok ? link.currentId.load() : 0};
}

void IdCommandModel::StartSet(int current, int next) {
    link.SetId(current, next);
}

bool IdCommandModel::FinishSet() {
    link.ClosePort();
    return link.setIdDone.load() != 0;
}

} // namespace vexa
