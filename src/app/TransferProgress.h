#pragma once

#include <QString>
#include <QtGlobal>

namespace vexa {

// The main window's view of a running transfer: the progress bar closing in on the
// engine's reported percentage, and the decoding of the engine's end report.
class TransferProgress {
public:
    // What a progress message (1124) says.
    struct Report {
        int percent = 0;
        bool ended = false; // low word of lParam is 1
        int result = 0;     // high word of lParam, meaningful when ended
    };

    static Report Decode(qintptr wParam, qintptr lParam);

    // One tick of the progress timer: a quarter of the remaining way (integer division),
    // so the bar stays up to 3 short of the target until the end report sets it exactly.
    static int Step(int position, int target);

    // The end reports that are followed by an error box: results 1 to 4.
    static bool IsFailureReport(qintptr lParam);
};

} // namespace vexa
