// vexa-datagen: writes the glyph and animation bitmaps (the Data tree), the palette
// pictures of the editors and, on request, contact sheets for reviewing them, from the
// hand-drawn sources in the art folder.

#include "Animations.h"
#include "ContactSheets.h"
#include "DataTreeWriter.h"
#include "PaletteWriter.h"
#include "SignFonts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "vexa-datagen: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace vexa::datagen;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vexa-datagen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes the sign's glyph and animation bitmaps."));
    parser.addHelpOption();
    const QCommandLineOption artOption(
        QStringLiteral("art"), QStringLiteral("Folder of the hand-drawn sources."), QStringLiteral("dir"));
    const QCommandLineOption dataOption(QStringLiteral("data"), QStringLiteral("Data folder to write."),
                                        QStringLiteral("dir"));
    const QCommandLineOption paletteOption(QStringLiteral("palettes"),
                                           QStringLiteral("Folder for the palette pictures."),
                                           QStringLiteral("dir"));
    const QCommandLineOption sheetOption(QStringLiteral("contact-sheets"),
                                         QStringLiteral("Folder for the review sheets."),
                                         QStringLiteral("dir"));
    parser.addOptions({artOption, dataOption, paletteOption, sheetOption});
    parser.process(app);

    if (!parser.isSet(artOption)) {
        return Fail(QStringLiteral("--art is required"));
    }
    if (!parser.isSet(dataOption) && !parser.isSet(paletteOption) && !parser.isSet(sheetOption)) {
        return Fail(QStringLiteral("nothing to do: give --data, --palettes or --contact-sheets"));
    }
    const QString artDir = parser.value(artOption);
    SignFonts fonts;
    if (!fonts.Load(artDir)) {
        return Fail(fonts.Error());
    }
    Animations animations;
    if (!animations.Load(artDir)) {
        return Fail(animations.Error());
    }
    if (parser.isSet(dataOption)) {
        DataTreeWriter writer(fonts, animations);
        if (!writer.Write(parser.value(dataOption))) {
            return Fail(writer.Error());
        }
    }
    PaletteWriter palettes(fonts, animations);
    if (parser.isSet(paletteOption) && !palettes.Write(parser.value(paletteOption))) {
        return Fail(palettes.Error());
    }
    if (parser.isSet(sheetOption)) {
        ContactSheets sheets(fonts, animations, palettes);
        if (!sheets.Write(parser.value(sheetOption))) {
            return Fail(sheets.Error());
        }
    }
    return 0;
}
