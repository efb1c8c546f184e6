#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace vexa {

// Reads a picture that is to be prepared for a sign: any format the image plugins read (PNG,
// JPEG, GIF's first frame, BMP, ICO, XPM, WebP where its plugin exists, ...) and SVG, from
// regular files only and within RasterLimits' picture bounds. Photos are turned upright by
// their orientation tag.
class PictureReader {
public:
    // A vector picture is drawn this many times as high as the sign, and averaged down from there.
    static constexpr int VectorOversample = 8;

    struct Picture {
        QImage image;   // null when nothing could be read
        QSize fileSize; // the size the file gives (an SVG: its own size)
        QString error;  // why nothing could be read, in English
    };

    // rows: the height the picture is prepared for. An icon file gives its image that is
    // closest to it (at least as high when there is one); a picture of more than
    // RasterLimits::MaxDecodedPicturePixels is decoded smaller where its format allows.
    static Picture Read(const QString& path, int rows);

    // File name patterns of the formats that can be read ("*.png", "*.svg", ...).
    static QStringList NameFilters();
};

} // namespace vexa
