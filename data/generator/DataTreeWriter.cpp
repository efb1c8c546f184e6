#include "DataTreeWriter.h"

#include "Animations.h"
#include "SignFonts.h"

#include <QDir>
#include <QFileInfo>

namespace vexa::datagen {

namespace {

constexpr Dot kGlyphColours[] = {Dot::Red, Dot::Green, Dot::Yellow};

} // namespace

DataTreeWriter::DataTreeWriter(const SignFonts& signFonts, const Animations& faces)
    : fonts(signFonts), animations(faces) {}

bool DataTreeWriter::WriteFile(const QString& path, const DotImage& image) {
    const QString folder = QFileInfo(path).path();
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    if (!image.ToImage().save(path, "BMP")) {
        error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    ++filesWritten;
    return true;
}

bool DataTreeWriter::WriteSignFont(const QString& root) {
    for (int index = 0; index < CharacterSet::kGlyphCount; ++index) {
        if (CharacterSet::IsDrawn(index) &&
            !WriteFile(QStringLiteral("%1/ASCII/%2.bmp").arg(root).arg(index), fonts.SignGlyph(index))) {
            return false;
        }
    }
    return true;
}

bool DataTreeWriter::WriteGlyphTable(const QString& root) {
    for (int font = 0; font < SignFonts::kFontCount; ++font) {
        for (int colour = 0; colour < 3; ++colour) {
            for (int index = 0; index < CharacterSet::kGlyphCount; ++index) {
                const QString path = QStringLiteral("%1/ASCII/allAscii/Font%2/Color%3/%4.bmp")
                                         .arg(root)
                                         .arg(font)
                                         .arg(colour)
                                         .arg(index);
                if (!WriteFile(path, fonts.Glyph(font, index).Recoloured(kGlyphColours[colour]))) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool DataTreeWriter::WriteAnimations(const QString& root) {
    for (int height : Animations::kHeights) {
        const int last = height == 7 ? kLastSignAnimation : Animations::kCount - 1;
        for (int n = 0; n <= last; ++n) {
            for (int frame = 0; frame < 2; ++frame) {
                // On 7-row signs the numbers after the faces are the extra characters,
                // still and in the colour of the sign font.
                const DotImage& image =
                    n < Animations::kCount
                        ? animations.Frame(height, n, frame)
                        : fonts.SignGlyph(CharacterSet::kFirstExtra + n - Animations::kCount);
                const QString path =
                    QStringLiteral("%1/Gif/%2/%3_%4.bmp").arg(root).arg(height).arg(n).arg(frame);
                if (!WriteFile(path, image)) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool DataTreeWriter::WritePicker(const QString& root) {
    for (int k = 0; k < CharacterSet::kExtraCount; ++k) {
        const int index = CharacterSet::kFirstExtra + k;
        const DotImage picture = fonts.Glyph(0, index).Recoloured(Dot::Yellow);
        if (!WriteFile(QStringLiteral("%1/ASCII/Eruope/%2.bmp").arg(root).arg(index), picture)) {
            return false;
        }
    }
    return true;
}

bool DataTreeWriter::Swap(const QString& staging, const QString& dataDir) {
    const QString retired = dataDir + QStringLiteral(".old");
    QDir(retired).removeRecursively();
    if (QFileInfo::exists(dataDir) && !QDir().rename(dataDir, retired)) {
        error = QStringLiteral("cannot move the old %1 aside").arg(dataDir);
        return false;
    }
    if (!QDir().rename(staging, dataDir)) {
        error = QStringLiteral("cannot move %1 to %2").arg(staging, dataDir);
        return false;
    }
    QDir(retired).removeRecursively();
    return true;
}

bool DataTreeWriter::Write(const QString& dataDir) {
    filesWritten = 0;
    const QString staging = dataDir + QStringLiteral(".new");
    QDir(staging).removeRecursively();
    const bool written = WriteSignFont(staging) && WriteGlyphTable(staging) && WriteAnimations(staging) &&
                         WritePicker(staging);
    if (!written) {
        QDir(staging).removeRecursively();
        return false;
    }
    return Swap(staging, dataDir);
}

} // namespace vexa::datagen
