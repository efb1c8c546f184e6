#include "render/PictureReader.h"

#include "render/RasterLimits.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

QString TooLarge(QSize size) {
    return QStringLiteral(
               "the picture is too large (%1 x %2; at most %3 pixels on a side and %4 million in all)")
        .arg(size.width())
        .arg(size.height())
        .arg(RasterLimits::MaxPictureSide)
        .arg(RasterLimits::MaxPicturePixels / 1000000);
}

bool IsSvg(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("svg") || suffix == QLatin1String("svgz");
}

// A size of the same shape with at most pixels in all.
QSize FitPixels(QSize size, qint64 pixels) {
    const double area = double(size.width()) * size.height();
    if (area <= double(pixels))
        return size;
    const double factor = std::sqrt(double(pixels) / area);
    return {std::max(1, int(size.width() * factor)), std::max(1, int(size.height() * factor))};
}

PictureReader::Picture ReadSvg(const QString& path, int rows) {
    PictureReader::Picture picture;
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        picture.error = QStringLiteral("the SVG file could not be read");
        return picture;
    }
    QSizeF own = renderer.defaultSize();
    if (own.isEmpty())
        own = renderer.viewBoxF().size();
    if (own.isEmpty()) {
        picture.error = QStringLiteral("the SVG picture has no size");
        return picture;
    }
    picture.fileSize = own.toSize();
    const int height = std::max(1, rows) * PictureReader::VectorOversample;
    const double width =
        std::clamp(own.width() * height / own.height(), 1.0, double(RasterLimits::MaxPictureSide));
    const QSize size =
        FitPixels(QSize(int(std::lround(width)), height), RasterLimits::MaxDecodedPicturePixels);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        picture.error = TooLarge(size);
        return picture;
    }
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    picture.image = image;
    return picture;
}

// In a file of several images (an icon), the one closest to rows: the lowest at least as high,
// else the highest.
void PickImageFor(QImageReader& reader, int rows) {
    const int count = reader.imageCount();
    if (count <= 1 || reader.format() != "ico")
        return;
    int best = -1, bestHeight = 0;
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i))
            return;
        const int height = reader.size().height();
        const bool better =
            best < 0 || (height >= rows ? bestHeight < rows || height < bestHeight : height > bestHeight);
        if (better) {
            best = i;
            bestHeight = height;
        }
    }
    reader.jumpToImage(best);
}

} // namespace

PictureReader::Picture PictureReader::Read(const QString& path, int rows) {
    Picture picture;
    const QFileInfo info(path);
    if (!info.exists()) {
        picture.error = QStringLiteral("no such file");
        return picture;
    }
    if (!info.isFile()) {
        picture.error = QStringLiteral("not a regular file");
        return picture;
    }
    if (IsSvg(path))
        return ReadSvg(path, rows);

    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        picture.error = QStringLiteral("not a picture this program can read");
        return picture;
    }
    if (reader.format() == "svg")
        return ReadSvg(path, rows);
    PickImageFor(reader, rows);
    picture.fileSize = reader.size();
    if (picture.fileSize.isValid()) {
        if (!RasterLimits::PictureSizeAllowed(picture.fileSize)) {
            picture.error = TooLarge(picture.fileSize);
            return picture;
        }
        const QSize decoded = FitPixels(picture.fileSize, RasterLimits::MaxDecodedPicturePixels);
        if (decoded != picture.fileSize && reader.supportsOption(QImageIOHandler::ScaledSize))
            reader.setScaledSize(decoded);
    }
    picture.image = reader.read();
    if (picture.image.isNull()) {
        picture.error = reader.errorString();
        return picture;
    }
    if (!picture.fileSize.isValid())
        picture.fileSize = picture.image.size();
    if (!RasterLimits::PictureSizeAllowed(picture.image.size())) {
        picture.error = TooLarge(picture.image.size());
        picture.image = QImage();
    }
    return picture;
}

QStringList PictureReader::NameFilters() {
    QStringList filters{QStringLiteral("*.svg"), QStringLiteral("*.svgz")};
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        if (!filters.contains(pattern))
            filters << pattern;
    }
    return filters;
}

} // namespace vexa
