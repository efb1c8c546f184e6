#include "cli/GroupRun.h"

#include "app/CVexaApp.h"
#include "app/SignResults.h"
#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/LinkSession.h"
#include "link/GroupSendModel.h"

#include <QJsonArray>
#include <QJsonObject>

namespace vexa {

void GroupRun::PrintResults(const QList<SignLink::IdResult>& results, bool json) {
    if (json) {
        QJsonArray array;
        for (const SignLink::IdResult& r : results)
            array.append(QJsonObject{{QStringLiteral("id"), r.id},
                                     {QStringLiteral("result"), r.result},
                                     {QStringLiteral("text"), TransferRunner::ResultText(r.result)}});
        CliContext::PrintJson(QJsonDocument(array));
        return;
    }
    for (const SignLink::IdResult& r : results) {
        if (r.result == SignLink::ResultOk)
            CliContext::PrintLine(SignResults::Line(r));
        else
            CliContext::PrintError(SignResults::Line(r));
    }
}

int GroupRun::PrintPlan(LinkSession& session, const QString& verb, const VerbParser& parser,
                        const QList<int>& ids, int operation, bool json, bool strict) {
    TransferPlan plan;
    TransferRunner& runner = session.Runner();
    runner.SetPlanWarnings(true);
    switch (runner.PlanGroup(ids, operation, plan)) {
    case TransferRunner::Start::Started:
        if (const int warned = DryRun::ReportWarnings(verb, runner.PlanWarnings(), strict))
            return warned;
        return DryRun::Report(parser, verb, session.PortName(), plan, json);
    case TransferRunner::Start::Declined:
        return LinkSession::RefusedBySize;
    case TransferRunner::Start::Unprepared:
        for (const QString& problem : runner.Problems())
            CliContext::PrintError(verb + QStringLiteral(": not sent: ") + problem);
        return CliContext::NotPrepared;
    default:
        return CliContext::Failure;
    }
}

int GroupRun::Run(LinkSession& session, const QList<int>& ids, int operation, bool json) {
    SignLink& link = session.Link();
    GroupSendModel::HandToLink(link, ids, operation);

    std::optional<int> result;
    int failed = 0;
    QObject::connect(&link, &SignLink::linkMessage, [&](int message, qintptr wParam, qintptr lParam) {
        if (message == SignLink::GroupFailedMessage)
            failed = static_cast<int>(lParam - wParam);
    });
    QObject::connect(&session.Runner(), &TransferRunner::transferEnded, [&](int r) { result = r; });
    switch (session.Runner().StartGroupTransfer()) {
    case TransferRunner::Start::Started:
        break;
    case TransferRunner::Start::Declined:
        return LinkSession::RefusedBySize;
    default:
        return CliContext::Failure;
    }
    session.WaitUntil([&] { return result.has_value() && !link.IsBusy(); });
    const QList<SignLink::IdResult> results = link.GroupResults();
    for (const SignLink::IdResult& r : results)
        session.Events().Ended(r.id, r.result,
                               r.result == SignLink::ResultOk ? QString() : session.FailureReason(r.result));
    PrintResults(results, json);
    if (*result == SignLink::ResultOpenFailed) {
        CliContext::PrintError(TransferRunner::ResultText(*result) + QLatin1Char(' ') +
                               link.LastOpenFailure());
        return *result;
    }
    if (failed > 0) {
        CliContext::PrintError(QStringLiteral("%1 Send failed").arg(failed));
        return SignLink::ResultSendFailed;
    }
    return *result;
}

} // namespace vexa
