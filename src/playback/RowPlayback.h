#pragma once

#include "playback/PlaybackInput.h"
#include "playback/PlaybackStep.h"
#include "playback/SignGeometry.h"

#include <QImage>
#include <array>
#include <vector>

namespace vexa {

// One showing of one row on a sign: the timed steps its effect goes through, and the
// sign-sized frame of each step. The message is cut into pages one sign wide (page p
// starts at column p * pagePitch), the way the page alignment lays text out.
//
//   Left / Right  the message enters at one edge and moves a column per step until it has
//                 left at the other; with a time above 0 s it stops for the time whenever a
//                 page fills the sign
//   Up / Down     each page moves in a row per step, is held, and moves out the same way
//   Fix           each page is held
//   Animation     each page is held, frame 0 and frame 1 taking turns (Fix without frame 1)
//   Snow          the page's lit dots appear in a fixed pseudo-random order, then it is held
//   Middle        the page opens from its centre column outward, then it is held
//   Blink         each page is held blinking
//
// A page is held for the row's time (one second at "0s" for the effects that must hold
// it). The blink flag makes every held page blink; the marquee flag draws a dotted border
// on the outermost dots that moves a dot per step. Dots are in sign colours.
class RowPlayback {
public:
    RowPlayback(const PlaybackInput& input, const SignGeometry& sign);

    // Steps with startMs counted from the start of the row; none for a row without dots.
    const std::vector<PlaybackStep>& Steps() const { return steps; }
    int DurationMs() const { return duration; }
    int PageCount() const { return pages; }
    int Row() const { return row; }

    // Draws a step of this row into target, made a columns x rows RGB32 image.
    void Render(const PlaybackStep& step, QImage& target) const;

    // A lit dot of a page window, by its place in the window.
    struct SnowDot {
        quint16 x, y;
    };
    // The lit dots of the page window starting at column offset of strip, in the order snow
    // lights them: sorted by a fixed hash of their place (x, y) in the window.
    static std::vector<SnowDot> SnowOrder(const QImage& strip, int offset, int columns, quint32 dark);
    // How many dots of a page snow has lit after step k of its reveal.
    static int SnowCount(int dots, int k);

private:
    void Build(SignEffect effect);
    void Scroll(int from, int to, int direction);
    void Slide(int page, int direction);
    void Reveal(int page, PlaybackStep::Reveal reveal, int steps, int dots);
    void Move(PlaybackStep step);
    void Hold(PlaybackStep step, int holdMs, bool alternate, bool blinks);
    PlaybackStep PageStep(int page) const;
    int PageOf(int offset) const;
    QImage SignStrip(const QImage& exported) const;
    // Pixel offsets of the outermost dots of a sign, clockwise from the top left corner.
    static std::vector<int> MarqueeRing(int columns, int rows);
    void DrawMarquee(int phase, QImage& target) const;
    struct SnowFrame {
        int revealCount;
        QImage image;
    };
    std::vector<SnowFrame> SnowFrames(int page) const;
    void DrawSnow(const PlaybackStep& step, const QImage& strip, QImage& target) const;
    const QImage* DrawnSnowFrame(const PlaybackStep& step) const;

    SignGeometry sign;
    int row;
    RowSettings settings;
    std::array<QImage, 2> strips; // the frames in sign colours, sign rows high
    int length = 0;               // columns of the message
    int pages = 0;
    int stepMs = 0;
    int marqueeSteps = 0; // marquee phase of the next step
    int duration = 0;
    std::vector<std::vector<SnowDot>> snowOrders;   // per page, for Snow
    std::vector<std::vector<SnowFrame>> snowFrames; // per page: frame 0 partly lit, drawn once
    std::vector<int> marqueeRing;                   // pixel offsets of the outermost dots, clockwise
    std::vector<PlaybackStep> steps;
};

} // namespace vexa
