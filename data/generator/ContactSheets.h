#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace vexa::datagen {

class Animations;
class PaletteWriter;
class SignFonts;

// Review pages of the whole set: one PNG per family of files, every picture enlarged in
// a grid on a dark background with its number beneath, so a person can check the set
// at a glance.
class ContactSheets {
public:
    ContactSheets(const SignFonts& fonts, const Animations& animations, const PaletteWriter& palettes);

    // Writes ascii.png, font0.png .. font6.png, gif7.png, gif12.png, gif16.png,
    // eruope.png and palettes.png into dir.
    bool Write(const QString& dir);
    const QString& Error() const { return error; }

private:
    struct Cell {
        int label;
        std::vector<QImage> pictures;
    };
    struct Section {
        std::vector<Cell> cells;
        int columns;
    };

    QImage Render(const std::vector<Section>& sections) const;
    void DrawLabel(QImage& sheet, int x, int y, int number) const;
    bool Save(const QImage& sheet, const QString& path);

    const SignFonts& fonts;
    const Animations& animations;
    const PaletteWriter& palettes;
    QString error;
};

} // namespace vexa::datagen
