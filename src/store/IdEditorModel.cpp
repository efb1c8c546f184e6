#include "store/IdEditorModel.h"

#include "store/CIdList.h"
#include "store/LanguageTexts.h"

namespace vexa {

namespace {

using Text = LanguageTexts::Text;

bool IsSignId(int id) {
    return id >= 1 && id <= CIdList::MaxId;
}

IdEditorModel::Outcome Refused(const QString& message, const QString& caption = QString(),
                               bool warning = false) {
    return {false, message, caption, warning, {}};
}

} // namespace

IdEditorModel::IdEditorModel(CIdList& signList, int dialogStyle, int selected, EnsureMessageFile ensure,
                             const LanguageTexts* languageTexts)
    : list(signList), style(dialogStyle), nowSelId(selected), ensureFile(std::move(ensure)),
      texts(languageTexts) {}

int IdEditorModel::InitialId() const {
    return style == ModifyStyle && IsSignId(nowSelId) ? nowSelId : 1;
}

QString IdEditorModel::InitialName() const {
    if (style != ModifyStyle)
        return QString::fromLatin1(DefaultName);
    return list.entries[static_cast<size_t>(InitialId())].name;
}

QString IdEditorModel::IdOutOfRangeText(const LanguageTexts* texts) {
    return LanguageTexts::Say(texts, Text::Id256Refused);
}

IdEditorModel::Outcome IdEditorModel::Accept(int first, int second, const QString& name, bool autoAdd,
                                             bool renameConfirmed) {
    switch (style) {
    case AddStyle:
        return autoAdd ? AddRange(first, second) : AddOne(first, name, renameConfirmed);
    case ModifyStyle:
        return Rename(InitialId(), name);
    default:
        return Refused(QStringLiteral("Dialog style error"));
    }
}

IdEditorModel::Outcome IdEditorModel::AddRange(int first, int second) {
    if (first >= second)
        return Refused(LanguageTexts::Say(texts, Text::IdOrderRefused),
                       LanguageTexts::Say(texts, Text::CaptionWarning), true);
    if (!IsSignId(first) || !IsSignId(second))
        return Refused(IdOutOfRangeText(texts), LanguageTexts::Say(texts, Text::CaptionWarning), true);
    // Signs already in the list keep their names, ticks and messages.
    for (int id = first; id <= second; ++id) {
        if ((list.entries[static_cast<size_t>(id)].groupMask & 1u) == 0)
            AddSign(id, QString::fromLatin1(DefaultName));
    }
    return Save({true, {}, {}, false, {}});
}

IdEditorModel::Outcome IdEditorModel::AddOne(int id, const QString& name, bool renameConfirmed) {
    if (name.isEmpty())
        return Refused(LanguageTexts::Say(texts, Text::NameEmpty));
    if (!IsSignId(id))
        return Refused(IdOutOfRangeText(texts), LanguageTexts::Say(texts, Text::CaptionWarning), true);
    // An ID of a sign in the list would silently lose that sign's name.
    const CIdList::Entry& present = list.entries[static_cast<size_t>(id)];
    const QString newName = CIdList::Truncated(name);
    if ((present.groupMask & 1u) != 0 && present.name != newName && !renameConfirmed) {
        Outcome ask;
        ask.question = LanguageTexts::Say(texts, Text::SignRenameQuestion)
                           .arg(QString::number(id), present.name, newName);
        return ask;
    }
    AddSign(id, name);
    return Save({true, {}, {}, false, {}});
}

IdEditorModel::Outcome IdEditorModel::Rename(int id, const QString& name) {
    if (name.isEmpty())
        return Refused(LanguageTexts::Say(texts, Text::NameEmpty));
    list.entries[static_cast<size_t>(id)].name = CIdList::Truncated(name);
    return Save({true, {}, {}, false, {}});
}

void IdEditorModel::AddSign(int id, const QString& name) {
    CIdList::Entry& entry = list.entries[static_cast<size_t>(id)];
    entry.name = CIdList::Truncated(name);
    entry.groupMask |= 1u;
    entry.checkMask |= 1u;
    added.append(id);
}

// The list is saved and the message files of the added signs made to exist (files that
// are there already stay as they are).
IdEditorModel::Outcome IdEditorModel::Save(const Outcome& ok) {
    if (!list.SaveIdList())
        return Refused(LanguageTexts::Say(texts, Text::SignListSaveFailed),
                       LanguageTexts::Say(texts, Text::CaptionError), true);
    bool filesOk = true;
    for (int id : std::as_const(added))
        filesOk = (!ensureFile || ensureFile(id)) && filesOk;
    added.clear();
    if (!filesOk)
        return {true,
                LanguageTexts::Say(texts, Text::MessageFileCreateFailed),
                LanguageTexts::Say(texts, Text::CaptionError),
                true,
                {}};
    return ok;
}

} // namespace vexa
