#pragma once

#include <QFile>
#include <QImageReader>
#include <QString>

namespace vexa {

// A QImageReader over a picture file that is opened without blocking and only when it is
// a regular file: a named pipe, a device or a folder put where a picture is expected reads
// as no picture instead of stalling the program. The format is taken from the name's
// suffix first, then from the content, as QImageReader does for a file name.
class ImageFileReader {
public:
    explicit ImageFileReader(const QString& path);
    ImageFileReader(const ImageFileReader&) = delete;
    ImageFileReader& operator=(const ImageFileReader&) = delete;

    bool IsOpen() const { return file.isOpen(); }
    // Size of the picture (invalid when it is not open or not a picture).
    QSize Size();
    QImageReader& Reader() { return reader; }

private:
    QFile file;
    QImageReader reader;
};

} // namespace vexa
