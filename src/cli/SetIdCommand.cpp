#include "cli/SetIdCommand.h"

#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/LinkSession.h"
#include "cli/VerbParser.h"
#include "link/SignLink.h"

namespace vexa {

int SetIdCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("set-id"),
        QStringLiteral("Give the sign with ID OLD the ID NEW (both 1..256). Exit status: 0 set, 1 port "
                       "not opened, 4 no acknowledgement within 600 ms."),
        QStringLiteral("OLD NEW"));
    LinkSession::AddOptions(parser);
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("With --dry-run: print the plan as JSON."));
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 2))
        return *exit;
    bool okOld = false;
    bool okNew = false;
    const int oldId = parser.positionalArguments()[0].toInt(&okOld);
    const int newId = parser.positionalArguments()[1].toInt(&okNew);
    if (!okOld || !okNew || oldId < 1 || oldId > 256 || newId < 1 || newId > 256) {
        CliContext::PrintError(QStringLiteral("ID >=1 and ID <= 256!"));
        return CliContext::UsageError;
    }
    LinkSession session(context);
    if (!session.Configure(parser, QStringLiteral("set-id")))
        return CliContext::UsageError;
    if (DryRun::Requested(parser))
        return DryRun::Report(parser, QStringLiteral("set-id"), session.PortName(),
                              session.Runner().PlanSetId(oldId, newId), parser.isSet(json));
    bool openFailed = false;
    QObject::connect(&session.Link(), &SignLink::openFailure, [&] { openFailed = true; });
    std::optional<bool> outcome;
    QObject::connect(&session.Runner(), &TransferRunner::idSet, [&](bool ok) { outcome = ok; });
    session.Runner().SetId(oldId, newId);
    session.WaitUntil([&] { return outcome.has_value(); });
    if (*outcome) {
        CliContext::PrintLine(QStringLiteral("Success!"));
        return 0;
    }
    CliContext::PrintError(QStringLiteral("Setting failed!"));
    return openFailed ? SignLink::ResultOpenFailed : SignLink::ResultReadFailed;
}

} // namespace vexa
