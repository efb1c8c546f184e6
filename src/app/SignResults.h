#pragma once

#include "link/SignLink.h"

#include <QList>
#include <QString>

namespace vexa {

class LanguageTexts;

// The per-sign outcome of a multi-sign send or a group operation, as the status bar and
// the command line tell it: which signs were sent and which failed, and why.
class SignResults {
public:
    using Result = SignLink::IdResult;

    // "ID 3: OK!" / "ID 5: Send Failure!"
    static QString Line(const Result& result);
    // "Sent: 3, 9. Failed: 5 (Send Failure!)" in the language of texts (English without);
    // empty for no results. A group operation (SignLink::GroupOperation) names itself:
    // "Power off: 3, 9.", "Group send: 3, 9."; NoGroup is a chain of sends.
    static constexpr int NoGroup = -1;
    static QString Summary(const QList<Result>& results, const LanguageTexts* texts = nullptr,
                           int groupOperation = NoGroup);
};

} // namespace vexa
