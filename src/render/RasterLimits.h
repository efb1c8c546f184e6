#pragma once

#include <QSize>

namespace vexa {

// Bounds on pictures the renderer and the packer are willing to load or make, so a
// hostile or mistaken file never exhausts memory. Signs are at most 16 dots high and a
// message is at most 255 characters, so real content stays far below these.
struct RasterLimits {
    static constexpr int MaxImageWidth = 16384; // an image of an image list
    static constexpr int MaxImageHeight = 1024;
    static constexpr qint64 MaxImagePixels = 4 * 1024 * 1024;
    static constexpr int MaxContentWidth = 65536; // columns of one exported message bitmap
    static constexpr int MaxBitmapHeight = 1024;  // lines of a message bitmap read back
    // Characters, glyph codes or pictures one row may draw: the editors write at most 255
    // characters or 8000 glyph codes, and no model takes more than 12000 bytes of data.
    static constexpr qsizetype MaxRowCharacters = 32768;

    // A picture prepared for a sign (a photo, a wallpaper, a scan) is read up to these bounds;
    // one of more than MaxDecodedPicturePixels is decoded at a reduced size where its format
    // allows (JPEG, SVG), which still leaves hundreds of pixels for every dot of the result.
    static constexpr int MaxPictureSide = 32768;
    static constexpr qint64 MaxPicturePixels = 40 * 1000 * 1000;
    static constexpr qint64 MaxDecodedPicturePixels = 16 * 1024 * 1024;

    static bool ImageSizeAllowed(QSize size) {
        return size.isValid() && size.width() <= MaxImageWidth && size.height() <= MaxImageHeight &&
               qint64(size.width()) * size.height() <= MaxImagePixels;
    }
    static bool PictureSizeAllowed(QSize size) {
        return size.isValid() && size.width() <= MaxPictureSide && size.height() <= MaxPictureSide &&
               qint64(size.width()) * size.height() <= MaxPicturePixels;
    }
    static bool BitmapSizeAllowed(QSize size) {
        return size.isValid() && size.width() <= MaxContentWidth && size.height() <= MaxBitmapHeight;
    }
};

} // namespace vexa
