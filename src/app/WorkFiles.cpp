#include "app/WorkFiles.h"

#include "app/CVexaApp.h"
#include "core/ModelCatalogue.h"
#include "store/AtomicFile.h"
#include "store/EncodedTextReader.h"
#include "store/RegularFile.h"
#include "store/ResourceFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vexa {

bool WorkFiles::WriteTemplate(int templateId, const QString& path, AtomicFile::Durability durability,
                              QString* errorText) {
    return ResourceFiles::WriteResourceFile(QStringLiteral("FILES"), templateId, path, durability, errorText);
}

QString WorkFiles::EnsureWorkFile(CVexaApp& app, int id, bool overwrite) {
    const int templateId = ModelCatalogue::TemplateFor(app.settingsFile.LedType());
    const QString path = app.Paths().WorkFilePath(id);
    if (!app.ReadOnly() && (overwrite || !QFileInfo::exists(path)))
        WriteTemplate(templateId, path);
    return path;
}

bool WorkFiles::ResetWorkFile(CVexaApp& app, int id, const QString& model) {
    const QString path = app.Paths().WorkFilePath(id);
    QString reason = QStringLiteral("read-only");
    if (!app.ReadOnly() &&
        WriteTemplate(ModelCatalogue::TemplateFor(model), path, AtomicFile::Durability::Synced, &reason))
        return true;
    app.Report(QStringLiteral("Error"), LanguageTexts().Get(LanguageTexts::Text::MessageFileCreateFailed),
               QStringLiteral("%1: %2").arg(path, reason));
    return false;
}

bool WorkFiles::CopyReplacing(const QString& source, const QString& target) {
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath() &&
        QFileInfo::exists(target))
        return true;
    QByteArray bytes;
    if (RegularFile::ReadAll(source, EncodedTextReader::MaxFileBytes, &bytes) != RegularFile::Status::Ok)
        return false;
    return AtomicFile::Write(target, bytes) == AtomicFile::Result::Ok;
}

QString WorkFiles::AsideName(const QString& path) {
    const QString base = path + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo(name).exists() || QFileInfo(name).isSymLink(); ++n)
        name = base + QStringLiteral("-%1").arg(n);
    return name;
}

bool WorkFiles::OpenWorkFile(CVexaApp& app, const QString& path) {
    CMessageTable& table = app.messageTable;
    if (table.OpenMessageFile(path) || !QFileInfo::exists(path) || app.ReadOnly())
        return table.Loaded();
    const QString reason = table.LoadError();
    const QString aside = AsideName(path);
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0) {
        app.Report(QStringLiteral("Error"), app.texts.Get(LanguageTexts::Text::FileUnreadableLeft).arg(path),
                   reason + QStringLiteral("\n") + QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    WriteTemplate(ModelCatalogue::TemplateFor(app.settingsFile.LedType()), path);
    app.Report(QStringLiteral("Warning"),
               app.texts.Get(LanguageTexts::Text::FileUnreadableMoved).arg(path, aside), reason);
    return table.OpenMessageFile(path);
}

bool WorkFiles::NewFile(CVexaApp& app) {
    const int id = app.SelectedSign();
    if (!ResetWorkFile(app, id, app.settingsFile.LedType()))
        return false;
    return app.messageTable.OpenMessageFile(app.Paths().WorkFilePath(id));
}

bool WorkFiles::OpenFile(CVexaApp& app, const QString& chosenPath, QString* reason) {
    CMessageTable& table = app.messageTable;
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (app.ReadOnly())
        return fail(app.texts.Get(LanguageTexts::Text::ReadOnlyMark));
    table.SaveParams();
    CMessageTable chosen; // a file that cannot be read must not replace the sign's messages
    if (!chosen.OpenMessageFile(chosenPath))
        return fail(chosen.LoadError());
    if (!CopyReplacing(chosenPath, table.MessageFilePath()))
        return fail(QDir::toNativeSeparators(table.MessageFilePath()));
    return table.OpenMessageFile(table.MessageFilePath()) || fail(table.LoadError());
}

bool WorkFiles::SaveFileAs(CVexaApp& app, const QString& targetPath) {
    CMessageTable& table = app.messageTable;
    table.SaveParams();
    return CopyReplacing(table.MessageFilePath(), targetPath);
}

} // namespace vexa
