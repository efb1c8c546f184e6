#include "app/SignViewModel.h"

#include "store/LanguageTexts.h"

#include <algorithm>

namespace vexa {

void SignViewModel::SetProgramme(SharedProgramme shown, QStringList texts) {
    programme = std::move(shown);
    notes = std::move(texts);
    const qint64 duration = DurationMs();
    position = duration > 0 ? std::clamp<qint64>(position, 0, duration - 1) : 0;
}

void SignViewModel::Advance(qint64 elapsedMs) {
    const qint64 duration = DurationMs();
    if (!playing || duration <= 0 || elapsedMs <= 0)
        return;
    position = (position + elapsedMs) % duration;
}

void SignViewModel::Seek(qint64 ms) {
    const qint64 duration = DurationMs();
    position = duration > 0 ? std::clamp<qint64>(ms, 0, duration - 1) : 0;
}

void SignViewModel::Step(int direction) {
    playing = false;
    const int count = programme ? programme->StepCount() : 0;
    if (count == 0)
        return;
    const int next = ((CurrentStep() + (direction < 0 ? -1 : 1)) % count + count) % count;
    position = programme->Steps()[size_t(next)].startMs;
}

int SignViewModel::CurrentStep() const {
    return programme ? programme->StepAt(position) : -1;
}

qint64 SignViewModel::UntilNextStep() const {
    const int step = CurrentStep();
    if (!playing || step < 0)
        return 0;
    const PlaybackStep& shown = programme->Steps()[size_t(step)];
    return std::max<qint64>(1, shown.startMs + shown.durationMs - position);
}

int SignViewModel::ShownRow() const {
    const int step = CurrentStep();
    return step < 0 ? -1 : programme->Steps()[size_t(step)].row;
}

QString SignViewModel::RowText(const LanguageTexts* texts) const {
    const int step = CurrentStep();
    if (step < 0)
        return LanguageTexts::Say(texts, LanguageTexts::Text::SignNothing);
    const PlaybackStep& shown = programme->Steps()[size_t(step)];
    return LanguageTexts::Say(texts, LanguageTexts::Text::SignRowPage)
        .arg(shown.row + 1)
        .arg(shown.page + 1)
        .arg(programme->PageCount(step));
}

QString SignViewModel::Clock(qint64 ms) {
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000)
        .arg((ms / 1000) % 60, 2, 10, QLatin1Char('0'))
        .arg((ms / 100) % 10);
}

QString SignViewModel::TimeText() const {
    return Clock(position) + QStringLiteral(" / ") + Clock(DurationMs());
}

} // namespace vexa
