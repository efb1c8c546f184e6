#include "render/BmpWriter.h"

#include "store/AtomicFile.h"

#include <QFile>
#include <QtEndian>

namespace vexa {

namespace {

void PutLe16(QByteArray& out, int offset, quint16 value) {
    qToLittleEndian(value, out.data() + offset);
}
void PutLe32(QByteArray& out, int offset, quint32 value) {
    qToLittleEndian(value, out.data() + offset);
}

bool Holds(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size())
        return false;
    return file.readAll() == bytes;
}

} // namespace

QByteArray BmpWriter::Encode(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const qint64 pixelBytes = qint64(width) * height * 4;
    const int offset = FileHeaderSize + InfoHeaderSize;
    QByteArray out(static_cast<qsizetype>(offset + pixelBytes), '\0');
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 2, static_cast<quint32>(offset + pixelBytes));
    PutLe32(out, 10, static_cast<quint32>(offset));
    PutLe32(out, 14, InfoHeaderSize);
    PutLe32(out, 18, static_cast<quint32>(width));
    PutLe32(out, 22, static_cast<quint32>(height)); // positive: bottom-up
    PutLe16(out, 26, 1);                            // planes
    PutLe16(out, 28, 32);                           // bits per pixel
    PutLe32(out, 30, 0);                            // BI_RGB
    PutLe32(out, 34, static_cast<quint32>(pixelBytes));
    PutLe32(out, 38, static_cast<quint32>(image.dotsPerMeterX()));
    PutLe32(out, 42, static_cast<quint32>(image.dotsPerMeterY()));
    char* pixels = out.data() + offset;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(height - 1 - y));
        char* target = pixels + qint64(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            const QRgb p = line[x];
            target[x * 4 + 0] = static_cast<char>(qBlue(p));
            target[x * 4 + 1] = static_cast<char>(qGreen(p));
            target[x * 4 + 2] = static_cast<char>(qRed(p));
            target[x * 4 + 3] = static_cast<char>(qAlpha(p));
        }
    }
    return out;
}

bool BmpWriter::Write(const QImage& image, const QString& path, QString* errorText) {
    const QByteArray bytes = Encode(image);
    // A file that already holds these bytes stays as it is: replacing a file costs far
    // more than reading it, and most rows of a send are unchanged since the last one.
    if (Holds(path, bytes))
        return true;
    // Exported bitmaps are written again at every export from the message in memory.
    return AtomicFile::Write(path, bytes, errorText, AtomicFile::Durability::Regenerable) ==
           AtomicFile::Result::Ok;
}

} // namespace vexa
