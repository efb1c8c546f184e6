#pragma once

#include <QImage>
#include <QString>

namespace vexa {

// Writes pictures for people to look at (preview sheets, screenshots) as PNG files,
// replaced atomically like every other file the program writes.
class PngFile {
public:
    // False (with a reason in errorText) when the picture could not be encoded or written.
    static bool Write(const QImage& image, const QString& path, QString* errorText = nullptr);
};

} // namespace vexa
