#pragma once

#include <QList>

namespace vexa {

class LinkSession;

// Runs the engine's group operation for ids and prints the outcome the way the editor
// reports it ("OK!", "%d Send failed", or the result text). Returns the exit status.
class GroupRun {
public:
    static int Run(LinkSession& session, const QList<int>& ids, int operation);
};

} // namespace vexa
