#pragma once

#include "render/RowFindings.h"
#include "render/SendPreparation.h"

#include <QCommandLineOption>
#include <QJsonArray>
#include <QStringList>

namespace vexa {

// The row check on the command line: `warning: row N: ...` lines on stderr for the rows a
// sign receives, each row's findings as JSON, and --strict, which makes any warning an
// error (exit status RowsWarned, nothing written or sent).
class RowWarnings {
public:
    static constexpr int RowsWarned = 6;

    static QCommandLineOption StrictOption();
    // One "warning: " line per line of the row check (SendPreparation::WarningLines).
    static void Print(const QStringList& lines);
    static void Print(const QList<SendPreparation::RowWarning>& warnings);
    // The findings as a JSON array of {kind, message, subjects}.
    static QJsonArray Json(const RowFindings& findings);
};

} // namespace vexa
