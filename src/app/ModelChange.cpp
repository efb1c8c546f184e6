#include "app/ModelChange.h"

#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"

namespace vexa {

bool ModelChange::WouldReplaceMessages(CVexaApp& app, const QString& newName) {
    const QString oldName = app.settingsFile.LedType();
    if (newName == oldName || !ModelCatalogue::ModelGroupChanged(oldName, newName))
        return false;
    for (int row = 0; row < CMessageTable::RowCount; ++row) {
        if (!app.messageTable.ReadContent(row).isEmpty())
            return true;
    }
    return false;
}

QString ModelChange::QuestionText(const LanguageTexts* texts) {
    return LanguageTexts::Say(texts, LanguageTexts::Text::ModelChangeQuestion);
}

ModelChange::Result ModelChange::Apply(CVexaApp& app, const QString& newName) {
    const QString oldName = app.settingsFile.LedType();
    if (newName == oldName)
        return Result::Unchanged;
    app.settingsFile.SetLedType(newName);
    if (!ModelCatalogue::ModelGroupChanged(oldName, newName))
        return Result::MessagesKept;
    const QString path = WorkFiles::EnsureWorkFile(app, app.settingsFile.NowSelID(), true);
    app.messageTable.OpenMessageFile(path);
    return Result::FileReset;
}

} // namespace vexa
