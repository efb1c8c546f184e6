#include "render/BmpWriter.h"

#include "render/ExportRecord.h"
#include "store/AtomicFile.h"

#include <QtEndian>
#include <cstring>

namespace vexa {

namespace {

void PutLe16(QByteArray& out, int offset, quint16 value) {
    qToLittleEndian(value, out.data() + offset);
}
void PutLe32(QByteArray& out, int offset, quint32 value) {
    qToLittleEndian(value, out.data() + offset);
}

// The file and info headers of a 32-bit bitmap of image.
void PutHeaders(const QImage& image, QByteArray& out) {
    const int width = image.width();
    const int height = image.height();
    const qint64 pixelBytes = qint64(width) * height * 4;
    const int offset = BmpWriter::FileHeaderSize + BmpWriter::InfoHeaderSize;
    std::memset(out.data(), 0, offset);
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 2, static_cast<quint32>(offset + pixelBytes));
    PutLe32(out, 10, static_cast<quint32>(offset));
    PutLe32(out, 14, BmpWriter::InfoHeaderSize);
    PutLe32(out, 18, static_cast<quint32>(width));
    PutLe32(out, 22, static_cast<quint32>(height)); // positive: bottom-up
    PutLe16(out, 26, 1);                            // planes
    PutLe16(out, 28, 32);                           // bits per pixel
    PutLe32(out, 30, 0);                            // BI_RGB
    PutLe32(out, 34, static_cast<quint32>(pixelBytes));
    PutLe32(out, 38, static_cast<quint32>(image.dotsPerMeterX()));
    PutLe32(out, 42, static_cast<quint32>(image.dotsPerMeterY()));
}

} // namespace

QByteArray BmpWriter::Encode(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const qint64 pixelBytes = qint64(width) * height * 4;
    const int offset = FileHeaderSize + InfoHeaderSize;
    // Every pixel byte is written below, the header first.
    QByteArray out(static_cast<qsizetype>(offset + pixelBytes), Qt::Uninitialized);
    PutHeaders(image, out);
    char* pixels = out.data() + offset;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(height - 1 - y));
        char* target = pixels + qint64(y) * width * 4;
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            // A pixel 0xAARRGGBB lies in memory as B G R A already.
            std::memcpy(target, line, static_cast<size_t>(width) * 4);
        } else {
            for (int x = 0; x < width; ++x) {
                const QRgb p = line[x];
                target[x * 4 + 0] = static_cast<char>(qBlue(p));
                target[x * 4 + 1] = static_cast<char>(qGreen(p));
                target[x * 4 + 2] = static_cast<char>(qRed(p));
                target[x * 4 + 3] = static_cast<char>(qAlpha(p));
            }
        }
    }
    return out;
}

bool BmpWriter::Encodes(const QImage& source, const QByteArray& bytes) {
    if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN)
        return Encode(source) == bytes;
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const qint64 lineBytes = qint64(width) * 4;
    const int offset = FileHeaderSize + InfoHeaderSize;
    if (bytes.size() != offset + lineBytes * height)
        return false;
    QByteArray headers(offset, Qt::Uninitialized);
    PutHeaders(image, headers);
    if (std::memcmp(headers.constData(), bytes.constData(), offset) != 0)
        return false;
    for (int y = 0; y < height; ++y) {
        const char* stored = bytes.constData() + offset + qint64(y) * lineBytes;
        if (std::memcmp(image.constScanLine(height - 1 - y), stored, static_cast<size_t>(lineBytes)) != 0)
            return false;
    }
    return true;
}

bool BmpWriter::Unchanged(const QImage& image, const QString& path, const ExportRecord& record) {
    const QByteArray* known = record.Unchanged(path);
    return known && Encodes(image, *known);
}

bool BmpWriter::Write(const QImage& image, const QString& path, QString* errorText, ExportRecord* record) {
    if (record && Unchanged(image, path, *record))
        return true;
    const QByteArray bytes = Encode(image);
    ExportRecord unknown;
    ExportRecord& known = record ? *record : unknown;
    // A file that already holds these bytes stays as it is: replacing a file costs far
    // more than comparing it, and most rows of a send are unchanged since the last one.
    if (known.Holds(path, bytes))
        return true;
    // Exported bitmaps are written again at every export from the message in memory.
    const bool written = AtomicFile::Write(path, bytes, errorText, AtomicFile::Durability::Regenerable) ==
                         AtomicFile::Result::Ok;
    if (written)
        known.Remember(path, bytes);
    else
        known.Forget();
    return written;
}

} // namespace vexa
