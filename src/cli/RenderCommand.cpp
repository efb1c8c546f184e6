#include "cli/RenderCommand.h"

#include "cli/CliContext.h"
#include "cli/RenderAnimation.h"
#include "cli/RenderInputs.h"
#include "cli/RowWarnings.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"
#include "core/SignColours.h"
#include "render/PngFile.h"
#include "render/RasterLimits.h"
#include "render/RowCheck.h"
#include "render/RowImages.h"
#include "render/SendPreparation.h"
#include "store/CMessageTable.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPainter>

namespace vexa {

namespace {

const char* ContentKindName(ContentKind kind) {
    switch (kind) {
    case ContentKind::Rtf:
        return "rtf";
    case ContentKind::BitmapFont:
        return "bitmap-font";
    case ContentKind::GlyphCodes:
        return "glyph-codes";
    case ContentKind::Date:
        return "date";
    case ContentKind::ImageList:
        return "image-list";
    case ContentKind::Blank:
        break;
    }
    return "blank";
}

// Frames the send preparation exports for a model: none for character codes, frame 0
// for colour planes, frames 0 and 1 otherwise.
int ExportedFrames(const DisplayModel& model) {
    switch (model.packKind) {
    case PackKind::CharacterCodes:
        return 0;
    case PackKind::ColourPlanes:
        return 1;
    case PackKind::OneBit:
    case PackKind::TwoBitPages:
        break;
    }
    return 2;
}

// The previews of the rows the model has, stacked, 4 pixels per dot, 128 dots wide. A row
// the sign does not receive (send box off) is washed out and hatched; a row that will not
// look as previewed carries the mark the window's previews carry.
QImage PreviewSheet(RowImages& rows, const DisplayModel& model, const CMessageTable& table) {
    constexpr int kDot = 4;
    constexpr int kGap = 3;
    const QColor background(240, 250, 255);
    const QSize cell(128 * kDot + 2, model.rows * kDot + 2);
    const int count = ModelCatalogue::VisibleRows(model.slotCount);
    QImage sheet(cell.width(), count * (cell.height() + kGap), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(background);
    QPainter painter(&sheet);
    for (int row = 0; row < count; ++row) {
        const QRect place(QPoint(0, row * (cell.height() + kGap)), cell);
        MessageImage& image = rows.Row(row);
        painter.drawImage(place.topLeft(), image.PreviewRaster(cell));
        if (!SendPreparation::IsSent(model, table, row)) {
            const QRect inside = place.adjusted(1, 1, -1, -1);
            painter.fillRect(inside, QColor(background.red(), background.green(), background.blue(), 190));
            painter.fillRect(inside, QBrush(QColor(120, 120, 120), Qt::BDiagPattern));
        }
        if (!image.Findings().isEmpty())
            RowCheck::DrawMark(painter, place);
    }
    return sheet;
}

} // namespace

int RenderCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("render"),
        QStringLiteral("Export the message bitmaps of every row of a message file exactly as a send "
                       "prepares them: OUT/20060_0.bmp ... OUT/20069_1.bmp (nothing for a row without "
                       "that frame; models that receive character codes export none). Rows the sign "
                       "receives that will not look as previewed are named in warning lines on stderr "
                       "(and in each row's \"warnings\" with --json)."),
        QStringLiteral("FILE"));
    const QCommandLineOption model = RenderInputs::ModelOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder for the bitmaps."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption preview(
        QStringLiteral("preview"),
        QStringLiteral("Also write a PNG of the previews of the rows the model has: rows not sent are "
                       "hatched, rows that will not look as previewed are marked."),
        QStringLiteral("PNG"));
    const QCommandLineOption signColour(
        QStringLiteral("sign-colour"),
        QStringLiteral("LED colour of a single-colour sign in the preview: red, amber, green or white "
                       "(default: SignColour in System.set, else red)."),
        QStringLiteral("COLOUR"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON."));
    const QCommandLineOption strict = RowWarnings::StrictOption();
    const QCommandLineOption animate(
        QStringLiteral("animate"),
        QStringLiteral("Instead, play what the sign shows (every row with its send box ticked, looping, or "
                       "--row) into an animated picture: APNG for .png, GIF for .gif, WebP for .webp."),
        QStringLiteral("OUT"));
    const QCommandLineOption onlyRow(
        QStringLiteral("row"), QStringLiteral("With --animate: only row N (0-9)."), QStringLiteral("N"));
    const QCommandLineOption signWidth(
        QStringLiteral("sign-width"),
        QStringLiteral("With --animate: the sign's columns, for models without a page width (default: "
                       "SignWidth of System.set, else the model's)."),
        QStringLiteral("COLS"));
    const QCommandLineOption loops(
        QStringLiteral("loops"),
        QStringLiteral("With --animate: times the picture plays (default 0: forever)."), QStringLiteral("K"));
    const QCommandLineOption zoom(QStringLiteral("zoom"),
                                  QStringLiteral("With --animate: pixels per dot (default 4)."),
                                  QStringLiteral("Z"));
    parser.addOptions(
        {model, out, preview, signColour, json, strict, animate, onlyRow, signWidth, loops, zoom});
    if (auto exit = parser.Parse(args, 1))
        return *exit;
    if (!parser.isSet(out) && !parser.isSet(animate)) {
        CliContext::PrintError(QStringLiteral("render: --out or --animate is required"));
        return CliContext::UsageError;
    }
    RenderAnimation::Options animation;
    if (parser.isSet(animate)) {
        QString error;
        animation.path = parser.value(animate);
        animation.row = parser.IntValue(QStringLiteral("row"), &error);
        animation.signWidth = parser.IntValue(QStringLiteral("sign-width"), &error);
        animation.loops = parser.IntValue(QStringLiteral("loops"), &error).value_or(0);
        animation.zoom = parser.IntValue(QStringLiteral("zoom"), &error).value_or(animation.zoom);
        animation.json = parser.isSet(json);
        if (!error.isEmpty()) {
            CliContext::PrintError(QStringLiteral("render: ") + error);
            return CliContext::UsageError;
        }
    }
    std::optional<LedColour> led;
    if (parser.isSet(signColour)) {
        led = SignColours::LedColourFromName(parser.value(signColour));
        if (!led) {
            CliContext::PrintError(
                QStringLiteral("render: unknown sign colour '%1' (red, amber, green, white)")
                    .arg(parser.value(signColour)));
            return CliContext::UsageError;
        }
    }
    animation.led = led;
    const DisplayModel* m = nullptr;
    if (auto exit = RenderInputs::Load(QStringLiteral("render"), context, parser, &m))
        return *exit;
    if (parser.isSet(animate))
        return RenderAnimation::Run(context, *m, animation);
    const QString outDir = QDir(parser.value(out)).absolutePath();
    if (!QDir().mkpath(outDir)) {
        CliContext::PrintError(QStringLiteral("render: cannot create %1").arg(outDir));
        return CliContext::Failure;
    }

    CVexaApp& app = context.App();
    RowImages& rows = app.rowImages;
    for (int row = 0; row < RowImages::RowCount; ++row)
        rows.Row(row).imageDir = outDir;
    rows.ApplyModel(*m);
    rows.SetLedColour(led.value_or(app.settingsFile.SignColour()));
    rows.LoadPreviews(*m, app.messageTable);
    const QList<SendPreparation::RowWarning> warnings =
        SendPreparation::Warnings(*m, rows.Pointers(), app.messageTable);
    RowWarnings::Print(warnings);
    if (parser.isSet(strict) && !warnings.isEmpty())
        return RowWarnings::RowsWarned;

    int status = 0;
    QJsonArray list;
    for (int row = 0; row < RowImages::RowCount; ++row) {
        MessageImage& image = rows.Row(row);
        QJsonArray exported;
        for (int frame = 0; frame < ExportedFrames(*m); ++frame) {
            const QString path = image.ExportFrame(frame);
            if (!path.isEmpty())
                exported.append(path);
            if (!image.exportError.isEmpty()) {
                CliContext::PrintError(QStringLiteral("render: row %1: %2").arg(row).arg(image.exportError));
                status = CliContext::Failure;
            }
        }
        for (const QString& problem : SendPreparation::ContentProblems(row, image)) {
            CliContext::PrintError(QStringLiteral("render: ") + problem + QStringLiteral(" (not drawn)"));
            status = CliContext::Failure;
        }
        if (const QString missing = image.MissingGlyphFolder(); !missing.isEmpty())
            CliContext::PrintError(
                QStringLiteral("render: row %1: the glyph folder %2 is missing; the row is drawn "
                               "without its glyphs")
                    .arg(row)
                    .arg(missing));
        list.append(QJsonObject{{QStringLiteral("row"), row},
                                {QStringLiteral("kind"), QString::fromLatin1(ContentKindName(image.Kind()))},
                                {QStringLiteral("contentWidth"), image.contentWidth},
                                {QStringLiteral("animated"), image.animated != 0},
                                {QStringLiteral("exported"), exported},
                                {QStringLiteral("sent"), SendPreparation::IsSent(*m, app.messageTable, row)},
                                {QStringLiteral("warnings"), RowWarnings::Json(image.Findings())}});
    }
    if (parser.isSet(preview)) {
        QString reason;
        if (!PngFile::Write(PreviewSheet(rows, *m, app.messageTable), parser.value(preview), &reason)) {
            CliContext::PrintError(
                QStringLiteral("render: cannot write %1: %2").arg(parser.value(preview), reason));
            status = CliContext::Failure;
        }
    }
    if (parser.isSet(json)) {
        CliContext::PrintJson(QJsonDocument(QJsonObject{
            {QStringLiteral("model"), QString::fromLatin1(m->name)}, {QStringLiteral("rows"), list}}));
        return status;
    }
    for (const auto& value : std::as_const(list)) {
        const QJsonObject o = value.toObject();
        QStringList paths;
        for (const auto& p : o[QStringLiteral("exported")].toArray())
            paths << p.toString();
        CliContext::PrintLine(
            QStringLiteral("row %1  %2  width %3%4  %5")
                .arg(o[QStringLiteral("row")].toInt())
                .arg(o[QStringLiteral("kind")].toString(), -11)
                .arg(o[QStringLiteral("contentWidth")].toInt())
                .arg(o[QStringLiteral("animated")].toBool() ? QStringLiteral("  animated") : QString())
                .arg(paths.join(QStringLiteral(" "))));
    }
    return status;
}

} // namespace vexa
