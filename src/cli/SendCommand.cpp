#include "cli/SendCommand.h"

#include "app/CVexaApp.h"
#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/GroupRun.h"
#include "cli/LinkSession.h"
#include "cli/RowWarnings.h"
#include "cli/VerbParser.h"

#include <QFileInfo>

namespace vexa {

int SendCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("send"),
        QStringLiteral("Send the messages of a message file to a sign, or with --485 send every ticked "
                       "sign of the sign list (WorkData/IDLIST.id) from its own work file, one after "
                       "the other. The message files are only read, never written. Exit status: 0 sent, "
                       "1 port not opened, 3 a frame not sent, 5 refused because the data is over the "
                       "model's limit, 6 refused by --strict because rows will not look as previewed, "
                       "7 nothing sent because the data could not be prepared (a file that cannot be "
                       "read or is not a message file, a row not prepared). Rows that will not look as "
                       "previewed are named in warning lines on stderr."),
        QStringLiteral("[FILE]"));
    LinkSession::AddOptions(parser);
    const QCommandLineOption id(QStringLiteral("id"), QStringLiteral("Target sign ID (default 1)."),
                                QStringLiteral("N"));
    const QCommandLineOption mode485(
        QStringLiteral("485"), QStringLiteral("RS-485 line: address the ID and send every ticked sign."));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Send data over the model's limit capped, without asking."));
    parser.addOption(id);
    parser.addOption(mode485);
    const QCommandLineOption json(
        QStringLiteral("json"),
        QStringLiteral("With --485: print one JSON object per sign instead of lines; with --dry-run: "
                       "print the plan as JSON."));
    parser.addOption(yes);
    parser.addOption(json);
    const QCommandLineOption strict = RowWarnings::StrictOption();
    parser.addOption(strict);
    if (auto exit = parser.Parse(args, -1))
        return *exit;
    const QStringList files = parser.positionalArguments();
    const bool chain = parser.isSet(mode485);
    if (files.size() > 1 || (files.isEmpty() && !chain)) {
        CliContext::PrintError(QStringLiteral("send: expected one message file (or --485)\n") +
                               parser.HelpText());
        return CliContext::UsageError;
    }
    QString error;
    const std::optional<int> target = parser.IntValue(QStringLiteral("id"), &error);
    if (!error.isEmpty() || (target && (*target < 1 || *target > 255))) {
        CliContext::PrintError(QStringLiteral("send: ") +
                               (error.isEmpty() ? QStringLiteral("--id takes 1..255") : error));
        return CliContext::UsageError;
    }

    LinkSession session(context);
    if (!session.Configure(parser, QStringLiteral("send")))
        return CliContext::UsageError;
    CVexaApp& app = session.App();
    TransferRunner& runner = session.Runner();
    bool refused = false;
    QString refusal; // the last size question declined: why a sign of a chain was passed over
    const bool acceptOverLimit = parser.isSet(yes);
    runner.SetSizeQuestion([&](const QString& text, int) {
        if (acceptOverLimit)
            return true;
        refusal = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) +
                  QStringLiteral(" (use --yes to send the capped data)");
        CliContext::PrintError(refusal);
        refused = true;
        return false;
    });
    const bool strictRows = parser.isSet(strict);
    runner.SetRowWarningQuestion([strictRows](const QStringList& lines) {
        RowWarnings::Print(lines);
        return !strictRows;
    });
    app.signLink.address485 = chain ? 1 : 0;

    int worst = 0;
    int currentSign = target.value_or(1);
    bool finished = false;
    QObject::connect(&runner, &TransferRunner::signStarting, [&](int sign, int index, int total) {
        currentSign = sign;
        session.Events().Started(sign, refusal);
        session.Progress().SetLabel(QStringLiteral("ID %1 (%2/%3)").arg(sign).arg(index + 1).arg(total));
    });
    QObject::connect(&runner, &TransferRunner::transferEnded, [&](int result) {
        session.Progress().Finish();
        session.Events().Ended(currentSign, result, result == 0 ? QString() : session.FailureReason(result));
        if (chain && parser.isSet(json)) {
            if (worst == 0)
                worst = result;
            return; // printed as JSON when the chain is over
        }
        QString text = TransferRunner::ResultText(result);
        if (result == SignLink::ResultOpenFailed)
            text += QLatin1Char(' ') + app.signLink.LastOpenFailure();
        const QString line = chain ? QStringLiteral("ID %1: %2").arg(currentSign).arg(text) : text;
        if (result == 0)
            CliContext::PrintLine(line);
        else
            CliContext::PrintError(line);
        if (worst == 0)
            worst = result;
    });
    QObject::connect(&runner, &TransferRunner::sendsFinished, [&] { finished = true; });
    QObject::connect(&runner, &TransferRunner::signFailed, [&](int sign, const QString& reason) {
        CliContext::PrintError(QStringLiteral("ID %1: not sent: %2").arg(sign).arg(reason));
        session.Events().Ended(sign, CliEvents::NotSent, reason);
        if (worst == 0)
            worst = CliContext::NotPrepared;
    });
    // Sending reads message files and writes none of them back.
    app.messageTable.messageFile.SetReadOnly(true);

    if (DryRun::Requested(parser)) {
        runner.SetPlanWarnings(true);
        TransferPlan plan;
        TransferRunner::Start start = TransferRunner::Start::Started;
        QStringList skipped;
        if (chain) {
            app.LoadSignList();
            start = runner.PlanChain(plan, &skipped);
        } else if (!LinkSession::OpenMessageFile(app.messageTable, files.front(), QStringLiteral("send"))) {
            return CliContext::NotPrepared; // what the send itself would answer
        } else {
            app.signLink.currentId = currentSign;
            start = runner.PlanSend(plan);
        }
        switch (start) {
        case TransferRunner::Start::NoIdSelected:
            CliContext::PrintError(TransferRunner::NoIdSelectedText());
            return CliContext::Failure;
        case TransferRunner::Start::Unprepared:
            for (const QString& problem : runner.Problems())
                CliContext::PrintError(QStringLiteral("send: not sent: ") + problem);
            return CliContext::NotPrepared;
        case TransferRunner::Start::Declined:
            return LinkSession::RefusedBySize;
        default:
            break;
        }
        if (const int warned =
                DryRun::ReportWarnings(QStringLiteral("send"), runner.PlanWarnings(), strictRows))
            return warned;
        for (const QString& sign : skipped)
            CliContext::PrintError(QStringLiteral("send: not sent: ") + sign);
        if (!skipped.isEmpty())
            worst = CliContext::NotPrepared; // as the send answers for a sign it passed over
        const int reported =
            DryRun::Report(parser, QStringLiteral("send"), session.PortName(), plan, parser.isSet(json));
        if (reported != 0 || worst != 0)
            return reported != 0 ? reported : worst;
        return refused ? LinkSession::RefusedBySize : 0;
    }

    TransferRunner::Start start = TransferRunner::Start::Started;
    if (chain) {
        app.LoadSignList();
        start = runner.StartChain();
        if (start == TransferRunner::Start::NoIdSelected) {
            CliContext::PrintError(TransferRunner::NoIdSelectedText());
            return CliContext::Failure;
        }
        if (start == TransferRunner::Start::Cancelled) {
            CliContext::PrintError(QStringLiteral("send: --strict: nothing sent"));
            return RowWarnings::RowsWarned;
        }
    } else {
        if (!LinkSession::OpenMessageFile(app.messageTable, files.front(), QStringLiteral("send")))
            return CliContext::NotPrepared;
        app.signLink.currentId = currentSign;
        session.Events().Started(currentSign);
        start = runner.BeginTransfer();
        if (start == TransferRunner::Start::Unprepared) {
            for (const QString& problem : runner.Problems())
                CliContext::PrintError(QStringLiteral("send: not sent: ") + problem);
            session.Events().Finish(runner.Problems().join(QStringLiteral("; ")));
            return CliContext::NotPrepared;
        }
        if (start == TransferRunner::Start::Cancelled) {
            CliContext::PrintError(QStringLiteral("send: --strict: nothing sent"));
            return RowWarnings::RowsWarned;
        }
    }
    if (start == TransferRunner::Start::Started)
        session.WaitUntil([&] { return finished; });
    session.Events().Finish(refusal);
    if (chain && parser.isSet(json))
        GroupRun::PrintResults(runner.ChainResults(), true);
    else if (start == TransferRunner::Start::Declined)
        return LinkSession::RefusedBySize;
    if (refused && worst == 0)
        return LinkSession::RefusedBySize;
    return worst;
}

} // namespace vexa
