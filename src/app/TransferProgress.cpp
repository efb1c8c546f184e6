#include "app/TransferProgress.h"

namespace vexa {

TransferProgress::Report TransferProgress::Decode(qintptr wParam, qintptr lParam) {
    Report report;
    report.percent = static_cast<int>(wParam);
    report.ended = (lParam & 0xFFFF) == 1;
    report.result = static_cast<int>((lParam >> 16) & 0xFFFF);
    return report;
}

int TransferProgress::Step(int position, int target) {
    if (position >= target)
        return position;
    return position + (target - position) / 4;
}

bool TransferProgress::IsFailureReport(qintptr lParam) {
    return lParam >= 65536 && lParam <= 327679;
}

} // namespace vexa
