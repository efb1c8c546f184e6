#include "cli/ClockCommand.h"

#include "app/ClockResult.h"
#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/LinkSession.h"
#include "cli/VerbParser.h"
#include "link/SignLink.h"

namespace vexa {

int ClockCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("clock"),
        QStringLiteral("Set the sign's clock to the computer's local time. Exit status: 0 the sign "
                       "acknowledged the clock, 1 port not opened, 3 the clock frame was not sent, "
                       "4 the frame was sent but the sign did not acknowledge it."));
    LinkSession::AddOptions(parser);
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("With --dry-run: print the plan as JSON."));
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 0))
        return *exit;
    LinkSession session(context);
    if (!session.Configure(parser, QStringLiteral("clock")))
        return CliContext::UsageError;
    if (DryRun::Requested(parser))
        return DryRun::Report(parser, QStringLiteral("clock"), session.PortName(),
                              session.Runner().PlanClock(), parser.isSet(json));
    std::optional<int> checked;
    QObject::connect(&session.Runner(), &TransferRunner::clockChecked,
                     [&](int outcome) { checked = outcome; });
    session.Runner().SynchronizeTime();
    session.WaitUntil([&] { return checked.has_value(); });
    const auto outcome = static_cast<ClockResult::Outcome>(*checked);
    // The clock frame goes to every sign of the line at once: its outcome is the line's (ID 0).
    session.Events().Ended(0, ClockResult::ExitStatus(outcome),
                           outcome == ClockResult::Acknowledged
                               ? QString()
                               : session.FailureReason(ClockResult::ExitStatus(outcome)),
                           ClockResult::Text(outcome));
    if (outcome == ClockResult::Acknowledged)
        CliContext::PrintLine(ClockResult::Text(outcome));
    else
        CliContext::PrintError(ClockResult::Text(outcome));
    return ClockResult::ExitStatus(outcome);
}

} // namespace vexa
