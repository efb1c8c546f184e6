#include "render/PngFile.h"

#include "store/AtomicFile.h"

#include <QBuffer>

namespace vexa {

bool PngFile::Write(const QImage& image, const QString& path, QString* errorText) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        if (errorText)
            *errorText = QStringLiteral("the picture could not be encoded as PNG");
        return false;
    }
    return AtomicFile::Write(path, bytes, errorText) == AtomicFile::Result::Ok;
}

} // namespace vexa
