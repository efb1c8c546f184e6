#pragma once

#include "app/CVexaApp.h"

#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <memory>

namespace vexa {

// What every verb of the command line shares: global options, the application context
// (made on first use) and the output helpers. Errors go to stderr, data to stdout.
class CliContext {
public:
    QString dataDir;  // --data-dir
    int codePage = 0; // --codepage (0: from System.set, else 1252)

    CVexaApp& App();

    static void PrintLine(const QString& text);
    static void PrintError(const QString& text);
    static void PrintJson(const QJsonDocument& document);

    // Exit codes of usage errors and of failures the verb itself detects.
    static constexpr int UsageError = 2;
    static constexpr int Failure = 1;
    // Nothing was sent: the message file could not be read or is none, or a row could not
    // be prepared (its bitmap not written, a glyph folder missing, ...).
    static constexpr int NotPrepared = 7;

private:
    std::unique_ptr<CVexaApp> app;
};

} // namespace vexa
