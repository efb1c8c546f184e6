#include "link/IdCommandModel.h"

#include "link/ReplyBuffer.h"
#include "link/SignLink.h"
#include "store/LanguageTexts.h"

#include <QStringList>

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

QString IdCommandModel::FailureReason(const QByteArray& replies, const LanguageTexts* texts) {
    using Text = LanguageTexts::Text;
    if (replies.isEmpty())
        return LanguageTexts::Say(texts, Text::IdNoAnswer);
    const QList<int> ids = ReplyBuffer::AnsweredIds(replies);
    if (ids.size() > 1) {
        QStringList numbers;
        for (int id : ids)
            numbers << QString::number(id);
        return LanguageTexts::Say(texts, Text::IdSeveralAnswered).arg(numbers.join(QStringLiteral(", ")));
    }
    return LanguageTexts::Say(texts, Text::IdReplyNotUnderstood)
        .arg(QString::fromLatin1(replies.toHex(' ').toUpper()));
}

// A port that did not open is named as such: "no sign answered" would send the operator
// looking at the signs instead of the port.
QString IdCommandModel::Reason(const LanguageTexts* texts) const {
    if (link.LastOpenFailed())
        return LanguageTexts::Say(texts, LanguageTexts::Text::IdPortNotOpened).arg(link.LastOpenFailure());
    return FailureReason(link.ReplyBytes(), texts);
}

IdCommandModel::ReadOutcome IdCommandModel::FinishRead(const LanguageTexts* texts) {
    link.ClosePort();
    if (link.readIdDone.load() != 0)
        return {true, link.currentId.load(), {}};
    return {false, 0, Reason(texts)};
}

void IdCommandModel::StartSet(int current, int next) {
    link.SetId(current, next);
}

IdCommandModel::ReadOutcome IdCommandModel::FinishSet(const LanguageTexts* texts) {
    link.ClosePort();
    if (link.setIdDone.load() != 0)
        return {true, link.currentId.load(), {}};
    return {false, 0, Reason(texts)};
}

} // namespace vexa
