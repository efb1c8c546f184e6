#include "render/PicturePreparer.h"

#include "render/RasterLimits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace vexa {

namespace {

// Relative luminance of linear-light red, green and blue.
float Luminance(float red, float green, float blue) {
    return 0.2126f * red + 0.7152f * green + 0.0722f * blue;
}

std::vector<quint8> Levels(const std::vector<float>& linear) {
    std::vector<quint8> levels(linear.size());
    std::transform(linear.begin(), linear.end(), levels.begin(),
                   [](float value) { return quint8(PictureScaler::Level(value)); });
    return levels;
}

std::vector<quint8> LuminanceLevels(const LinearPicture& picture) {
    std::vector<quint8> levels(picture.red.size());
    for (size_t i = 0; i < levels.size(); ++i)
        levels[i] =
            quint8(PictureScaler::Level(Luminance(picture.red[i], picture.green[i], picture.blue[i])));
    return levels;
}

// The one colour every lit dot gets, or none when a two-colour sign's dots take their own.
std::optional<SignLight> FixedLight(PackKind kind, std::optional<SignLight> chosen) {
    if (SignColours::IsSingleColour(kind))
        return SignLight::Single;
    if (!chosen)
        return std::nullopt;
    const auto lights = SignColours::LightsOf(kind);
    if (std::find(lights.begin(), lights.end(), *chosen) == lights.end())
        return std::nullopt;
    return chosen;
}

SignLight PlaneLight(bool red, bool green) {
    if (red && green)
        return SignLight::Yellow;
    if (red)
        return SignLight::Red;
    return green ? SignLight::Green : SignLight::Dark;
}

} // namespace

int PicturePreparer::ResultHeight(const DisplayModel& model, int height) {
    return height > 0 ? std::min(height, model.rows) : model.rows;
}

QSize PicturePreparer::PictureSize(QSize source, int height, int maxWidth) {
    if (source.isEmpty() || height <= 0)
        return {};
    const int limit =
        maxWidth > 0 ? std::min(maxWidth, RasterLimits::MaxImageWidth) : RasterLimits::MaxImageWidth;
    const qint64 width = std::max<qint64>(1, std::llround(double(source.width()) * height / source.height()));
    if (width <= limit)
        return {int(width), height};
    const int lower =
        int(std::clamp<qint64>(std::llround(double(source.height()) * limit / source.width()), 1, height));
    return {limit, lower};
}

bool PicturePreparer::HasLightBackground(const QImage& source) {
    if (source.isNull())
        return false;
    // Border pixels sorted into 16 steps per channel; the transparent ones into a bin of their own.
    constexpr int kTransparent = 4096;
    std::vector<int> bins(kTransparent + 1, 0);
    std::vector<std::array<qint64, 3>> sums(kTransparent, {0, 0, 0});
    const int w = source.width(), h = source.height();
    int count = 0;
    auto take = [&](int x, int y) {
        const QRgb p = source.pixel(x, y);
        ++count;
        if (qAlpha(p) < 128) {
            ++bins[kTransparent];
            return;
        }
        const int bin = (qRed(p) >> 4) << 8 | (qGreen(p) >> 4) << 4 | qBlue(p) >> 4;
        ++bins[size_t(bin)];
        sums[size_t(bin)][0] += qRed(p);
        sums[size_t(bin)][1] += qGreen(p);
        sums[size_t(bin)][2] += qBlue(p);
    };
    for (int x = 0; x < w; ++x) {
        take(x, 0);
        if (h > 1)
            take(x, h - 1);
    }
    for (int y = 1; y + 1 < h; ++y) {
        take(0, y);
        if (w > 1)
            take(w - 1, y);
    }
    const auto dominant = std::max_element(bins.begin(), bins.end());
    const auto bin = size_t(dominant - bins.begin());
    if (bin == kTransparent || *dominant * 2 < count)
        return false;
    const auto mean = [&](int channel) {
        return PictureScaler::Linear(int(sums[bin][size_t(channel)] / *dominant));
    };
    return PictureScaler::Level(Luminance(mean(0), mean(1), mean(2))) > DotQuantiser::MiddleLevel;
}

std::optional<PreparedPicture> PicturePreparer::Prepare(const QImage& source, const DisplayModel& model,
                                                        const PictureOptions& options,
                                                        const Progress& progress) {
    const int height = ResultHeight(model, options.height);
    const QSize size = PictureSize(source.size(), height, options.maxWidth);
    if (size.isEmpty())
        return std::nullopt;
    PreparedPicture prepared;
    prepared.inverted = options.background == PictureBackground::Invert ||
                        (options.background == PictureBackground::Auto && HasLightBackground(source));
    const std::optional<LinearPicture> linear =
        PictureScaler::Scale(source, size, prepared.inverted, progress);
    if (!linear)
        return std::nullopt;

    const std::optional<SignLight> fixed = FixedLight(model.packKind, options.colour);
    std::vector<quint8> first = fixed ? LuminanceLevels(*linear) : Levels(linear->red);
    std::vector<quint8> second = fixed ? std::vector<quint8>() : Levels(linear->green);
    if (options.dots == DotMethod::Threshold)
        prepared.level =
            options.level >= 0 ? std::min(options.level, 255) : DotQuantiser::OtsuLevel({first, second});
    DotQuantiser::Quantise(first, size.width(), options.dots, prepared.level);
    DotQuantiser::Quantise(second, size.width(), options.dots, prepared.level);

    prepared.image = QImage(size.width(), height, QImage::Format_ARGB32);
    prepared.image.fill(SignColours::OpaqueBlack);
    const int top = (height - size.height()) / 2;
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(prepared.image.scanLine(top + y));
        for (int x = 0; x < size.width(); ++x) {
            const size_t i = size_t(y) * size_t(size.width()) + size_t(x);
            const SignLight light =
                fixed ? (first[i] ? *fixed : SignLight::Dark) : PlaneLight(first[i], second[i]);
            if (light == SignLight::Dark)
                continue;
            line[x] = SignColours::ExportArgbOf(light);
            ++prepared.litDots;
        }
    }
    return prepared;
}

} // namespace vexa
