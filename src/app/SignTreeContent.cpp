#include "app/SignTreeContent.h"

#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "store/CIdList.h"
#include "store/LanguageTexts.h"

namespace vexa {

namespace {

bool InGroupZero(const CIdList::Entry& entry) {
    return entry.groupMask != 0 && (entry.groupMask & 1u) != 0;
}

} // namespace

SignTreeContent SignTreeContent::Build(const CIdList& list, const ScanMarks* marks) {
    SignTreeContent content;
    content.rootChecked = (list.groupCheck & 1u) != 0;
    for (int id = 1; id <= CIdList::MaxId; ++id) {
        const CIdList::Entry& entry = list.entries[static_cast<size_t>(id)];
        if (!InGroupZero(entry))
            continue;
        const bool checked = (entry.checkMask & 1u) != 0;
        const ScanMarks::Mark mark = marks ? marks->For(id) : ScanMarks::Mark::None;
        content.signs.append({id, QStringLiteral("%1.%2").arg(id).arg(entry.name), checked, mark});
    }
    return content;
}

int SignTreeContent::FirstSignId(const CIdList& list) {
    for (int id = 1; id <= CIdList::MaxId; ++id) {
        if (InGroupZero(list.entries[static_cast<size_t>(id)]))
            return id;
    }
    return 0;
}

void SignTreeContent::ApplyTick(CIdList& list, int id, bool checked) {
    const auto apply = [checked](quint32& mask) { mask = checked ? (mask | 1u) : (mask & ~1u); };
    if (id == 0) {
        apply(list.groupCheck);
        for (int sign = 1; sign <= CIdList::MaxId; ++sign)
            apply(list.entries[static_cast<size_t>(sign)].checkMask);
        return;
    }
    if (id >= 1 && id <= CIdList::MaxId)
        apply(list.entries[static_cast<size_t>(id)].checkMask);
}

bool SignTreeContent::IsTicked(const CIdList& list, int id) {
    if (id == 0)
        return (list.groupCheck & 1u) != 0;
    return id >= 1 && id <= CIdList::MaxId && (list.entries[static_cast<size_t>(id)].checkMask & 1u) != 0;
}

QString SignTreeContent::RemoveQuestion(const CIdList& list, int id, const LanguageTexts* texts) {
    const QString name =
        id >= 1 && id <= CIdList::MaxId ? list.entries[static_cast<size_t>(id)].name : QString();
    return LanguageTexts::Say(texts, LanguageTexts::Text::SignRemoveQuestion).arg(QString::number(id), name);
}

bool SignTreeContent::RemoveFromTree(CIdList& list, int id) {
    if (id < 1 || id > CIdList::MaxId)
        return false;
    list.entries[static_cast<size_t>(id)].groupMask = 0;
    return true;
}

bool SignTreeContent::PasteSign(CVexaApp& app, int source, int target) {
    if (source < 1 || source > CIdList::MaxId || target < 1 || target > CIdList::MaxId || source == target)
        return false;
    return WorkFiles::CopyReplacing(app.Paths().WorkFilePath(source), app.Paths().WorkFilePath(target));
}

bool SignTreeContent::SelectSign(CVexaApp& app, int id) {
    if (id == app.SelectedSign())
        return false;
    app.messageTable.SaveParams();
    app.SetSelectedSign(id);
    const QString path = WorkFiles::EnsureWorkFile(app, id, false);
    WorkFiles::OpenWorkFile(app, path);
    return true;
}

} // namespace vexa
