#include "cli/FleetCommand.h"

#include "app/FleetCheck.h"
#include "app/TerminationWatcher.h"
#include "cli/CliContext.h"
#include "cli/FleetPlan.h"
#include "cli/FleetProgress.h"
#include "cli/FleetReport.h"
#include "cli/FleetRunner.h"
#include "cli/VerbParser.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <unistd.h>
#include <variant>

namespace vexa {

namespace {

using Operation = FleetPlan::Operation;

const QString kUsage = QStringLiteral(
    "Usage: vexa fleet check FLEET\n"
    "       vexa fleet send|clock|scan FLEET [options]\n"
    "       vexa fleet power on|off FLEET [options]\n\n"
    "Runs one operation on every enabled line of a fleet file, the lines side by side, each line's\n"
    "signs one after the other exactly as `vexa` does for that line alone. A fleet file has one\n"
    "section per line:\n\n"
    "  [Line north]\n"
    "  Port=tcp://10.0.4.21:4001\n"
    "  Model=P30\n"
    "  DataDir=north        (the folder holding the line's WorkData/; relative to the fleet file)\n"
    "  Mode485=1            (optional: the line's own setting otherwise)\n"
    "  Enabled=1            (optional: 0 passes the line over)\n\n"
    "Run 'vexa fleet <operation> --help' for the options.");

struct Parsed {
    Operation operation = Operation::Send;
    QString fleetPath;
    QStringList lines;
    int parallel = 0;
    std::optional<qint64> timeoutMs;
    bool json = false;
    FleetPlan::Options options;
};

const FleetFile* LoadFleet(const QString& path, FleetFile& fleet) {
    if (!fleet.Load(path)) {
        CliContext::PrintError(QStringLiteral("fleet: cannot read the fleet file: ") + fleet.Error());
        return nullptr;
    }
    return &fleet;
}

int Check(const QStringList& args) {
    VerbParser parser(QStringLiteral("fleet check"),
                      QStringLiteral("Check a fleet file: every line's section, folder, model and port "
                                     "name, and what its signs need. Exit status: 0 no problem, 1 problems "
                                     "(each named), 2 the file cannot be read."),
                      QStringLiteral("FLEET"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print one JSON object per finding."));
    parser.addOption(json);
    if (auto exit = parser.Parse(args, 1))
        return *exit;
    FleetFile fleet;
    if (!LoadFleet(parser.positionalArguments().front(), fleet))
        return CliContext::UsageError;
    const QList<FleetCheck::Finding> findings = FleetCheck::Check(fleet);
    int problems = 0;
    int warnings = 0;
    for (const FleetCheck::Finding& finding : findings) {
        const bool problem = finding.kind == FleetCheck::Finding::Kind::Problem;
        (problem ? problems : warnings) += 1;
        if (parser.isSet(json)) {
            CliContext::PrintJson(QJsonDocument(QJsonObject{
                {QStringLiteral("line"), finding.line},
                {QStringLiteral("kind"), problem ? QStringLiteral("problem") : QStringLiteral("warning")},
                {QStringLiteral("blocksRun"), finding.blocksRun},
                {QStringLiteral("text"), finding.text}}));
            continue;
        }
        const QString where = finding.line.isEmpty() ? fleet.Path() : QStringLiteral("line ") + finding.line;
        CliContext::PrintLine(
            QStringLiteral("%1: %2: %3")
                .arg(where, problem ? QStringLiteral("problem") : QStringLiteral("warning"), finding.text));
    }
    if (!parser.isSet(json))
        CliContext::PrintLine(QStringLiteral("%1: %2 line(s), %3 problem(s), %4 warning(s)")
                                  .arg(fleet.Path())
                                  .arg(fleet.Lines().size())
                                  .arg(problems)
                                  .arg(warnings));
    return problems == 0 ? 0 : CliContext::Failure;
}

std::optional<Operation> OperationOf(const QStringList& args, int& consumed) {
    const QString verb = args.value(1);
    consumed = 2;
    if (verb == QLatin1String("send"))
        return Operation::Send;
    if (verb == QLatin1String("clock"))
        return Operation::Clock;
    if (verb == QLatin1String("scan"))
        return Operation::Scan;
    if (verb == QLatin1String("power")) {
        consumed = 3;
        if (args.value(2) == QLatin1String("on"))
            return Operation::PowerOn;
        if (args.value(2) == QLatin1String("off"))
            return Operation::PowerOff;
    }
    return std::nullopt;
}

// The options of the operations; nothing (after a message) when the command ends here.
std::variant<Parsed, int> ParseRun(const QStringList& args) {
    int consumed = 0;
    const std::optional<Operation> operation = OperationOf(args, consumed);
    if (!operation) {
        CliContext::PrintError(
            QStringLiteral("fleet: expected check, send, clock, power on, power off or scan\n") + kUsage);
        return CliContext::UsageError;
    }
    const QString name = FleetPlan::Name(*operation);
    VerbParser parser(
        QStringLiteral("fleet ") + name,
        QStringLiteral(
            "Run '%1' on every enabled line of the fleet file, the lines side by side. A table of "
            "every sign's outcome and a summary follow at the end; on a terminal one live line per "
            "line shows its progress. Ctrl+C stops every line between two frames and reports which "
            "signs were done. Exit status: 0 every sign succeeded, 1 a sign or line failed, 2 usage "
            "error or unreadable fleet file, 130 interrupted.")
            .arg(name),
        QStringLiteral("FLEET"));
    const QCommandLineOption lines(QStringLiteral("lines"),
                                   QStringLiteral("Only these lines, e.g. north,east."),
                                   QStringLiteral("LIST"));
    const QCommandLineOption parallel(QStringLiteral("parallel"),
                                      QStringLiteral("At most N lines at once (default: all)."),
                                      QStringLiteral("N"));
    const QCommandLineOption json(
        QStringLiteral("json"), QStringLiteral("Print one JSON object per sign and one per line as each line "
                                               "ends, then a summary object."));
    const QCommandLineOption dryRun(
        QStringLiteral("dry-run"),
        QStringLiteral("Give --dry-run to each line's operation: nothing is sent."));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Stop a line that takes longer than S seconds."),
                                     QStringLiteral("S"));
    parser.addOptions({lines, parallel, json, dryRun, timeout});
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Send data over a model's limit capped, without asking."));
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("Store the answering signs in each line's sign list."));
    if (*operation == Operation::Send)
        parser.addOption(yes);
    if (*operation == Operation::Scan)
        parser.addOption(save);
    if (auto exit = parser.Parse(QStringList{args.front()} + args.mid(consumed), 1))
        return *exit;

    Parsed parsed;
    parsed.operation = *operation;
    parsed.fleetPath = parser.positionalArguments().front();
    parsed.json = parser.isSet(json);
    parsed.options.dryRun = parser.isSet(dryRun);
    parsed.options.yes = *operation == Operation::Send && parser.isSet(yes);
    parsed.options.save = *operation == Operation::Scan && parser.isSet(save);
    if (parser.isSet(lines))
        parsed.lines = parser.value(lines).split(u',', Qt::SkipEmptyParts);
    if (parser.isSet(parallel)) {
        bool ok = false;
        parsed.parallel = parser.value(parallel).toInt(&ok);
        if (!ok || parsed.parallel < 1) {
            CliContext::PrintError(
                QStringLiteral("fleet: --parallel takes a number of lines from 1, not '%1'")
                    .arg(parser.value(parallel)));
            return CliContext::UsageError;
        }
    }
    if (parser.isSet(timeout)) {
        bool ok = false;
        const double seconds = parser.value(timeout).toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 7 * 24 * 3600) {
            CliContext::PrintError(QStringLiteral("fleet: --timeout takes seconds above 0, not '%1'")
                                       .arg(parser.value(timeout)));
            return CliContext::UsageError;
        }
        parsed.timeoutMs = static_cast<qint64>(std::ceil(seconds * 1000.0));
    }
    return parsed;
}

// The lines --lines names (every line without it), in the file's order; nothing after a
// message when a name is no line of the file.
std::optional<QList<FleetLine>> SelectLines(const FleetFile& fleet, const QStringList& names) {
    QStringList unknown;
    for (const QString& name : names) {
        if (!fleet.Find(name.trimmed()))
            unknown << name.trimmed();
    }
    if (!unknown.isEmpty()) {
        CliContext::PrintError(
            QStringLiteral("fleet: no line %1 in %2").arg(unknown.join(QStringLiteral(", ")), fleet.Path()));
        return std::nullopt;
    }
    QSet<QString> wanted;
    for (const QString& name : names)
        wanted.insert(name.trimmed());
    QList<FleetLine> selected;
    for (const FleetLine& line : fleet.Lines()) {
        if (wanted.isEmpty() || wanted.contains(line.name))
            selected.append(line);
    }
    return selected;
}

int RunOperation(CliContext& context, const Parsed& parsed) {
    FleetFile fleet;
    if (!LoadFleet(parsed.fleetPath, fleet))
        return CliContext::UsageError;
    const std::optional<QList<FleetLine>> selected = SelectLines(fleet, parsed.lines);
    if (!selected)
        return CliContext::UsageError;
    // A section that is no line may be a line misspelt: it is said, and the run fails.
    for (const QString& problem : fleet.Problems())
        CliContext::PrintError(QStringLiteral("fleet: %1: %2").arg(fleet.Path(), problem));

    FleetPlan::Options options = parsed.options;
    options.codePage = context.codePage;
    QList<FleetRunner::Job> jobs;
    for (const FleetLine& line : *selected) {
        FleetRunner::Job job{line, {}, {}};
        if (line.enabled) {
            job.blocking = FleetCheck::Blocking(fleet, line);
            if (job.blocking.isEmpty())
                job.plan = FleetPlan::For(line, parsed.operation, options);
        }
        jobs.append(job);
    }
    FleetRunner::Settings settings;
    settings.program = QCoreApplication::applicationFilePath();
    settings.operation = parsed.operation;
    settings.parallel = parsed.parallel;
    settings.timeoutMs = parsed.timeoutMs;
    settings.dryRun = parsed.options.dryRun;
    FleetRunner runner(settings, jobs);
    FleetProgress progress(runner);
    const QString name = FleetPlan::Name(parsed.operation);
    FleetReport report(name, parsed.json);
    QObject::connect(&runner, &FleetRunner::lineEnded, [&](int index) {
        if (!parsed.json)
            return;
        if (isatty(STDOUT_FILENO))
            progress.Erase(); // the objects and the live view share the terminal
        report.LineEnded(runner.ResultOf(index));
    });
    TerminationWatcher watcher;
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &runner, &FleetRunner::Interrupt);

    const QList<FleetLineResult> results = runner.Run();
    progress.Finish();
    report.Finish(results, runner.ElapsedMs(), runner.Interrupted());
    const int status = FleetReport::ExitStatus(results, runner.Interrupted());
    return status == 0 && !fleet.Problems().isEmpty() ? CliContext::Failure : status;
}

} // namespace

int FleetCommand::Run(CliContext& context, const QStringList& args) {
    const QString verb = args.value(1);
    if (verb.isEmpty() || verb == QLatin1String("--help") || verb == QLatin1String("-h") ||
        verb == QLatin1String("help")) {
        (verb.isEmpty() ? CliContext::PrintError : CliContext::PrintLine)(kUsage);
        return verb.isEmpty() ? CliContext::UsageError : 0;
    }
    if (verb == QLatin1String("check"))
        return Check(QStringList{args.front()} + args.mid(2));
    const std::variant<Parsed, int> parsed = ParseRun(args);
    if (const int* exit = std::get_if<int>(&parsed))
        return *exit;
    return RunOperation(context, std::get<Parsed>(parsed));
}

} // namespace vexa
