#pragma once

#include <QImage>
#include <QString>

namespace vexa::datagen {

class Animations;
class SignFonts;

// The pictures of the editors' palettes: face/<k>.png shows frame 0 of face k on a
// 12-row sign, special/<k>.png the extra character 128 + k as the 7-row sign shows it.
class PaletteWriter {
public:
    static constexpr int kFaceSize = 28;
    static constexpr int kSpecialSize = 24;

    PaletteWriter(const SignFonts& fonts, const Animations& animations);

    QImage FacePicture(int k) const;
    QImage SpecialPicture(int k) const;
    bool Write(const QString& dir);
    const QString& Error() const { return error; }

private:
    const SignFonts& fonts;
    const Animations& animations;
    QString error;
};

} // namespace vexa::datagen
