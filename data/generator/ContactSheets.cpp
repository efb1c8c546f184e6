#include "ContactSheets.h"

#include "Animations.h"
#include "DataTreeWriter.h"
#include "LedPicture.h"
#include "PaletteWriter.h"
#include "SignFonts.h"

#include <QDir>
#include <QPainter>
#include <algorithm>

namespace vexa::datagen {

namespace {

constexpr int kPadding = 6;
constexpr int kPictureGap = 4;
constexpr int kLabelScale = 2;
constexpr int kLabelHeight = 7 * kLabelScale + 4;
constexpr int kSectionGap = 16;
const QRgb kSheetBackground = qRgb(0x08, 0x08, 0x08);
const QRgb kGridColour = qRgb(0x4E, 0x4E, 0x4E);
const QRgb kLabelColour = qRgb(0x9A, 0x9A, 0x9A);
constexpr Dot kColours[] = {Dot::Red, Dot::Green, Dot::Yellow};

LedStyle SheetStyle() {
    return LedStyle{6, 5, qRgb(0, 0, 0), qRgb(0x26, 0x26, 0x26)};
}

// Wide enough for a three-digit number beneath every picture.
constexpr int kMinimumCellWidth = 3 * 6 * kLabelScale + 4;

} // namespace

ContactSheets::ContactSheets(const SignFonts& signFonts, const Animations& faces,
                             const PaletteWriter& palette)
    : fonts(signFonts), animations(faces), palettes(palette) {}

void ContactSheets::DrawLabel(QImage& sheet, int x, int y, int number) const {
    // Numbers are written with the sign's own 5-row digits.
    const QString digits = QString::number(number);
    for (QChar digit : digits) {
        const DotImage& glyph = fonts.Glyph(5, digit.unicode());
        for (int gy = 0; gy < glyph.Height(); ++gy) {
            for (int gx = 0; gx < glyph.Width(); ++gx) {
                if (!glyph.IsLit(gx, gy)) {
                    continue;
                }
                for (int py = 0; py < kLabelScale; ++py) {
                    for (int px = 0; px < kLabelScale; ++px) {
                        const int sx = x + gx * kLabelScale + px;
                        const int sy = y + gy * kLabelScale + py;
                        if (sheet.valid(sx, sy)) {
                            sheet.setPixel(sx, sy, kLabelColour);
                        }
                    }
                }
            }
        }
        x += glyph.Width() * kLabelScale;
    }
}

QImage ContactSheets::Render(const std::vector<Section>& sections) const {
    int cellWidth = 0;
    int cellHeight = 0;
    for (const Section& section : sections) {
        for (const Cell& cell : section.cells) {
            int width = -kPictureGap;
            for (const QImage& picture : cell.pictures) {
                width += picture.width() + kPictureGap;
                cellHeight = std::max(cellHeight, picture.height());
            }
            cellWidth = std::max(cellWidth, width);
        }
    }
    cellWidth = std::max(cellWidth + 2 * kPadding, kMinimumCellWidth);
    cellHeight += 2 * kPadding + kLabelHeight;
    int sheetWidth = 0;
    int sheetHeight = kSectionGap;
    for (const Section& section : sections) {
        const int rows = (static_cast<int>(section.cells.size()) + section.columns - 1) / section.columns;
        sheetWidth = std::max(sheetWidth, section.columns * cellWidth + 1 + 2 * kSectionGap);
        sheetHeight += rows * cellHeight + 1 + kSectionGap;
    }
    QImage sheet(sheetWidth, sheetHeight, QImage::Format_RGB32);
    sheet.fill(kSheetBackground);
    QPainter painter(&sheet);
    painter.setPen(QColor(kGridColour));
    int top = kSectionGap;
    for (const Section& section : sections) {
        const int count = static_cast<int>(section.cells.size());
        const int rows = (count + section.columns - 1) / section.columns;
        for (int i = 0; i < count; ++i) {
            const Cell& cell = section.cells[static_cast<std::size_t>(i)];
            const int x = kSectionGap + (i % section.columns) * cellWidth;
            const int y = top + (i / section.columns) * cellHeight;
            painter.drawRect(x, y, cellWidth, cellHeight);
            int px = x + kPadding;
            for (const QImage& picture : cell.pictures) {
                painter.drawImage(px, y + kPadding, picture);
                px += picture.width() + kPictureGap;
            }
            DrawLabel(sheet, x + kPadding, y + cellHeight - kLabelHeight + 2, cell.label);
        }
        top += rows * cellHeight + 1 + kSectionGap;
    }
    return sheet;
}

bool ContactSheets::Save(const QImage& sheet, const QString& path) {
    if (!sheet.save(path, "PNG")) {
        error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

bool ContactSheets::Write(const QString& dir) {
    if (!QDir().mkpath(dir)) {
        error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    const LedStyle style = SheetStyle();
    Section sign{{}, 16};
    for (int index = 0; index < CharacterSet::kGlyphCount; ++index) {
        if (CharacterSet::IsDrawn(index)) {
            sign.cells.push_back({index, {LedPicture(fonts.SignGlyph(index), style)}});
        }
    }
    if (!Save(Render({sign}), dir + QStringLiteral("/ascii.png"))) {
        return false;
    }
    for (int font = 0; font < SignFonts::kFontCount; ++font) {
        std::vector<Section> sections;
        const int columns = SignFonts::Fonts()[static_cast<std::size_t>(font)].advance > 9 ? 12 : 16;
        for (Dot colour : kColours) {
            Section section{{}, columns};
            for (int index = 0; index < CharacterSet::kGlyphCount; ++index) {
                section.cells.push_back(
                    {index, {LedPicture(fonts.Glyph(font, index).Recoloured(colour), style)}});
            }
            sections.push_back(section);
        }
        if (!Save(Render(sections), QStringLiteral("%1/font%2.png").arg(dir).arg(font))) {
            return false;
        }
    }
    for (int height : Animations::kHeights) {
        const int last = height == 7 ? DataTreeWriter::kLastSignAnimation : Animations::kCount - 1;
        Section section{{}, height == 7 ? 10 : 8};
        for (int n = 0; n <= last; ++n) {
            Cell cell{n, {}};
            for (int frame = 0; frame < 2; ++frame) {
                const DotImage& image =
                    n < Animations::kCount
                        ? animations.Frame(height, n, frame)
                        : fonts.SignGlyph(CharacterSet::kFirstExtra + n - Animations::kCount);
                cell.pictures.push_back(LedPicture(image, style));
            }
            section.cells.push_back(cell);
        }
        if (!Save(Render({section}), QStringLiteral("%1/gif%2.png").arg(dir).arg(height))) {
            return false;
        }
    }
    Section picker{{}, 10};
    for (int k = 0; k < CharacterSet::kExtraCount; ++k) {
        const int index = CharacterSet::kFirstExtra + k;
        picker.cells.push_back({index, {LedPicture(fonts.Glyph(0, index).Recoloured(Dot::Yellow), style)}});
    }
    if (!Save(Render({picker}), dir + QStringLiteral("/eruope.png"))) {
        return false;
    }
    Section faces{{}, 16};
    for (int k = 0; k < Animations::kCount; ++k) {
        faces.cells.push_back(
            {k,
             {palettes.FacePicture(k).scaled(PaletteWriter::kFaceSize * 2, PaletteWriter::kFaceSize * 2)}});
    }
    Section specials{{}, 17};
    for (int k = 0; k < CharacterSet::kExtraCount; ++k) {
        specials.cells.push_back({k,
                                  {palettes.SpecialPicture(k).scaled(PaletteWriter::kSpecialSize * 2,
                                                                     PaletteWriter::kSpecialSize * 2)}});
    }
    return Save(Render({faces, specials}), dir + QStringLiteral("/palettes.png"));
}

} // namespace vexa::datagen
