#pragma once

namespace vexa {

// One frame of a playback: which part of a message the sign shows and for how long.
// Sign column x, row y shows message column offset + x, row y - shift (dark outside the
// message), of frame `frame`, limited by the reveal; marqueePhase >= 0 draws the marquee.
struct PlaybackStep {
    enum class Reveal {
        All,    // every dot of the window
        Snow,   // the first revealCount lit dots of the page in the snow order
        Middle, // the columns within revealCount of the sign's centre
        Dark,   // nothing (the off phase of a blink)
    };

    int row = 0;  // the message row (0..9)
    int page = 0; // the page of the message being shown
    int startMs = 0;
    int durationMs = 0;
    int offset = 0;
    int shift = 0;
    int frame = 0;
    Reveal reveal = Reveal::All;
    int revealCount = 0;
    int marqueePhase = -1;

    friend bool operator==(const PlaybackStep&, const PlaybackStep&) = default;
};

} // namespace vexa
