#include "cli/ScanCommand.h"

#include "app/CVexaApp.h"
#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/LinkSession.h"
#include "cli/VerbParser.h"

#include <QDir>
#include <QJsonArray>

namespace vexa {

int ScanCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("scan"),
        QStringLiteral(
            "Probe IDs 1 to 254 and list the signs that answered. Answering signs that are "
            "in no group join the list's group, ticked; --save stores that in the sign list. "
            "Exit status: 0 scanned, 1 port not opened (or, with --save, the sign list not saved: one that "
            "is there but could not be read is never written over), 3 a probe not sent."));
    LinkSession::AddOptions(parser);
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("Store the answering signs in the sign list."));
    const QCommandLineOption json(
        QStringLiteral("json"), QStringLiteral("Print the IDs as a JSON array (with --dry-run: the plan)."));
    parser.addOption(save);
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 0))
        return *exit;
    LinkSession session(context);
    if (!session.Configure(parser, QStringLiteral("scan")))
        return CliContext::UsageError;
    if (DryRun::Requested(parser))
        return DryRun::Report(parser, QStringLiteral("scan"), session.PortName(), session.Runner().PlanScan(),
                              parser.isSet(json));
    CVexaApp& app = session.App();
    app.LoadSignList();
    bool finished = false;
    QObject::connect(&app.signLink, &SignLink::linkMessage, [&](int message, qintptr, qintptr) {
        if (message == SignLink::ScanFinishedMessage)
            finished = true;
    });
    session.Progress().SetLabel(QStringLiteral("scan"));
    if (session.Runner().StartScan() != TransferRunner::Start::Started)
        return CliContext::Failure;
    session.WaitUntil([&] { return finished; });

    const int result = app.signLink.LastResult();
    if (result != SignLink::ResultOk)
        CliContext::PrintError(TransferRunner::ResultText(result));
    QJsonArray answered;
    for (int id = 0; id <= CIdList::MaxId; ++id) {
        if (app.idList.entries[static_cast<size_t>(id)].scanState == 1)
            answered.append(id);
    }
    if (parser.isSet(json))
        CliContext::PrintJson(QJsonDocument(answered));
    else
        for (const QJsonValue& id : std::as_const(answered))
            CliContext::PrintLine(QString::number(id.toInt()));
    if (parser.isSet(save) && result == SignLink::ResultOk &&
        (!QDir().mkpath(app.Paths().WorkDataDir()) || !app.idList.SaveIdList())) {
        CliContext::PrintError(QStringLiteral("scan: cannot save the sign list"));
        return CliContext::Failure;
    }
    return result;
}

} // namespace vexa
