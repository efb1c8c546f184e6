#include "cli/PowerCommand.h"

#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/GroupRun.h"
#include "cli/LinkSession.h"
#include "cli/VerbParser.h"
#include "link/SignLink.h"

namespace vexa {

int PowerCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("power"),
        QStringLiteral("Switch the signs with the given IDs on or off, one after the other, one result line "
                       "per sign. Exit status: 0 all sent, 1 port not opened, 3 some IDs failed."),
        QStringLiteral("on|off"));
    LinkSession::AddOptions(parser);
    const QCommandLineOption idsOption(QStringLiteral("ids"), QStringLiteral("Sign IDs, e.g. 1,2,3."),
                                       QStringLiteral("LIST"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON object per sign."));
    parser.addOption(idsOption);
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 1))
        return *exit;
    const QString state = parser.positionalArguments().front();
    if (state != QLatin1String("on") && state != QLatin1String("off")) {
        CliContext::PrintError(QStringLiteral("power: expected on or off, not '%1'").arg(state));
        return CliContext::UsageError;
    }
    QString error;
    const auto ids = LinkSession::ParseIds(parser.value(idsOption), 0, 255, &error);
    if (!ids) {
        CliContext::PrintError(QStringLiteral("power: --ids: ") + error);
        return CliContext::UsageError;
    }
    LinkSession session(context);
    if (!session.Configure(parser, QStringLiteral("power")))
        return CliContext::UsageError;
    const int operation = state == QLatin1String("on") ? SignLink::GroupPowerOn : SignLink::GroupPowerOff;
    if (DryRun::Requested(parser))
        return GroupRun::PrintPlan(session, QStringLiteral("power"), parser, *ids, operation,
                                   parser.isSet(json));
    return GroupRun::Run(session, *ids, operation, parser.isSet(json));
}

} // namespace vexa
