#include "PalettePictures.h"

namespace vexa {

QString PalettePictures::FacePath(int k) {
    return QStringLiteral(":/palettes/face/%1.png").arg(k);
}

QString PalettePictures::SpecialPath(int k) {
    return QStringLiteral(":/palettes/special/%1.png").arg(k);
}

} // namespace vexa
