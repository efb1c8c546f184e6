#include "playback/PlaybackProgramme.h"

#include <algorithm>

namespace vexa {

PlaybackProgramme::PlaybackProgramme(const std::vector<PlaybackInput>& inputs, const SignGeometry& geometry)
    : sign(geometry) {
    for (const PlaybackInput& input : inputs) {
        RowPlayback row(input, sign);
        if (row.Steps().empty())
            continue;
        for (PlaybackStep step : row.Steps()) {
            step.startMs += int(duration);
            steps.push_back(step);
            owner.push_back(int(rows.size()));
        }
        duration += row.DurationMs();
        rows.push_back(std::move(row));
    }
}

int PlaybackProgramme::PageCount(int stepIndex) const {
    if (stepIndex < 0 || stepIndex >= StepCount())
        return 0;
    return rows[static_cast<size_t>(owner[static_cast<size_t>(stepIndex)])].PageCount();
}

int PlaybackProgramme::StepAt(qint64 ms) const {
    if (steps.empty() || duration <= 0)
        return -1;
    const qint64 at = ((ms % duration) + duration) % duration;
    const auto after = std::upper_bound(steps.begin(), steps.end(), at,
                                        [](qint64 t, const PlaybackStep& step) { return t < step.startMs; });
    return int(after - steps.begin()) - 1;
}

void PlaybackProgramme::Render(int stepIndex, QImage& target) const {
    if (stepIndex < 0 || stepIndex >= StepCount()) {
        if (target.size() != QSize(sign.columns, sign.rows) || target.format() != QImage::Format_RGB32)
            target = QImage(sign.columns, sign.rows, QImage::Format_RGB32);
        target.fill(sign.DarkArgb());
        return;
    }
    const auto index = static_cast<size_t>(stepIndex);
    rows[static_cast<size_t>(owner[index])].Render(steps[index], target);
}

QImage PlaybackProgramme::Frame(int stepIndex) const {
    QImage frame;
    Render(stepIndex, frame);
    return frame;
}

} // namespace vexa
