#include "cli/ReadIdCommand.h"

#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/LinkSession.h"
#include "cli/VerbParser.h"
#include "link/SignLink.h"

namespace vexa {

int ReadIdCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("read-id"),
        QStringLiteral("Ask the sign on the line for its ID. Exit status: 0 read, 1 port not opened, "
                       "4 no answer within 600 ms."));
    LinkSession::AddOptions(parser);
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("With --dry-run: print the plan as JSON."));
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 0))
        return *exit;
    LinkSession session(context);
    if (!session.Configure(parser, QStringLiteral("read-id")))
        return CliContext::UsageError;
    if (DryRun::Requested(parser))
        return DryRun::Report(parser, QStringLiteral("read-id"), session.PortName(),
                              session.Runner().PlanReadId(), parser.isSet(json));
    bool openFailed = false;
    QObject::connect(&session.Link(), &SignLink::openFailure, [&] { openFailed = true; });
    std::optional<std::pair<bool, int>> outcome;
    QObject::connect(&session.Runner(), &TransferRunner::idRead, [&](bool ok, int id) {
        outcome = {ok, id};
    });
    session.Runner().ReadId();
    session.WaitUntil([&] { return outcome.has_value(); });
    if (outcome->first) {
        CliContext::PrintLine(QStringLiteral("Success!"));
        CliContext::PrintLine(QString::number(outcome->second));
        return 0;
    }
    CliContext::PrintError(QStringLiteral("Read failed!"));
    return openFailed ? SignLink::ResultOpenFailed : SignLink::ResultReadFailed;
}

} // namespace vexa
