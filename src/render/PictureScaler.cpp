#include "render/PictureScaler.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <thread>
#include <type_traits>

namespace vexa {

namespace {

double DecodeSrgb(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Linear light in steps of 1/65535: fine enough that every 8-bit level keeps its own value
// (neighbouring dark levels lie some 20 steps apart), and sums of whole lines stay integers.
constexpr double kLinearUnit = 65535.0;

struct SrgbTables {
    std::array<float, 256> linear{};
    std::array<quint32, 256> linear16{};
    // The linear value halfway (in sRGB terms) between level k and k + 1: a value is nearest
    // to level k when it lies between bound k - 1 and bound k.
    std::array<float, 255> bounds{};
};

const SrgbTables& Tables() {
    static const SrgbTables tables = [] {
        SrgbTables t;
        for (int level = 0; level < 256; ++level) {
            t.linear[size_t(level)] = float(DecodeSrgb(level / 255.0));
            t.linear16[size_t(level)] = quint32(std::lround(DecodeSrgb(level / 255.0) * kLinearUnit));
        }
        for (int level = 0; level < 255; ++level)
            t.bounds[size_t(level)] = float(DecodeSrgb((level + 0.5) / 255.0));
        return t;
    }();
    return tables;
}

// The source pixels one result pixel covers along one axis: count pixels from first, the
// first and the last of them covering only firstWeight and lastWeight of a pixel (in source
// pixels), those between wholly.
struct Span {
    int first = 0;
    int count = 0;
    float firstWeight = 0;
    float lastWeight = 0;
    float norm = 1; // 1 / the span's width in source pixels
};

std::vector<Span> Spans(int source, int result) {
    std::vector<Span> spans(static_cast<size_t>(result));
    const double scale = double(source) / result;
    for (int i = 0; i < result; ++i) {
        const double begin = i * scale;
        const double end = i + 1 == result ? double(source) : (i + 1) * scale;
        Span& span = spans[size_t(i)];
        span.first = std::min(source - 1, int(std::floor(begin)));
        const int last = std::clamp(int(std::ceil(end)) - 1, span.first, source - 1);
        span.count = last - span.first + 1;
        if (span.count == 1) {
            span.firstWeight = span.lastWeight = float(end - begin);
        } else {
            span.firstWeight = float(span.first + 1 - begin);
            span.lastWeight = float(end - last);
        }
        span.norm = float(1.0 / (end - begin));
    }
    return spans;
}

// Mirrors the lightness of a colour about the middle keeping hue and chroma: every channel
// moves by 255 - max - min, so white and black swap and a pure colour stays itself.
inline void InvertLightness(int& r, int& g, int& b) {
    const int shift = 255 - std::max({r, g, b}) - std::min({r, g, b});
    r += shift;
    g += shift;
    b += shift;
}

// Sums of linear light in units of 1/65535, times alpha (0..255) for pictures with one. An
// opaque span fits 32 bits: 65535 x the widest picture side.
template <bool HasAlpha> struct Light {
    using Sum = std::conditional_t<HasAlpha, quint64, quint32>;
    Sum red = 0, green = 0, blue = 0;
};

template <bool HasAlpha, bool Invert> inline void AddPixel(const quint32* lut, QRgb p, Light<HasAlpha>& sum) {
    int r = qRed(p), g = qGreen(p), b = qBlue(p);
    if constexpr (Invert)
        InvertLightness(r, g, b);
    if constexpr (HasAlpha) {
        const quint64 alpha = quint64(qAlpha(p));
        sum.red += lut[r] * alpha;
        sum.green += lut[g] * alpha;
        sum.blue += lut[b] * alpha;
    } else {
        sum.red += lut[r];
        sum.green += lut[g];
        sum.blue += lut[b];
    }
}

// One line of linear light, a value per result column and channel.
struct LinearLine {
    std::vector<float> red, green, blue;
    explicit LinearLine(int width) : red(size_t(width)), green(size_t(width)), blue(size_t(width)) {}
};

using LineReducer = void (*)(const QRgb*, const std::vector<Span>&, LinearLine&);

// A source line averaged across to the result's columns.
template <bool HasAlpha, bool Invert>
void ReduceLine(const QRgb* pixels, const std::vector<Span>& columns, LinearLine& out) {
    constexpr float unit = float(1.0 / (kLinearUnit * (HasAlpha ? 255.0 : 1.0)));
    const quint32* lut = Tables().linear16.data();
    for (size_t x = 0; x < columns.size(); ++x) {
        const Span& span = columns[x];
        const QRgb* p = pixels + span.first;
        Light<HasAlpha> first;
        AddPixel<HasAlpha, Invert>(lut, p[0], first);
        float red = float(first.red), green = float(first.green), blue = float(first.blue);
        if (span.count > 1) {
            Light<HasAlpha> inner, last;
            const int end = span.count - 1;
            for (int k = 1; k < end; ++k)
                AddPixel<HasAlpha, Invert>(lut, p[k], inner);
            AddPixel<HasAlpha, Invert>(lut, p[end], last);
            red = (float(inner.red) + red * span.firstWeight + float(last.red) * span.lastWeight) * span.norm;
            green = (float(inner.green) + green * span.firstWeight + float(last.green) * span.lastWeight) *
                    span.norm;
            blue = (float(inner.blue) + blue * span.firstWeight + float(last.blue) * span.lastWeight) *
                   span.norm;
        }
        out.red[x] = red * unit;
        out.green[x] = green * unit;
        out.blue[x] = blue * unit;
    }
}

LineReducer ReducerFor(bool hasAlpha, bool invert) {
    if (hasAlpha)
        return invert ? ReduceLine<true, true> : ReduceLine<true, false>;
    return invert ? ReduceLine<false, true> : ReduceLine<false, false>;
}

// Source lines averaged across, the last two kept: neighbouring result lines share the
// source line between them.
class ColumnReducer {
public:
    ColumnReducer(const QImage& picture, const std::vector<Span>& spans, LineReducer reducer)
        : source(picture), columns(spans), reduce(reducer) {
        for (Slot& slot : cache)
            slot.values = LinearLine(int(spans.size()));
    }

    const LinearLine& Line(int y) {
        for (Slot& slot : cache) {
            if (slot.y == y)
                return slot.values;
        }
        Slot& slot = cache[next];
        next ^= 1;
        reduce(reinterpret_cast<const QRgb*>(source.constScanLine(y)), columns, slot.values);
        slot.y = y;
        ++reduced;
        return slot.values;
    }

    int Reduced() const { return reduced; }

private:
    struct Slot {
        int y = -1;
        LinearLine values{0};
    };
    const QImage& source;
    const std::vector<Span>& columns;
    LineReducer reduce;
    std::array<Slot, 2> cache;
    size_t next = 0;
    int reduced = 0;
};

// What the threads of one scaling share.
struct Job {
    const QImage& source;
    std::vector<Span> columns;
    std::vector<Span> lines;
    LineReducer reducer;
    LinearPicture& result;
    std::atomic<bool> stop{false};
};

// Result lines from first to end. The reporting thread tells progress (by its own share)
// and raises stop when asked to; the others only watch stop.
bool ScaleLines(Job& job, int first, int end, const PictureScaler::Progress* progress) {
    constexpr int kCheckEvery = 64; // source lines between two looks at progress and stop
    ColumnReducer reducer(job.source, job.columns, job.reducer);
    const int width = job.result.width;
    const int total = std::max(1, job.lines[size_t(end - 1)].first + job.lines[size_t(end - 1)].count -
                                      job.lines[size_t(first)].first);
    int checked = 0;
    for (int y = first; y < end; ++y) {
        const Span& span = job.lines[size_t(y)];
        float* red = job.result.red.data() + size_t(y) * size_t(width);
        float* green = job.result.green.data() + size_t(y) * size_t(width);
        float* blue = job.result.blue.data() + size_t(y) * size_t(width);
        for (int k = 0; k < span.count; ++k) {
            const float weight = span.count == 1 ? 1.0f
                                                 : (k == 0                ? span.firstWeight
                                                    : k + 1 == span.count ? span.lastWeight
                                                                          : 1.0f) *
                                                       span.norm;
            const LinearLine& line = reducer.Line(span.first + k);
            for (int x = 0; x < width; ++x) {
                red[x] += line.red[size_t(x)] * weight;
                green[x] += line.green[size_t(x)] * weight;
                blue[x] += line.blue[size_t(x)] * weight;
            }
            if (reducer.Reduced() - checked < kCheckEvery)
                continue;
            checked = reducer.Reduced();
            if (job.stop.load(std::memory_order_relaxed))
                return false;
            if (progress && *progress && !(*progress)(std::min(99, checked * 100 / total))) {
                job.stop = true;
                return false;
            }
        }
    }
    return true;
}

// Threads worth starting for a picture: one per core for the larger ones.
int ThreadsFor(const QImage& source, int lines) {
    constexpr qint64 kPixelsPerThread = 1 << 20;
    const qint64 pixels = qint64(source.width()) * source.height();
    const int cores = int(std::max(1u, std::min(4u, std::thread::hardware_concurrency())));
    return int(std::clamp<qint64>(pixels / kPixelsPerThread, 1, std::min(cores, lines)));
}

} // namespace

float PictureScaler::Linear(int level) {
    return Tables().linear[size_t(std::clamp(level, 0, 255))];
}

int PictureScaler::Level(float linear) {
    const std::array<float, 255>& bounds = Tables().bounds;
    return int(std::upper_bound(bounds.begin(), bounds.end(), linear) - bounds.begin());
}

std::optional<LinearPicture> PictureScaler::Scale(const QImage& picture, QSize size, bool invertLightness,
                                                  const Progress& progress) {
    if (picture.isNull() || size.isEmpty())
        return std::nullopt;
    const bool opaque = picture.format() == QImage::Format_RGB32;
    const QImage source = opaque || picture.format() == QImage::Format_ARGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_ARGB32);
    if (source.isNull())
        return std::nullopt;

    LinearPicture result;
    result.width = size.width();
    result.height = size.height();
    const size_t count = size_t(result.width) * size_t(result.height);
    result.red.resize(count);
    result.green.resize(count);
    result.blue.resize(count);

    Job job{source, Spans(source.width(), result.width), Spans(source.height(), result.height),
            ReducerFor(!opaque, invertLightness), result};
    // Result lines are shared out in bands, one per thread; the calling thread takes the
    // first band and reports progress.
    const int threads = ThreadsFor(source, result.height);
    std::vector<std::thread> helpers;
    std::atomic<bool> helpersDone{true};
    for (int t = 1; t < threads; ++t) {
        const int first = result.height * t / threads, end = result.height * (t + 1) / threads;
        helpers.emplace_back([&job, &helpersDone, first, end] {
            if (!ScaleLines(job, first, end, nullptr))
                helpersDone = false;
        });
    }
    const bool done = ScaleLines(job, 0, result.height / threads, &progress);
    if (!done)
        job.stop = true;
    for (std::thread& helper : helpers)
        helper.join();
    if (!done || !helpersDone || (progress && !progress(100)))
        return std::nullopt;
    return result;
}

} // namespace vexa
