#pragma once

#include "playback/PlaybackInput.h"
#include "playback/RowPlayback.h"
#include "playback/SignGeometry.h"

#include <QImage>
#include <memory>
#include <vector>

namespace vexa {

// What a sign shows for a list of rows, one after the other, looping: the steps of every
// row with their start in the programme, and the frame of each step. Rows without dots
// are left out. A programme does not change once built; players share it.
class PlaybackProgramme {
public:
    PlaybackProgramme() = default;
    PlaybackProgramme(const std::vector<PlaybackInput>& rows, const SignGeometry& sign);

    const SignGeometry& Sign() const { return sign; }
    // Every step, startMs counted from the start of the programme.
    const std::vector<PlaybackStep>& Steps() const { return steps; }
    int StepCount() const { return int(steps.size()); }
    qint64 DurationMs() const { return duration; }
    bool IsEmpty() const { return steps.empty(); }
    // The pages of the row a step belongs to.
    int PageCount(int stepIndex) const;

    // The step shown at a time, taken modulo the duration (the programme loops); -1 when
    // the programme is empty.
    int StepAt(qint64 ms) const;
    // The frame of a step: columns x rows RGB32 in sign colours (all dark when empty).
    void Render(int stepIndex, QImage& target) const;
    QImage Frame(int stepIndex) const;

private:
    SignGeometry sign;
    std::vector<RowPlayback> rows;
    std::vector<PlaybackStep> steps;
    std::vector<int> owner; // per step, its entry in rows
    qint64 duration = 0;
};

using SharedProgramme = std::shared_ptr<const PlaybackProgramme>;

} // namespace vexa
