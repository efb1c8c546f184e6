#include "sim/DotRenderer.h"

#include "render/MessageImage.h"
#include "render/RowImages.h"

#include <algorithm>

namespace vexa {

namespace {

int Byte(QByteArrayView data, qsizetype at) {
    return static_cast<unsigned char>(data.at(at));
}

QRgb Argb(bool red, bool green) {
    if (red && green)
        return SignColours::ArgbOf(SignLight::Yellow, LedColour::Red);
    if (red || green)
        return SignColours::ArgbOf(red ? SignLight::Red : SignLight::Green, LedColour::Red);
    return SignColours::OpaqueBlack;
}

} // namespace

QImage DotRenderer::Render(const DisplayModel& model, QByteArrayView data, int set, LedColour led) {
    switch (model.packKind) {
    case PackKind::OneBit:
        return RenderRows(data, model.exportHeight > 0 ? model.exportHeight : model.rows,
                          SignColours::ArgbOf(SignLight::Single, led));
    case PackKind::ColourPlanes:
        return RenderRows(data, model.rows, Argb(set == 0, set != 0));
    case PackKind::TwoBitPages:
        return RenderPages(model, data);
    case PackKind::CharacterCodes:
        break;
    }
    return {};
}

QImage DotRenderer::RenderCharacters(const DisplayModel& model, QByteArrayView data, const QString& dataDir,
                                     LedColour led) {
    if (data.isEmpty())
        return {};
    // Every byte the packer sends stands for the character of the same number, so the
    // received bytes read as Latin-1 are the text that sends exactly those bytes.
    MessageImage image;
    RowImages::ApplyModelTo(image, model);
    image.dataDir = dataDir;
    image.ledColour = led;
    image.SetContent(QStringLiteral("[ASCII]") + QString::fromLatin1(data.data(), data.size()));
    const int width = image.Measure();
    return width > 0 ? image.PreviewDots(width) : QImage();
}

QImage DotRenderer::RenderRows(QByteArrayView data, int height, QRgb lit) {
    if (height <= 0 || data.isEmpty() || data.size() % height != 0)
        return {};
    const qsizetype bytesPerLine = data.size() / height;
    QImage image(int(bytesPerLine * 8), height, QImage::Format_RGB32);
    image.fill(SignColours::OpaqueBlack);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Byte(data, y * bytesPerLine + x / 8) & (0x80 >> (x % 8)))
                image.setPixel(x, y, lit);
    return image;
}

QImage DotRenderer::RenderPages(const DisplayModel& model, QByteArrayView data) {
    const int columns = model.pageColumns;
    const int height = model.rows;
    if (columns <= 0 || height <= 0 || data.isEmpty())
        return {};
    const qsizetype pageBytes = std::max(256, height * columns * 2 / 8);
    const qsizetype pages = (data.size() + pageBytes - 1) / pageBytes;
    // Family 2 signs light a dot with bit value 0, all others with 1.
    const int lit = model.family == LinkFamily::PagedBlocks ? 0 : 1;
    QImage image(int(pages * columns), height, QImage::Format_RGB32);
    image.fill(SignColours::OpaqueBlack);
    for (qsizetype page = 0; page < pages; ++page) {
        for (int y = 0; y < height; ++y) {
            const qsizetype line = page * pageBytes + qsizetype(y) * columns * 2 / 8;
            for (int i = 0; i < columns; ++i) {
                const qsizetype at = line + i / 4;
                if (at >= data.size())
                    continue;
                const int shift = 2 * (i % 4);
                const bool green = ((Byte(data, at) >> shift) & 1) == lit;
                const bool red = ((Byte(data, at) >> (shift + 1)) & 1) == lit;
                image.setPixel(int(page * columns + i), y, Argb(red, green));
            }
        }
    }
    return image;
}

QImage DotRenderer::Combine(const QImage& red, const QImage& green) {
    if (red.isNull() || green.isNull() || red.size() != green.size())
        return {};
    QImage image(red.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           Argb(red.pixel(x, y) != SignColours::OpaqueBlack,
                                green.pixel(x, y) != SignColours::OpaqueBlack));
    return image;
}

} // namespace vexa
