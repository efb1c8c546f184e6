#pragma once

#include "playback/PlaybackProgramme.h"

#include <QString>
#include <QStringList>

namespace vexa {

class LanguageTexts;

// What the sign view shows and does, without widgets: the programme of the current sign,
// the time in it (looping), playing or paused, stepping a frame at a time, and the texts
// that say which row and page are shown and how far the programme has gone.
class SignViewModel {
public:
    static constexpr int MinZoom = 1;
    static constexpr int MaxZoom = 12;

    // A new programme keeps the time where it was (within the new duration), so an edit
    // does not restart the sign. notes: what the operator must be told about it.
    void SetProgramme(SharedProgramme programme, QStringList notes = {});
    const SharedProgramme& Programme() const { return programme; }
    const QStringList& Notes() const { return notes; }

    bool IsPlaying() const { return playing; }
    void SetPlaying(bool on) { playing = on; }
    // Moves the time on by elapsed milliseconds while playing.
    void Advance(qint64 elapsedMs);
    qint64 Position() const { return position; }
    qint64 DurationMs() const { return programme ? programme->DurationMs() : 0; }
    void Seek(qint64 ms);
    // Pauses and moves to the start of the next (+1) or previous (-1) frame, looping.
    void Step(int direction);

    // The step shown, -1 when there is nothing to show.
    int CurrentStep() const;
    // Milliseconds until the frame shown changes (0 when paused or empty).
    qint64 UntilNextStep() const;
    // The message row shown (0-9), -1 when none.
    int ShownRow() const;
    // "Row 3, page 2 of 4" in the texts' language (rows counted from 1), or the text for
    // a programme with nothing to show.
    QString RowText(const LanguageTexts* texts) const;
    // "1:02.5 / 3:10.0".
    QString TimeText() const;
    static QString Clock(qint64 ms);

    int zoom = 4;

private:
    SharedProgramme programme;
    QStringList notes;
    bool playing = true;
    qint64 position = 0;
};

} // namespace vexa
