#include "playback/RowPlayback.h"

#include "playback/PlaybackTiming.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace vexa {

namespace {

// A fixed, well-mixed hash of a dot's place: the snow order looks random and never changes.
quint32 MixPlace(int x, int y) {
    quint32 h = quint32(y) << 16 ^ quint32(x);
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

int FloorHalf(int value) {
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

} // namespace

RowPlayback::RowPlayback(const PlaybackInput& input, const SignGeometry& geometry)
    : sign(geometry), row(input.row), settings(input.settings) {
    strips[0] = SignStrip(input.frames[0]);
    if (strips[0].isNull())
        return;
    strips[1] = SignStrip(input.frames[1]);
    length = std::max(strips[0].width(), strips[1].isNull() ? 0 : strips[1].width());
    const int pitch = std::max(sign.pagePitch, 1);
    pages = std::max(1, (length + pitch - 1) / pitch);
    stepMs = PlaybackTiming::StepMs(settings.speed);
    if (settings.marquee)
        marqueeRing = MarqueeRing(sign.columns, sign.rows);
    Build(settings.Effect());
}

QImage RowPlayback::SignStrip(const QImage& exported) const {
    if (exported.isNull() || exported.width() <= 0)
        return {};
    const QImage source = exported.convertToFormat(QImage::Format_ARGB32);
    QImage strip(source.width(), sign.rows, QImage::Format_RGB32);
    strip.fill(sign.DarkArgb());
    // A sign shows the top rows of what it receives (the 7-row signs receive 12 lines).
    for (int y = 0; y < std::min(sign.rows, source.height()); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            to[x] = SignColours::PreviewArgb(sign.kind, sign.led, from[x]);
    }
    return strip;
}

void RowPlayback::Build(SignEffect effect) {
    const int needed = PlaybackTiming::NeededHold(settings.time);
    const bool hasSecondFrame = !strips[1].isNull();
    for (int page = 0; page < pages; ++page) {
        switch (effect) {
        case SignEffect::Left:
            if (page == 0)
                Scroll(-(sign.columns - 1), length - 1, 1);
            break;
        case SignEffect::Right:
            if (page == 0)
                Scroll(length - 1, -(sign.columns - 1), -1);
            break;
        case SignEffect::Up:
            Slide(page, -1);
            break;
        case SignEffect::Down:
            Slide(page, 1);
            break;
        case SignEffect::Fix:
            Hold(PageStep(page), needed, false, settings.blink);
            break;
        case SignEffect::Animation:
            Hold(PageStep(page), needed, hasSecondFrame, settings.blink);
            break;
        case SignEffect::Snow: {
            snowOrders.push_back(SnowOrder(strips[0], page * sign.pagePitch, sign.columns, sign.DarkArgb()));
            snowFrames.push_back(SnowFrames(page));
            Reveal(page, PlaybackStep::Reveal::Snow, PlaybackTiming::SnowSteps,
                   int(snowOrders.back().size()));
            break;
        }
        case SignEffect::Middle:
            Reveal(page, PlaybackStep::Reveal::Middle, (sign.columns + 1) / 2, 0);
            break;
        case SignEffect::Blink:
            Hold(PageStep(page), needed, false, true);
            break;
        }
    }
}

void RowPlayback::Scroll(int from, int to, int direction) {
    const int hold = PlaybackTiming::HoldMs(settings.time);
    for (int offset = from;; offset += direction) {
        PlaybackStep step = PageStep(PageOf(offset));
        step.offset = offset;
        if (hold > 0 && offset >= 0 && offset % sign.pagePitch == 0)
            Hold(step, hold, false, settings.blink);
        else
            Move(step);
        if (offset == to)
            break;
    }
}

// direction -1 moves the page up (in from below, out at the top), +1 down.
void RowPlayback::Slide(int page, int direction) {
    PlaybackStep step = PageStep(page);
    for (int i = sign.rows - 1; i >= 1; --i) {
        step.shift = -direction * i;
        Move(step);
    }
    step.shift = 0;
    Hold(step, PlaybackTiming::NeededHold(settings.time), false, settings.blink);
    for (int i = 1; i < sign.rows; ++i) {
        step.shift = direction * i;
        Move(step);
    }
}

void RowPlayback::Reveal(int page, PlaybackStep::Reveal reveal, int count, int dots) {
    PlaybackStep step = PageStep(page);
    step.reveal = reveal;
    for (int k = 1; k < count; ++k) {
        step.revealCount = reveal == PlaybackStep::Reveal::Snow ? SnowCount(dots, k) : k;
        Move(step);
    }
    Hold(PageStep(page), PlaybackTiming::NeededHold(settings.time), false, settings.blink);
}

void RowPlayback::Move(PlaybackStep step) {
    step.startMs = duration;
    step.durationMs = stepMs;
    step.marqueePhase = settings.marquee ? marqueeSteps++ : -1;
    steps.push_back(step);
    duration += stepMs;
}

// A held page is one step, cut where the animation changes frame, the blink turns on or
// off and the marquee moves.
void RowPlayback::Hold(PlaybackStep step, int holdMs, bool alternate, bool blinks) {
    const int frameMs = PlaybackTiming::AnimationFrameMs(settings.speed);
    std::vector<int> cuts{0, holdMs};
    const auto cutEvery = [&](int period) {
        for (int t = period; t < holdMs; t += period)
            cuts.push_back(t);
    };
    if (alternate)
        cutEvery(frameMs);
    if (blinks)
        cutEvery(PlaybackTiming::BlinkPhaseMs);
    if (settings.marquee)
        cutEvery(stepMs);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const int t = cuts[i];
        PlaybackStep part = step;
        part.startMs = duration + t;
        part.durationMs = cuts[i + 1] - t;
        if (alternate)
            part.frame = (t / frameMs) % 2;
        if (blinks && (t / PlaybackTiming::BlinkPhaseMs) % 2 == 1)
            part.reveal = PlaybackStep::Reveal::Dark;
        part.marqueePhase = settings.marquee ? marqueeSteps + t / stepMs : -1;
        steps.push_back(part);
    }
    duration += holdMs;
    if (settings.marquee)
        marqueeSteps += (holdMs + stepMs - 1) / stepMs;
}

PlaybackStep RowPlayback::PageStep(int page) const {
    PlaybackStep step;
    step.row = row;
    step.page = page;
    step.offset = page * sign.pagePitch;
    return step;
}

int RowPlayback::PageOf(int offset) const {
    return std::clamp(offset > 0 ? offset / sign.pagePitch : 0, 0, pages - 1);
}

std::vector<RowPlayback::SnowDot> RowPlayback::SnowOrder(const QImage& strip, int offset, int columns,
                                                         quint32 dark) {
    std::vector<std::pair<quint32, SnowDot>> dots;
    for (int y = 0; y < strip.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(strip.constScanLine(y));
        for (int x = std::max(0, -offset); x < columns && offset + x < strip.width(); ++x) {
            if (line[offset + x] != dark)
                dots.emplace_back(MixPlace(x, y), SnowDot{quint16(x), quint16(y)});
        }
    }
    std::sort(dots.begin(), dots.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first, a.second.y, a.second.x) < std::tie(b.first, b.second.y, b.second.x);
    });
    std::vector<SnowDot> order;
    order.reserve(dots.size());
    for (const auto& dot : dots)
        order.push_back(dot.second);
    return order;
}

int RowPlayback::SnowCount(int dots, int k) {
    constexpr int count = PlaybackTiming::SnowSteps;
    return (dots * k + count - 1) / count;
}

// The partly lit pages of frame 0 are drawn once here, so playing a snow step is one copy.
std::vector<RowPlayback::SnowFrame> RowPlayback::SnowFrames(int page) const {
    std::vector<SnowFrame> frames;
    PlaybackStep step = PageStep(page);
    const int dots = int(snowOrders.at(static_cast<size_t>(page)).size());
    for (int k = 1; k < PlaybackTiming::SnowSteps; ++k) {
        step.revealCount = SnowCount(dots, k);
        QImage image(sign.columns, sign.rows, QImage::Format_RGB32);
        image.fill(sign.DarkArgb());
        DrawSnow(step, strips[0], image);
        frames.push_back({step.revealCount, std::move(image)});
    }
    return frames;
}

// Copies the dots lit so far onto the dark sign.
void RowPlayback::DrawSnow(const PlaybackStep& step, const QImage& strip, QImage& target) const {
    const auto& order = snowOrders.at(static_cast<size_t>(step.page));
    const size_t shown = std::min(order.size(), size_t(std::max(step.revealCount, 0)));
    auto* to = reinterpret_cast<QRgb*>(target.bits());
    const qsizetype toStride = target.bytesPerLine() / qsizetype(sizeof(QRgb));
    const auto* from = reinterpret_cast<const QRgb*>(strip.constBits());
    const qsizetype fromStride = strip.bytesPerLine() / qsizetype(sizeof(QRgb));
    const int width = strip.width();
    const int height = std::min(strip.height(), sign.rows);
    for (size_t i = 0; i < shown; ++i) {
        const SnowDot dot = order[i];
        const int x = step.offset + dot.x;
        if (x >= 0 && x < width && dot.y < height && dot.x < sign.columns)
            to[dot.y * toStride + dot.x] = from[dot.y * fromStride + x];
    }
}

const QImage* RowPlayback::DrawnSnowFrame(const PlaybackStep& step) const {
    if (step.reveal != PlaybackStep::Reveal::Snow || (step.frame == 1 && !strips[1].isNull()) ||
        step.page < 0 || size_t(step.page) >= snowFrames.size())
        return nullptr;
    for (const SnowFrame& frame : snowFrames[size_t(step.page)]) {
        if (frame.revealCount == step.revealCount)
            return &frame.image;
    }
    return nullptr;
}

void RowPlayback::Render(const PlaybackStep& step, QImage& target) const {
    const int columns = sign.columns;
    if (target.size() != QSize(columns, sign.rows) || target.format() != QImage::Format_RGB32)
        target = QImage(columns, sign.rows, QImage::Format_RGB32);
    if (const QImage* drawn = DrawnSnowFrame(step)) {
        std::memcpy(target.bits(), drawn->constBits(), size_t(drawn->sizeInBytes()));
        if (step.marqueePhase >= 0)
            DrawMarquee(step.marqueePhase, target);
        return;
    }
    target.fill(sign.DarkArgb());
    if (step.reveal != PlaybackStep::Reveal::Dark && !strips[0].isNull()) {
        const QImage& strip = step.frame == 1 && !strips[1].isNull() ? strips[1] : strips[0];
        if (step.reveal == PlaybackStep::Reveal::Snow) {
            DrawSnow(step, strip, target);
        } else {
            int first = std::max(0, -step.offset);
            int end = std::min(columns, strip.width() - step.offset);
            if (step.reveal == PlaybackStep::Reveal::Middle) {
                // The columns x with |2x - (columns - 1)| < 2k.
                first = std::max(first, FloorHalf(columns - 1 - 2 * step.revealCount) + 1);
                end = std::min(end, (columns + 2 * step.revealCount) / 2);
            }
            for (int y = 0; y < sign.rows && first < end; ++y) {
                const int from = y - step.shift;
                if (from < 0 || from >= strip.height())
                    continue;
                std::memcpy(reinterpret_cast<QRgb*>(target.scanLine(y)) + first,
                            reinterpret_cast<const QRgb*>(strip.constScanLine(from)) + step.offset + first,
                            size_t(end - first) * sizeof(QRgb));
            }
        }
    }
    if (step.marqueePhase >= 0)
        DrawMarquee(step.marqueePhase, target);
}

// Around the outermost dots, clockwise from the top left corner: two dots lit, two dark,
// the pattern one dot further on at each phase.
std::vector<int> RowPlayback::MarqueeRing(int columns, int rows) {
    std::vector<int> ring;
    if (columns < 2 || rows < 2)
        return ring;
    const auto at = [columns](int x, int y) { return y * columns + x; };
    for (int x = 0; x < columns; ++x)
        ring.push_back(at(x, 0));
    for (int y = 1; y < rows; ++y)
        ring.push_back(at(columns - 1, y));
    for (int x = columns - 2; x >= 0; --x)
        ring.push_back(at(x, rows - 1));
    for (int y = rows - 2; y >= 1; --y)
        ring.push_back(at(0, y));
    return ring;
}

void RowPlayback::DrawMarquee(int phase, QImage& target) const {
    const QRgb colours[4] = {sign.MarqueeArgb(), sign.MarqueeArgb(), sign.DarkArgb(), sign.DarkArgb()};
    auto* pixels = reinterpret_cast<QRgb*>(target.bits()); // RGB32 lines hold no padding
    const int start = ((-phase) % 4 + 4) % 4;
    for (size_t i = 0; i < marqueeRing.size(); ++i)
        pixels[marqueeRing[i]] = colours[(size_t(start) + i) % 4];
}

} // namespace vexa
