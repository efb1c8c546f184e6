#include "playback/AnimatedPicture.h"

#include "playback/ApngEncoder.h"
#include "playback/GifEncoder.h"
#include "playback/PlaybackProgramme.h"
#include "playback/WebpEncoder.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace vexa {

std::optional<AnimatedPicture::Format> AnimatedPicture::FormatOf(const QString& path, QString* error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png") || suffix == QLatin1String("apng"))
        return Format::Apng;
    if (suffix == QLatin1String("gif"))
        return Format::Gif;
    if (suffix == QLatin1String("webp")) {
        if (WebpEncoder::Available())
            return Format::Webp;
        if (error)
            *error = QStringLiteral("this system's Qt image plugins cannot write WebP; use .png or .gif");
        return std::nullopt;
    }
    if (error)
        *error = QStringLiteral("%1: the name must end in .png (APNG), .gif or .webp").arg(path);
    return std::nullopt;
}

QList<QRgb> AnimatedPicture::PaletteOf(const PlaybackProgramme& programme) {
    const SignGeometry& sign = programme.Sign();
    QList<QRgb> palette{sign.DarkArgb()};
    for (const SignLight light : SignColours::LightsOf(sign.kind)) {
        const QRgb colour = SignColours::ArgbOf(light, sign.led);
        if (!palette.contains(colour))
            palette.append(colour);
    }
    return palette;
}

QImage AnimatedPicture::Enlarged(const QImage& frame, int zoom, const QList<QRgb>& palette) {
    zoom = std::clamp(zoom, 1, MaxZoom);
    const int gap = zoom >= 4 ? 1 : 0;
    QImage out(frame.width() * zoom, frame.height() * zoom, QImage::Format_Indexed8);
    out.setColorTable(palette);
    out.fill(0);
    std::vector<uchar> line(size_t(out.width()), 0);
    for (int y = 0; y < frame.height(); ++y) {
        const auto* dots = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        QRgb last = palette.front();
        uchar index = 0;
        for (int x = 0; x < frame.width(); ++x) {
            if (dots[x] != last) {
                last = dots[x];
                index = uchar(std::max<qsizetype>(palette.indexOf(last | 0xFF000000u), 0));
            }
            std::fill_n(line.begin() + qsizetype(x) * zoom, zoom - gap, index);
        }
        for (int dy = 0; dy < zoom - gap; ++dy)
            std::memcpy(out.scanLine(y * zoom + dy), line.data(), line.size());
    }
    return out;
}

IndexedAnimation AnimatedPicture::FromProgramme(const PlaybackProgramme& programme, int zoom, int loops) {
    IndexedAnimation animation;
    zoom = std::clamp(zoom, 1, MaxZoom);
    const SignGeometry& sign = programme.Sign();
    animation.size = QSize(sign.columns * zoom, sign.rows * zoom);
    animation.palette = PaletteOf(programme);
    animation.loops = std::max(loops, 0);
    for (const PlaybackStep& step : programme.Steps())
        animation.durationsMs.push_back(step.durationMs);
    animation.frame = [&programme, zoom, palette = animation.palette](int index) {
        return Enlarged(programme.Frame(index), zoom, palette);
    };
    return animation;
}

QByteArray AnimatedPicture::Encode(Format format, const IndexedAnimation& animation, QString* error) {
    switch (format) {
    case Format::Apng:
        return ApngEncoder::Encode(animation, error);
    case Format::Gif:
        return GifEncoder::Encode(animation, error);
    case Format::Webp:
        break;
    }
    return WebpEncoder::Encode(animation, error);
}

} // namespace vexa
