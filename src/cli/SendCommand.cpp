#include "cli/SendCommand.h"

#include "app/CVexaApp.h"
#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/GroupRun.h"
#include "cli/LinkSession.h"
#include "cli/VerbParser.h"

#include <QFileInfo>

namespace vexa {

int SendCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("send"),
        QStringLiteral("Send the messages of a message file to a sign, or with --485 send every ticked "
                       "sign of the sign list (WorkData/IDLIST.id) from its own work file, one after "
                       "the other. Exit status: 0 sent, 1 port not opened, 3 a frame not sent, "
                       "5 refused because the data is over the model's limit."),
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
        QStringLiteral("With --485: print one JSON object per sign instead of lines."));
    parser.addOption(yes);
    parser.addOption(json);
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
    const bool acceptOverLimit = parser.isSet(yes);
    runner.SetSizeQuestion([&](const QString& text, int) {
        if (acceptOverLimit)
            return true;
        CliContext::PrintError(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) +
                               QStringLiteral(" (use --yes to send the capped data)"));
        refused = true;
        return false;
    });
    app.signLink.address485 = chain ? 1 : 0;

    int worst = 0;
    int currentSign = target.value_or(1);
    bool finished = false;
    QObject::connect(&runner, &TransferRunner::signStarting, [&](int sign, int index, int total) {
        currentSign = sign;
        session.Progress().SetLabel(QStringLiteral("ID %1 (%2/%3)").arg(sign).arg(index + 1).arg(total));
    });
    QObject::connect(&runner, &TransferRunner::transferEnded, [&](int result) {
        session.Progress().Finish();
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
        if (worst == 0)
            worst = CliContext::Failure;
    });

    TransferRunner::Start start = TransferRunner::Start::Started;
    if (chain) {
        app.LoadSignList();
        start = runner.StartChain();
        if (start == TransferRunner::Start::NoIdSelected) {
            CliContext::PrintError(TransferRunner::NoIdSelectedText());
            return CliContext::Failure;
        }
    } else {
        const QString path = files.front();
        if (!app.messageTable.OpenMessageFile(path)) {
            CliContext::PrintError(QStringLiteral("send: cannot read %1").arg(app.messageTable.LoadError()));
            return CliContext::Failure;
        }
        app.signLink.currentId = currentSign;
        start = runner.BeginTransfer();
        if (start == TransferRunner::Start::Unprepared) {
            for (const QString& problem : runner.Problems())
                CliContext::PrintError(QStringLiteral("send: not sent: ") + problem);
            return CliContext::Failure;
        }
    }
    if (start == TransferRunner::Start::Started)
        session.WaitUntil([&] { return finished; });
    if (chain && parser.isSet(json))
        GroupRun::PrintResults(runner.ChainResults(), true);
    else if (start == TransferRunner::Start::Declined)
        return LinkSession::RefusedBySize;
    if (refused && worst == 0)
        return LinkSession::RefusedBySize;
    return worst;
}

} // namespace vexa
