#include "editors/PalettePicture.h"

#include <QPixmap>

namespace vexa {

QIcon PalettePicture::Icon(const QString& path) {
    const QPixmap picture(path);
    QIcon icon;
    if (picture.isNull())
        return icon;
    icon.addPixmap(picture);
    for (const int scale : {2, 3}) {
        QPixmap scaled =
            picture.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        scaled.setDevicePixelRatio(scale);
        icon.addPixmap(scaled);
    }
    return icon;
}

} // namespace vexa
