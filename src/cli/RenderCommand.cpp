#include "cli/RenderCommand.h"

#include "cli/CliContext.h"
#include "cli/RenderInputs.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"
#include "render/PngFile.h"
#include "render/RasterLimits.h"
#include "render/RowImages.h"
#include "render/SendPreparation.h"

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

// The ten row previews stacked, 4 pixels per dot, 128 dots wide.
QImage PreviewSheet(RowImages& rows, int modelRows) {
    constexpr int kDot = 4;
    constexpr int kGap = 3;
    const QSize cell(128 * kDot + 2, modelRows * kDot + 2);
    QImage sheet(cell.width(), RowImages::RowCount * (cell.height() + kGap),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(240, 250, 255));
    QPainter painter(&sheet);
    for (int row = 0; row < RowImages::RowCount; ++row)
        painter.drawImage(QPoint(0, row * (cell.height() + kGap)), rows.Row(row).PreviewRaster(cell));
    return sheet;
}

} // namespace

int RenderCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("render"),
        QStringLiteral("Export the message bitmaps of every row of a message file exactly as a send "
                       "prepares them: OUT/20060_0.bmp ... OUT/20069_1.bmp (nothing for a row without "
                       "that frame; models that receive character codes export none)."),
        QStringLiteral("FILE"));
    const QCommandLineOption model = RenderInputs::ModelOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder for the bitmaps."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption preview(QStringLiteral("preview"),
                                     QStringLiteral("Also write a PNG of the ten row previews."),
                                     QStringLiteral("PNG"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON."));
    parser.addOptions({model, out, preview, json});
    if (auto exit = parser.Parse(args, 1))
        return *exit;
    if (!parser.isSet(out)) {
        CliContext::PrintError(QStringLiteral("render: --out is required"));
        return CliContext::UsageError;
    }
    const DisplayModel* m = nullptr;
    if (auto exit = RenderInputs::Load(QStringLiteral("render"), context, parser, &m))
        return *exit;
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
    rows.LoadPreviews(*m, app.messageTable);

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
        list.append(QJsonObject{{QStringLiteral("row"), row},
                                {QStringLiteral("kind"), QString::fromLatin1(ContentKindName(image.Kind()))},
                                {QStringLiteral("contentWidth"), image.contentWidth},
                                {QStringLiteral("animated"), image.animated != 0},
                                {QStringLiteral("exported"), exported}});
    }
    if (parser.isSet(preview)) {
        QString reason;
        if (!PngFile::Write(PreviewSheet(rows, m->rows), parser.value(preview), &reason)) {
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
