#include "cli/LinkSession.h"

#include "app/CVexaApp.h"
#include "app/LanguageCodes.h"
#include "app/TerminationWatcher.h"
#include "app/TransferRunner.h"
#include "cli/CliContext.h"
#include "cli/DryRun.h"
#include "cli/VerbParser.h"
#include "core/ModelCatalogue.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace vexa {

namespace {
const QString kModel = QStringLiteral("model");
const QString kPort = QStringLiteral("port");
} // namespace

LinkSession::LinkSession(CliContext& cliContext)
    : context(cliContext), watcher(std::make_unique<TerminationWatcher>()) {
    QObject::connect(watcher.get(), &TerminationWatcher::terminationRequested,
                     [this](int signalNumber) { Interrupt(signalNumber); });
}

LinkSession::~LinkSession() {
    if (runner)
        App().signLink.Stop();
}

void LinkSession::AddOptions(VerbParser& parser) {
    parser.addOption(
        QCommandLineOption(kModel, QStringLiteral("Display model P01..P36 (default: the settings' model)."),
                           QStringLiteral("M")));
    parser.addOption(QCommandLineOption(
        kPort,
        QStringLiteral("Port to use: a serial device (ttyUSB0 or a path) or a device server line "
                       "(tcp://HOST:PORT raw, rfc2217://HOST:PORT with COM port control)."),
        QStringLiteral("PORT")));
    DryRun::AddOptions(parser);
}

CVexaApp& LinkSession::App() {
    return context.App();
}
SignLink& LinkSession::Link() {
    return App().signLink;
}

TransferRunner& LinkSession::Runner() {
    if (!runner)
        runner = std::make_unique<TransferRunner>(App());
    return *runner;
}

bool LinkSession::Configure(const VerbParser& parser, const QString& verb) {
    CVexaApp& app = App();
    modelName = parser.isSet(kModel) ? parser.value(kModel) : app.ModelName();
    if (!ModelCatalogue::Find(modelName)) {
        CliContext::PrintError(modelName.isEmpty()
                                   ? verb + QStringLiteral(": --model is needed (no model in the settings)")
                                   : verb + QStringLiteral(": unknown model '%1'").arg(modelName));
        return false;
    }
    if (DryRun::CheckOptions(parser, verb))
        return false;
    portName = parser.value(kPort);
    // A dry run opens no port, so it needs none.
    if (portName.isEmpty() && !DryRun::Requested(parser)) {
        CliContext::PrintError(verb + QStringLiteral(": --port is needed"));
        return false;
    }
    app.language = app.settingsFile.Language();
    if (app.language == 0)
        app.language = LanguageCodes::DefaultLanguageCode();

    SignLink& link = app.signLink;
    if (!portName.isEmpty())
        link.SetPortName(portName);
    link.ApplyModel(modelName);
    link.Port()->SetReceiveNotification(true);
    TransferRunner& transfers = Runner();
    transfers.SetModelName(modelName);
    transfers.SetReloadSelectedSign(false);
    QObject::connect(&link, &SignLink::openFailure, [this, verb](const QString& text) {
        CliContext::PrintError(text);
        ReportPortProblem(verb, SignLink::ResultOpenFailed);
    });
    QObject::connect(&link, &SignLink::linkMessage,
                     [this, verb](int message, qintptr wParam, qintptr lParam) {
                         if ((message == SignLink::ProgressMessage && lParam == 0) ||
                             message == SignLink::ScanProgressMessage) {
                             progress.Update(static_cast<int>(wParam));
                             events.Progress(static_cast<int>(wParam));
                         }
                         const int failure = message == SignLink::ProgressMessage && (lParam & 0xffff) == 1
                                                 ? static_cast<int>(lParam >> 16)
                                             : message == SignLink::ScanFinishedMessage ? Link().LastResult()
                                                                                        : 0;
                         if (failure != SignLink::ResultOk)
                             ReportPortProblem(verb, failure);
                     });
    return true;
}

QString LinkSession::PortProblem(const CSerialPort& port, int result, int sendLimitMs) {
    QString text = port.ErrorString();
    if (text.isEmpty() && result == SignLink::ResultSendFailed)
        text = QStringLiteral("a frame did not leave the port within %1 ms").arg(sendLimitMs);
    if (text.isEmpty())
        return text;
    const QString name = port.PortName();
    return text.startsWith(name) ? text : name + QStringLiteral(": ") + text;
}

QString LinkSession::FailureReason(int result) {
    const QString problem = PortProblem(*Link().Port(), result, Link().Timings().sendLimitMs);
    return problem.isEmpty() && result == SignLink::ResultOpenFailed ? Link().LastOpenFailure() : problem;
}

// Runs on the event loop (the signal only wakes it), so the engine is stopped between
// frames and nothing half-written is left in the files; the sign being sent may hold part
// of its messages, which is said.
void LinkSession::Interrupt(int signalNumber) {
    if (runner)
        Link().Stop();
    Link().ClosePort();
    progress.Finish();
    const int open = events.OpenSign();
    events.Interrupted(signalNumber);
    CliContext::PrintError(open >= 0 ? QStringLiteral("interrupted while ID %1 was being sent; it may show "
                                                      "part of its messages")
                                           .arg(open)
                                     : QStringLiteral("interrupted"));
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(128 + signalNumber);
}

void LinkSession::ReportPortProblem(const QString& verb, int result) {
    const QString problem = PortProblem(*Link().Port(), result, Link().Timings().sendLimitMs);
    if (!problem.isEmpty())
        CliContext::PrintError(verb + QStringLiteral(": ") + problem);
}

void LinkSession::WaitUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(10);
    if (!done())
        loop.exec();
    progress.Finish();
}

bool LinkSession::OpenMessageFile(CMessageTable& table, const QString& path, const QString& verb) {
    if (!table.OpenMessageFile(path)) {
        CliContext::PrintError(
            QStringLiteral("%1: cannot read %2; nothing was sent").arg(verb, table.LoadError()));
        return false;
    }
    if (!table.HoldsMessageTable()) {
        CliContext::PrintError(QStringLiteral("%1: %2 is not a message file (no [%3] key with PARA_00 to "
                                              "PARA_09); nothing was sent")
                                   .arg(verb, path, CMessageTable::InfoKey));
        return false;
    }
    return true;
}

std::optional<QList<int>> LinkSession::ParseIds(const QString& text, int low, int high, QString* error) {
    QList<int> ids;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = part.trimmed().toInt(&ok);
        if (!ok || id < low || id > high) {
            *error = QStringLiteral("not an ID from %1 to %2: '%3'").arg(low).arg(high).arg(part);
            return std::nullopt;
        }
        ids.append(id);
    }
    if (ids.isEmpty()) {
        *error = QStringLiteral("no IDs given");
        return std::nullopt;
    }
    return ids;
}

} // namespace vexa
