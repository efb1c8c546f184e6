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
    if (!app.settingsFile.SetLedType(newName))
        return Result::Failed;
    if (!ModelCatalogue::ModelGroupChanged(oldName, newName))
        return Result::MessagesKept;
    // A model whose template could not take the place of the old messages is taken back,
    // so the stored model and the sign's file never disagree.
    const int id = app.SelectedSign();
    if (!WorkFiles::ResetWorkFile(app, id, newName)) {
        app.settingsFile.SetLedType(oldName);
        return Result::Failed;
    }
    app.messageTable.OpenMessageFile(app.Paths().WorkFilePath(id));
    return Result::FileReset;
}

} // namespace vexa
