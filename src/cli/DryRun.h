#pragma once

#include "link/TransferPlan.h"

#include <QJsonObject>
#include <QString>
#include <optional>

namespace vexa {

class VerbParser;

// --dry-run and --raw FILE of every verb that talks to signs: what the verb would write,
// frame by frame ("#index  +offset  length  label", a hex dump, the pause after it), and
// the totals with the predicted duration; with --json the same as one object. No port is
// opened. The flag behaves alike in every verb: the verb checks its arguments and prepares
// its data as for a real run, then prints the plan instead of sending it.
class DryRun {
public:
    static void AddOptions(VerbParser& parser);
    static bool Requested(const VerbParser& parser);
    // A usage error (exit status 2, printed) when --raw comes without --dry-run.
    static std::optional<int> CheckOptions(const VerbParser& parser, const QString& verb);

    // Prints the plan and writes the --raw file; 0, or 1 when the raw file cannot be written.
    static int Report(const VerbParser& parser, const QString& verb, const QString& port,
                      const TransferPlan& plan, bool json);

    // Prints the warning lines of the rows the real run would warn about, as it prints
    // them; with strict and any line, says nothing is sent and gives the --strict exit
    // status. 0 otherwise.
    static int ReportWarnings(const QString& verb, const QStringList& lines, bool strict);

    static QString Text(const QString& verb, const QString& port, const TransferPlan& plan);
    static QJsonObject Json(const QString& verb, const QString& port, const TransferPlan& plan);
    // 16 bytes a line: offset, the bytes in hex, the printable ones as text.
    static QStringList HexDump(const QByteArray& bytes);
};

} // namespace vexa
