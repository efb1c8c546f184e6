#include "app/WorkFiles.h"

#include "app/CVexaApp.h"
#include "core/ModelCatalogue.h"
#include "store/AtomicFile.h"
#include "store/ResourceFiles.h"

#include <QFile>
#include <QFileInfo>

namespace vexa {

bool WorkFiles::WriteTemplate(int templateId, const QString& path) {
    return ResourceFiles::WriteResourceFile(QStringLiteral("FILES"), templateId, path);
}

QString WorkFiles::EnsureWorkFile(CVexaApp& app, int id, bool overwrite) {
    const int templateId = ModelCatalogue::TemplateFor(app.settingsFile.LedType());
    const QString path = app.Paths().WorkFilePath(id);
    if (overwrite || !QFileInfo::exists(path))
        WriteTemplate(templateId, path);
    return path;
}

bool WorkFiles::CopyReplacing(const QString& source, const QString& target) {
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath() &&
        QFileInfo::exists(target))
        return true;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    return AtomicFile::Write(target, bytes) == AtomicFile::Result::Ok;
}

bool WorkFiles::NewFile(CVexaApp& app) {
    const int id = app.settingsFile.NowSelID();
    const QString path = EnsureWorkFile(app, id, true);
    return app.messageTable.OpenMessageFile(path);
}

bool WorkFiles::OpenFile(CVexaApp& app, const QString& chosenPath) {
    CMessageTable& table = app.messageTable;
    table.SaveParams();
    if (!CopyReplacing(chosenPath, table.MessageFilePath()))
        return false;
    return table.OpenMessageFile(table.MessageFilePath());
}

bool WorkFiles::SaveFileAs(CVexaApp& app, const QString& targetPath) {
    CMessageTable& table = app.messageTable;
    table.SaveParams();
    return CopyReplacing(table.MessageFilePath(), targetPath);
}

} // namespace vexa
