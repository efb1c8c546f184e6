#pragma once

#include "playback/IndexedAnimation.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vexa {

class PlaybackProgramme;

// A playback recorded as an animated picture: one frame per step with the step's duration,
// every dot a block of zoom x zoom pixels (with a dark gap from 4 pixels on, the way a
// sign's dots stand apart). The file format follows the name: APNG for .png, GIF for .gif,
// WebP for .webp (where Qt can write WebP).
class AnimatedPicture {
public:
    enum class Format { Apng, Gif, Webp };
    static constexpr int DefaultZoom = 4;
    static constexpr int MaxZoom = 16;

    // The format of a file name, or nullopt with error saying why there is none.
    static std::optional<Format> FormatOf(const QString& path, QString* error);

    // The frames of one showing of a programme.
    static IndexedAnimation FromProgramme(const PlaybackProgramme& programme, int zoom, int loops);
    // The colours a programme's frames use, dark first.
    static QList<QRgb> PaletteOf(const PlaybackProgramme& programme);
    // A sign frame (RGB32, one pixel per dot) enlarged and indexed into palette.
    static QImage Enlarged(const QImage& frame, int zoom, const QList<QRgb>& palette);

    static QByteArray Encode(Format format, const IndexedAnimation& animation, QString* error);
};

} // namespace vexa
