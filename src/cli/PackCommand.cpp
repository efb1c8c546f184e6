#include "cli/PackCommand.h"

#include "cli/CliContext.h"
#include "cli/RenderInputs.h"
#include "cli/RowWarnings.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"
#include "render/RowImages.h"
#include "render/SendPreparation.h"

#include <QJsonArray>
#include <QJsonObject>

namespace vexa {

namespace {

QString HexOf(const PayloadEntry& entry) {
    const int length = std::clamp(entry.length, 0, static_cast<int>(entry.bytes.size()));
    return QString::fromLatin1(entry.bytes.left(length).toHex());
}

} // namespace

int PackCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("pack"),
        QStringLiteral("Prepare the send data of a message file (every row, both sets) and cap it for "
                       "the models with a data limit; print the bytes in hexadecimal. Rows the sign "
                       "receives that will not look as previewed are named in warning lines on stderr "
                       "(and in each row's \"warnings\" with --json)."),
        QStringLiteral("FILE"));
    const QCommandLineOption model = RenderInputs::ModelOption();
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON."));
    const QCommandLineOption strict = RowWarnings::StrictOption();
    parser.addOptions({model, json, strict});
    if (auto exit = parser.Parse(args, 1))
        return *exit;
    const DisplayModel* m = nullptr;
    if (auto exit = RenderInputs::Load(QStringLiteral("pack"), context, parser, &m))
        return *exit;

    CVexaApp& app = context.App();
    const QStringList problems =
        SendPreparation::PrepareMessageFile(*m, app.messageTable, app.rowImages, app.payload);
    if (!problems.isEmpty()) {
        // The data of such a row would be wrong (blank); show none rather than that.
        for (const QString& problem : problems)
            CliContext::PrintError(QStringLiteral("pack: ") + problem);
        return CliContext::Failure;
    }
    const QList<SendPreparation::RowWarning> warnings =
        SendPreparation::Warnings(*m, app.rowImages.Pointers(), app.messageTable);
    RowWarnings::Print(warnings);
    if (parser.isSet(strict) && !warnings.isEmpty())
        return RowWarnings::RowsWarned;
    const int excess = SendPreparation::LimitDataSize(*m, app.messageTable, app.payload);

    QJsonArray rows;
    for (int row = 0; row < Payload::RowCount; ++row) {
        rows.append(
            QJsonObject{{QStringLiteral("row"), row},
                        {QStringLiteral("sendFlag"), app.messageTable.sendFlag[static_cast<size_t>(row)]},
                        {QStringLiteral("set0"), HexOf(app.payload.At(0, row))},
                        {QStringLiteral("set1"), HexOf(app.payload.At(1, row))},
                        {QStringLiteral("warnings"), RowWarnings::Json(app.rowImages.Row(row).Findings())}});
    }
    if (parser.isSet(json)) {
        CliContext::PrintJson(
            QJsonDocument(QJsonObject{{QStringLiteral("model"), QString::fromLatin1(m->name)},
                                      {QStringLiteral("excess"), excess},
                                      {QStringLiteral("rows"), rows}}));
        return 0;
    }
    CliContext::PrintLine(QStringLiteral("model %1").arg(QString::fromLatin1(m->name)));
    for (int row = 0; row < Payload::RowCount; ++row) {
        const auto r = static_cast<size_t>(row);
        CliContext::PrintLine(QStringLiteral("row %1  kind %2  send %3")
                                  .arg(row)
                                  .arg(RenderInputs::KindName(app.messageTable.kind[r]))
                                  .arg(app.messageTable.sendFlag[r]));
        for (int set = 0; set < Payload::SetCount; ++set) {
            const PayloadEntry& entry = app.payload.At(set, row);
            CliContext::PrintLine(
                QStringLiteral("  set%1 %2 bytes: %3").arg(set).arg(entry.length).arg(HexOf(entry)));
        }
    }
    if (excess > 0)
        CliContext::PrintLine(QStringLiteral("excess %1 bytes over %2 (about %3 characters dropped)")
                                  .arg(excess)
                                  .arg(ModelCatalogue::DataLimitBytes)
                                  .arg(SendPreparation::ExcessWords(excess)));
    else
        CliContext::PrintLine(QStringLiteral("excess 0"));
    return 0;
}

} // namespace vexa
