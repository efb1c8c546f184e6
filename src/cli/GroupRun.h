#pragma once

#include "link/SignLink.h"

#include <QList>

namespace vexa {

class LinkSession;
class VerbParser;

// Runs the engine's group operation for ids and prints the outcome of every sign, one
// line each ("ID 3: OK!", failures on stderr) or with json one JSON array of one object
// per sign, then "%d Send failed" when some failed. Returns the exit status.
class GroupRun {
public:
    static int Run(LinkSession& session, const QList<int>& ids, int operation, bool json);
    // The same operation as a dry run: its plan printed, nothing sent. The rows a send
    // would warn about are printed as the send prints them; strict makes them an error.
    static int PrintPlan(LinkSession& session, const QString& verb, const VerbParser& parser,
                         const QList<int>& ids, int operation, bool json, bool strict = false);
    // The per-sign lines or JSON of a group operation or a multi-sign send.
    static void PrintResults(const QList<SignLink::IdResult>& results, bool json);
};

} // namespace vexa
