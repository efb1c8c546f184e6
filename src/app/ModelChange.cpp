#include "app/ModelChange.h"

#include "app/CVexaApp.h"
#include "core/ModelCatalogue.h"
#include "app/WorkFiles.h"

namespace vexa {

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
