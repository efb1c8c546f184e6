#include "cli/GroupSendCommand.h"

#include "app/CVexaApp.h"
#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/GroupRun.h"
#include "cli/LinkSession.h"
#include "cli/RowWarnings.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"
#include "render/RowImages.h"
#include "render/SendPreparation.h"

#include <QFileInfo>

namespace vexa {

int GroupSendCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("group-send"),
        QStringLiteral("Send the messages of a message file to every listed sign of an addressed line, "
                       "one ID after the other, one result line per sign. The message file is only read, "
                       "never written. Exit status: 0 all sent, 1 port not opened, 3 some IDs failed, "
                       "5 refused because the data is over the model's limit, 6 refused by --strict "
                       "because rows will not look as previewed, 7 nothing sent because the data could "
                       "not be prepared (a file that cannot be read or is not a message file, a row not "
                       "prepared)."),
        QStringLiteral("FILE"));
    LinkSession::AddOptions(parser);
    const QCommandLineOption idsOption(QStringLiteral("ids"), QStringLiteral("Sign IDs, e.g. 1,2,3."),
                                       QStringLiteral("LIST"));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("Send data over the limit capped."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON object per sign."));
    parser.addOption(idsOption);
    parser.addOption(json);
    parser.addOption(yes);
    const QCommandLineOption strict = RowWarnings::StrictOption();
    parser.addOption(strict);
    if (auto exit = parser.Parse(args, 1))
        return *exit;
    QString error;
    const auto ids = LinkSession::ParseIds(parser.value(idsOption), 0, 255, &error);
    if (!ids) {
        CliContext::PrintError(QStringLiteral("group-send: --ids: ") + error);
        return CliContext::UsageError;
    }
    LinkSession session(context);
    if (!session.Configure(parser, QStringLiteral("group-send")))
        return CliContext::UsageError;
    CVexaApp& app = session.App();
    app.messageTable.messageFile.SetReadOnly(true);
    if (!LinkSession::OpenMessageFile(app.messageTable, parser.positionalArguments().front(),
                                      QStringLiteral("group-send")))
        return CliContext::NotPrepared;
    const bool acceptOverLimit = parser.isSet(yes);
    session.Runner().SetSizeQuestion([&](const QString& text, int) {
        if (!acceptOverLimit)
            CliContext::PrintError(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) +
                                   QStringLiteral(" (use --yes to send the capped data)"));
        return acceptOverLimit;
    });
    if (DryRun::Requested(parser))
        return GroupRun::PrintPlan(session, QStringLiteral("group-send"), parser, *ids,
                                   SignLink::GroupSendMessages, parser.isSet(json), parser.isSet(strict));
    // As the Group Send command: prepare the payload, then start.
    if (!app.glyphLibrary.IsLoaded())
        app.LoadGlyphLibrary();
    const QStringList problems = SendPreparation::PrepareMessageFile(
        *ModelCatalogue::Find(session.ModelName()), app.messageTable, app.rowImages, app.payload);
    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            CliContext::PrintError(QStringLiteral("group-send: not sent: ") + problem);
        return CliContext::NotPrepared;
    }
    const QList<SendPreparation::RowWarning> warnings = SendPreparation::Warnings(
        *ModelCatalogue::Find(session.ModelName()), app.rowImages.Pointers(), app.messageTable);
    RowWarnings::Print(warnings);
    if (parser.isSet(strict) && !warnings.isEmpty())
        return RowWarnings::RowsWarned;
    return GroupRun::Run(session, *ids, SignLink::GroupSendMessages, parser.isSet(json));
}

} // namespace vexa
