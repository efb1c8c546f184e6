#include "cli/ClockCommand.h"

#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/LinkSession.h"
#include "cli/VerbParser.h"
#include "link/SignLink.h"

namespace vexa {

int ClockCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(QStringLiteral("clock"),
                      QStringLiteral("Set the sign's clock to the computer's local time. Exit status: 0 set, 1 port "
                                     "not opened, 3 the clock frame was not sent or not acknowledged."));
    LinkSession::AddOptions(parser);
    if (auto exit = parser.Parse(args, 0))
        return *exit;
    LinkSession session(context);
    if (!session.Configure(parser, QStringLiteral("clock")))
        return CliContext::UsageError;
    bool openFailed = false;
    QObject::connect(&session.Link(), &SignLink::openFailure, [&] { openFailed = true; });
    std::optional<bool> outcome;
    QObject::connect(&session.Runner(), &TransferRunner::clockChecked, [&](bool ok) { outcome = ok; });
    session.Runner().SynchronizeTime();
    session.WaitUntil([&] { return outcome.has_value(); });
    if (*outcome) {
        CliContext::PrintLine(TransferRunner::ClockText(true));
        return 0;
    }
    CliContext::PrintError(TransferRunner::ClockText(false));
    return openFailed ? SignLink::ResultOpenFailed : SignLink::ResultSendFailed;
}

} // namespace vexa
