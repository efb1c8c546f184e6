#include "link/TransferPlan.h"

#include "link/LinePacer.h"
#include "link/WritePacing.h"
#include "store/LanguageTexts.h"

#include <algorithm>
#include <cmath>

namespace vexa {

std::vector<TransferPlan::StepTime> TransferPlan::Times() const {
    std::vector<StepTime> times;
    qint64 offset = 0;
    double clock = 0;
    for (const Part& part : parts) {
        for (const FrameStep& step : part.steps) {
            StepTime t;
            t.offset = offset;
            t.startMs = clock;
            if (step.bytes.isEmpty()) {
                t.pauseMs = std::max(0, step.pauseAfterMs);
            } else {
                t.lineMs = LinePacer::Milliseconds(step.bytes.size(), line);
                t.waitMs = WritePacing::WaitMs(t.lineMs, pollMs);
                t.pauseMs = WritePacing::PauseAfterFrameMs(rows, step.pauseAfterMs);
            }
            offset += step.bytes.size();
            clock += t.waitMs + t.pauseMs;
            times.push_back(t);
        }
        clock += std::max(0, part.afterMs);
    }
    return times;
}

TransferPlan::Totals TransferPlan::Sum() const {
    Totals totals;
    const std::vector<StepTime> times = Times();
    size_t index = 0;
    for (const Part& part : parts) {
        for (const FrameStep& step : part.steps) {
            const StepTime& t = times[index++];
            totals.bytes += step.bytes.size();
            totals.frames += step.bytes.isEmpty() ? 0 : 1;
            totals.lineMs += t.lineMs;
            totals.waitMs += t.waitMs;
            totals.pauseMs += t.pauseMs;
        }
        totals.pauseMs += std::max(0, part.afterMs);
    }
    totals.predictedMs = static_cast<double>(totals.waitMs + totals.pauseMs);
    return totals;
}

QByteArray TransferPlan::Bytes() const {
    QByteArray stream;
    for (const Part& part : parts)
        for (const FrameStep& step : part.steps)
            stream += step.bytes;
    return stream;
}

void TransferPlan::Append(const TransferPlan& other) {
    parts += other.parts;
}

QString TransferPlan::AboutText(double ms, const LanguageTexts* texts) {
    using Text = LanguageTexts::Text;
    const double seconds = ms / 1000.0;
    if (seconds < 1)
        return LanguageTexts::Say(texts, Text::DurationUnderSecond);
    if (seconds < 100)
        return LanguageTexts::Say(texts, Text::DurationSeconds).arg(std::lround(seconds));
    return LanguageTexts::Say(texts, Text::DurationMinutes).arg(std::lround(seconds / 60.0));
}

} // namespace vexa
