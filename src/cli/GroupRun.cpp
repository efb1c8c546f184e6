#include "cli/GroupRun.h"

#include "app/CVexaApp.h"
#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/LinkSession.h"

namespace vexa {

int GroupRun::Run(LinkSession& session, const QList<int>& ids, int operation) {
    SignLink& link = session.Link();
    link.groupCount = static_cast<int>(std::min<qsizetype>(ids.size(), SignLink::MaxGroupIds));
    for (int i = 0; i < link.groupCount; ++i)
        link.groupIds[static_cast<size_t>(i)] = ids[i];
    link.groupOperation = operation;

    std::optional<int> result;
    int failed = 0;
    bool workerDone = false;
    QObject::connect(&link, &SignLink::linkMessage, [&](int message, qintptr wParam, qintptr lParam) {
        if (message == SignLink::GroupFailedMessage)
            failed = static_cast<int>(lParam - wParam);
    });
    QObject::connect(&session.Runner(), &TransferRunner::transferEnded, [&](int r) { result = r; });
    switch (session.Runner().StartGroupTransfer()) {
    case TransferRunner::Start::Started: break;
    case TransferRunner::Start::Declined: return LinkSession::RefusedBySize;
    default: return CliContext::Failure;
    }
    session.WaitUntil([&] {
        workerDone = !link.IsBusy();
        return result.has_value() && workerDone;
    });
    if (*result != SignLink::ResultOk) {
        CliContext::PrintError(TransferRunner::ResultText(*result));
        return *result;
    }
    if (failed > 0) {
        CliContext::PrintError(QStringLiteral("%1 Send failed").arg(failed));
        return SignLink::ResultSendFailed;
    }
    CliContext::PrintLine(TransferRunner::ResultText(SignLink::ResultOk));
    return 0;
}

} // namespace vexa
