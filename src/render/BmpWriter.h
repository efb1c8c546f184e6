#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vexa {

class ExportRecord;

// Writes 32-bit BMP files (BITMAPINFOHEADER, BI_RGB, bottom-up rows, B G R A bytes).
// Qt's own encoder writes only 24 bits per pixel.
class BmpWriter {
public:
    static constexpr int FileHeaderSize = 14;
    static constexpr int InfoHeaderSize = 40;

    // The complete file contents of image (converted to 32-bit ARGB).
    static QByteArray Encode(const QImage& image);
    // True when bytes are exactly what Encode(image) gives, found without encoding.
    static bool Encodes(const QImage& image, const QByteArray& bytes);
    // True when record knows that path still holds the encoding of image.
    static bool Unchanged(const QImage& image, const QString& path, const ExportRecord& record);
    // Writes the file atomically; false when it cannot be written. A file that holds the
    // same bytes already is left as it is; record, when given, remembers what this file
    // was last written with, so that it need not be read back to know.
    static bool Write(const QImage& image, const QString& path, QString* errorText = nullptr,
                      ExportRecord* record = nullptr);
};

} // namespace vexa
