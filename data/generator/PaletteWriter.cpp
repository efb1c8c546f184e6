#include "PaletteWriter.h"

#include "Animations.h"
#include "LedPicture.h"
#include "SignFonts.h"

#include <QDir>

namespace vexa::datagen {

PaletteWriter::PaletteWriter(const SignFonts& signFonts, const Animations& faces)
    : fonts(signFonts), animations(faces) {}

QImage PaletteWriter::FacePicture(int k) const {
    const LedStyle style{2, 2, qRgb(0, 0, 0), qRgb(0, 0, 0)};
    return LedPicture(animations.Frame(12, k, 0), style, kFaceSize, kFaceSize);
}

QImage PaletteWriter::SpecialPicture(int k) const {
    const LedStyle style{3, 2, qRgb(0, 0, 0), qRgb(0x38, 0x10, 0x10)};
    const DotImage& glyph = fonts.Glyph(0, CharacterSet::kFirstExtra + k);
    DotImage body(glyph.Width() - 1, glyph.Height());
    body.Draw(glyph, 0, 0);
    return LedPicture(body, style, kSpecialSize, kSpecialSize);
}

bool PaletteWriter::Write(const QString& dir) {
    for (const char* folder : {"face", "special"}) {
        if (!QDir().mkpath(dir + QLatin1Char('/') + QLatin1String(folder))) {
            error = QStringLiteral("cannot create %1/%2").arg(dir, QLatin1String(folder));
            return false;
        }
    }
    for (int k = 0; k < Animations::kCount; ++k) {
        const QString path = QStringLiteral("%1/face/%2.png").arg(dir).arg(k);
        if (!FacePicture(k).save(path, "PNG")) {
            error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    for (int k = 0; k < CharacterSet::kExtraCount; ++k) {
        const QString path = QStringLiteral("%1/special/%2.png").arg(dir).arg(k);
        if (!SpecialPicture(k).save(path, "PNG")) {
            error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    return true;
}

} // namespace vexa::datagen
