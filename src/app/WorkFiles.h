#pragma once

#include "store/AtomicFile.h"

#include <QString>

namespace vexa {

class CVexaApp;

// Work files of the signs (WorkData/<id>.led) and the File menu's New / Open / Save,
// without their dialogs: the window asks the questions and picks the files.
class WorkFiles {
public:
    static constexpr int FirstStartTemplate = 177;

    // Writes a template resource byte for byte to path; errorText says why it could not.
    static bool WriteTemplate(int templateId, const QString& path,
                              AtomicFile::Durability durability = AtomicFile::Durability::Synced,
                              QString* errorText = nullptr);
    // Makes the sign's work file exist (or overwrites it) with the stored model's template;
    // nothing is written in a read-only context.
    static QString EnsureWorkFile(CVexaApp& app, int id, bool overwrite);
    // Writes the template of model over the sign's work file. When it cannot (a read-only
    // or full disk, a read-only context) the operator is told and the file stays as it was.
    static bool ResetWorkFile(CVexaApp& app, int id, const QString& model);
    // Copies source over target atomically; false when either side fails.
    static bool CopyReplacing(const QString& source, const QString& target);

    // Opens a sign's work file for the editor. A file that is there but cannot be read is
    // never written over: it is renamed to <name>.unreadable-<date>, the stored model's
    // template takes its place, and the operator is told in one message where it went.
    // False when no readable file could be opened.
    static bool OpenWorkFile(CVexaApp& app, const QString& path);
    // The name an unreadable file is kept under (free at the moment of the call).
    static QString AsideName(const QString& path);

    // File → New (after "New File？" was answered Yes): the current sign's file becomes the
    // model's template and is opened. False (told) when the template could not be written:
    // the sign's messages stay as they were.
    static bool NewFile(CVexaApp& app);
    // File → Open: the chosen file is copied over the current work file, which is reopened.
    // On failure nothing is reported: reason (when given) says why, for the one message the
    // window shows.
    static bool OpenFile(CVexaApp& app, const QString& chosenPath, QString* reason = nullptr);
    // File → Save: the current work file is copied to the chosen path.
    static bool SaveFileAs(CVexaApp& app, const QString& targetPath);
};

} // namespace vexa
