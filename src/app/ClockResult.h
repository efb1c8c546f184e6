#pragma once

#include <QString>

namespace vexa {

class LanguageTexts;

// The outcome of Synchronize Time and what the operator (or the command line) is told.
// Only an acknowledgement from the sign counts as a set clock; a frame that left the port
// unanswered is a warning, not a success.
class ClockResult {
public:
    enum Outcome {
        Acknowledged, // the sign confirmed the clock
        NotConfirmed, // the frame left the port, no acknowledgement came within the wait
        NotSent,      // the port opened but the frame did not leave it
        PortNotOpened,
    };

    static Outcome Judge(bool opened, bool frameSent, bool acknowledged);
    // The message and its caption ("Information", "Warning" or "Error") in the language of
    // texts; English without.
    static QString Text(Outcome outcome, const LanguageTexts* texts = nullptr);
    static QString Caption(Outcome outcome, const LanguageTexts* texts = nullptr);
    // Exit status of `vexa clock`: 0, 4, 3 or 1.
    static int ExitStatus(Outcome outcome);
};

} // namespace vexa
