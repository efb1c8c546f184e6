#include "cli/InfoCommand.h"

#include "cli/CliContext.h"
#include "cli/VerbParser.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace vexa {

namespace {

const char* const kKindNames[] = {"empty", "text", "image", "date"};

QString KindName(int kind) {
    return kind >= 0 && kind <= 3 ? QString::fromLatin1(kKindNames[kind]) : QString::number(kind);
}

} // namespace

int InfoCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(QStringLiteral("info"),
                      QStringLiteral("Show the ten rows of a message file: parameters and content strings."),
                      QStringLiteral("FILE"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print JSON."));
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 1))
        return *exit;

    const QString path = parser.positionalArguments().front();
    CMessageTable& table = context.App().messageTable;
    if (!table.OpenMessageFile(path)) {
        CliContext::PrintError(QStringLiteral("info: cannot read %1").arg(table.LoadError()));
        return CliContext::Failure;
    }
    QJsonArray rows;
    for (int row = 0; row < CMessageTable::RowCount; ++row) {
        QJsonObject o;
        for (int f = 0; f < CMessageTable::ParamCount; ++f)
            o[QString::fromLatin1(CMessageTable::ParamName(f))] = table.Param(f)[static_cast<size_t>(row)];
        o[QStringLiteral("content")] = table.ReadContent(row);
        rows.append(o);
    }
    if (parser.isSet(json)) {
        CliContext::PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("rows"), rows}}));
        return 0;
    }
    CliContext::PrintLine(
        QStringLiteral("Row Kind  Effect Speed Time Marquee Send YOffset Arabic Blink Content"));
    for (int row = 0; row < CMessageTable::RowCount; ++row) {
        const QJsonObject o = rows[row].toObject();
        const auto v = [&](const char* name) { return o[QString::fromLatin1(name)].toInt(); };
        CliContext::PrintLine(QStringLiteral("%1   %2 %3 %4 %5 %6 %7 %8 %9 %10 %11")
                                  .arg(row)
                                  .arg(KindName(v("kind")), -5)
                                  .arg(v("effect"), 6)
                                  .arg(v("speed") + 1, 5)
                                  .arg(QStringLiteral("%1s").arg(v("holdTime")), 4)
                                  .arg(v("marquee"), 7)
                                  .arg(v("sendFlag"), 4)
                                  .arg(v("yOffset"), 7)
                                  .arg(v("arabic"), 6)
                                  .arg(v("blink"), 5)
                                  .arg(o[QStringLiteral("content")].toString()));
    }
    return 0;
}

} // namespace vexa
