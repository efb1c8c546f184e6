#include "cli/FleetRunner.h"

#include "cli/CliEvents.h"

#include <QEventLoop>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <unistd.h>

namespace vexa {

namespace {

constexpr qsizetype MaxDiagnostics = 40;

FleetSignResult Planned(const FleetPlan::Sign& sign) {
    FleetSignResult result;
    result.id = sign.id;
    result.name = sign.name;
    result.allSigns = sign.allSigns;
    return result;
}

} // namespace

struct FleetRunner::LineRun {
    Job job;
    FleetLineResult result;
    std::unique_ptr<QProcess> process;
    QTimer* timeout = nullptr;
    QTimer* kill = nullptr;
    View::Phase phase = View::Phase::Waiting;
    QByteArray errBuffer;
    QByteArray out;
    bool outTruncated = false;
    QStringList diagnostics;
    QList<FleetSignResult> reported; // outcomes in the order the child told them
    int currentSign = -1;            // started and not ended
    int shownSign = -1;              // the last that started, for the live view
    int percent = -1;
    bool timedOut = false;
    bool stopped = false; // interrupted by the fleet
    bool failedToStart = false;
};

FleetRunner::FleetRunner(Settings runSettings, QList<Job> jobs, QObject* parent)
    : QObject(parent), settings(std::move(runSettings)) {
    for (Job& job : jobs) {
        auto run = std::make_unique<LineRun>();
        run->result.line = job.line.name;
        run->result.port = job.line.port;
        run->result.model = job.line.model;
        run->result.dataDir = job.line.dataDir;
        run->job = std::move(job);
        lines.push_back(std::move(run));
    }
}

FleetRunner::~FleetRunner() {
    for (const auto& run : lines) {
        if (run->process && run->process->state() != QProcess::NotRunning) {
            run->process->kill();
            run->process->waitForFinished(StopGraceMs);
        }
    }
}

QList<FleetLineResult> FleetRunner::Run() {
    clock.start();
    // Lines that cannot run end at once, without a process.
    for (const auto& run : lines) {
        const Job& job = run->job;
        if (!job.line.enabled) {
            run->result.state = FleetLineResult::State::Disabled;
            run->result.reason = QStringLiteral("Enabled=0");
            End(*run);
        } else if (!job.blocking.isEmpty() || !job.plan.problem.isEmpty()) {
            run->result.state = FleetLineResult::State::NotRun;
            run->result.reason =
                job.blocking.isEmpty() ? job.plan.problem : job.blocking.join(QStringLiteral("; "));
            End(*run);
        }
    }
    QEventLoop loop;
    connect(this, &FleetRunner::allEnded, &loop, &QEventLoop::quit);
    StartMore();
    if (ended < LineCount())
        loop.exec();
    QList<FleetLineResult> results;
    for (const auto& run : lines)
        results.append(run->result);
    return results;
}

void FleetRunner::StartMore() {
    const int limit = settings.parallel > 0 ? settings.parallel : LineCount();
    for (const auto& run : lines) {
        if (running >= limit)
            break;
        if (run->phase != View::Phase::Waiting)
            continue;
        if (interrupted) {
            run->result.state = FleetLineResult::State::Interrupted;
            run->result.reason = QStringLiteral("not started: the fleet operation was interrupted");
            End(*run);
            continue;
        }
        Start(*run);
    }
    if (interrupted) {
        for (const auto& run : lines) {
            if (run->phase == View::Phase::Waiting) {
                run->result.state = FleetLineResult::State::Interrupted;
                run->result.reason = QStringLiteral("not started: the fleet operation was interrupted");
                End(*run);
            }
        }
    }
}

void FleetRunner::Start(LineRun& run) {
    run.phase = View::Phase::Running;
    run.result.startedMs = clock.elapsed();
    ++running;
    run.process = std::make_unique<QProcess>();
    QProcess& process = *run.process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(CliEvents::EnvironmentName), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    // Each line's Debug.Log lands in its own folder.
    process.setWorkingDirectory(run.job.line.dataDir);
    process.setStandardInputFile(QProcess::nullDevice());
    // A process group of its own: Ctrl+C on the terminal reaches the fleet alone, which
    // stops every line the same way (and counts them as stopped).
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(&process, &QProcess::readyReadStandardError, this, [this, &run] { OnStandardError(run); });
    connect(&process, &QProcess::readyReadStandardOutput, this, [&run] {
        const QByteArray chunk = run.process->readAllStandardOutput();
        if (run.out.size() + chunk.size() <= MaxOutputBytes)
            run.out += chunk;
        else
            run.outTruncated = true;
    });
    connect(&process, &QProcess::finished, this,
            [this, &run](int exitCode, QProcess::ExitStatus status) { OnFinished(run, exitCode, status); });
    connect(&process, &QProcess::errorOccurred, this, [this, &run](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            OnStartFailure(run);
    });
    if (settings.timeoutMs) {
        run.timeout = new QTimer(this);
        run.timeout->setSingleShot(true);
        connect(run.timeout, &QTimer::timeout, this, [this, &run] {
            run.timedOut = true;
            Stop(run);
        });
        run.timeout->start(static_cast<int>(std::min<qint64>(*settings.timeoutMs, INT_MAX)));
    }
    process.start(settings.program, run.job.plan.arguments);
    emit lineChanged(IndexOf(run));
}

void FleetRunner::OnStandardError(LineRun& run) {
    run.errBuffer += run.process->readAllStandardError();
    qsizetype end = 0;
    while ((end = run.errBuffer.indexOf('\n')) >= 0) {
        const QByteArray line = run.errBuffer.left(end);
        run.errBuffer.remove(0, end + 1);
        if (const std::optional<QJsonObject> event = CliEvents::Parse(line)) {
            OnEvent(run, *event);
            continue;
        }
        QString text = QString::fromUtf8(line).trimmed();
        if (text.startsWith(QLatin1String("vexa: ")))
            text = text.mid(6);
        if (!text.isEmpty() && !run.diagnostics.contains(text) && run.diagnostics.size() < MaxDiagnostics)
            run.diagnostics << text;
    }
}

void FleetRunner::OnEvent(LineRun& run, const QJsonObject& event) {
    const QString kind = event.value(QStringLiteral("event")).toString();
    if (kind == QLatin1String("progress")) {
        run.percent = event.value(QStringLiteral("percent")).toInt();
    } else if (kind == QLatin1String("sign")) {
        run.currentSign = event.value(QStringLiteral("id")).toInt();
        run.shownSign = run.currentSign;
        run.percent = 0;
    } else if (kind == QLatin1String("interrupted")) {
        run.stopped = true; // stopped by a signal of its own, still the line's stop
    } else if (kind == QLatin1String("end")) {
        FleetSignResult sign;
        sign.id = event.value(QStringLiteral("id")).toInt();
        sign.code = event.value(QStringLiteral("result")).toInt();
        sign.ok = sign.code == 0;
        sign.text = event.value(QStringLiteral("text")).toString();
        sign.reason = event.value(QStringLiteral("reason")).toString();
        run.reported.append(sign);
        if (run.currentSign == sign.id)
            run.currentSign = -1;
    } else {
        return;
    }
    emit lineChanged(IndexOf(run));
}

void FleetRunner::OnStartFailure(LineRun& run) {
    if (run.phase != View::Phase::Running)
        return;
    run.failedToStart = true;
    run.result.state = FleetLineResult::State::Failed;
    run.result.reason =
        QStringLiteral("cannot start %1: %2").arg(settings.program, run.process->errorString());
    --running;
    CollectSigns(run);
    End(run);
    StartMore();
}

void FleetRunner::OnFinished(LineRun& run, int exitCode, QProcess::ExitStatus status) {
    if (run.phase != View::Phase::Running)
        return;
    run.errBuffer += '\n';
    OnStandardError(run);
    run.out += run.process->readAllStandardOutput();
    --running;
    run.result.exitCode = status == QProcess::NormalExit ? exitCode : -1;
    const QString diagnostics = Diagnostics(run);
    if (run.timedOut) {
        run.result.state = FleetLineResult::State::TimedOut;
        run.result.reason = QStringLiteral("stopped after the line's time limit of %1 s")
                                .arg(static_cast<double>(*settings.timeoutMs) / 1000.0);
    } else if (run.stopped) {
        run.result.state = FleetLineResult::State::Interrupted;
        run.result.reason = QStringLiteral("interrupted");
    } else if (status != QProcess::NormalExit) {
        run.result.state = FleetLineResult::State::Failed;
        run.result.reason = QStringLiteral("vexa ended abnormally") +
                            (diagnostics.isEmpty() ? QString() : QStringLiteral(": ") + diagnostics);
    } else {
        run.result.state = exitCode == 0 ? FleetLineResult::State::Done : FleetLineResult::State::Failed;
        if (exitCode != 0)
            run.result.reason =
                diagnostics.isEmpty() ? QStringLiteral("vexa exited with %1").arg(exitCode) : diagnostics;
    }
    if (settings.dryRun || run.outTruncated)
        run.result.output =
            QString::fromUtf8(run.out) +
            (run.outTruncated ? QStringLiteral("\n(output cut at %1 bytes)").arg(MaxOutputBytes) : QString());
    CollectSigns(run);
    End(run);
    StartMore();
}

// The line's signs in the order of its plan, each with what the child reported; a sign it
// did not report was stopped during its send, never reached, or passed over for the
// reason the child printed.
void FleetRunner::CollectSigns(LineRun& run) {
    const FleetPlan& plan = run.job.plan;
    FleetLineResult& result = run.result;
    const bool stoppedEarly = run.timedOut || run.stopped;
    const QString why = Diagnostics(run);
    QHash<int, FleetSignResult> reported;
    for (const FleetSignResult& sign : std::as_const(run.reported))
        reported.insert(sign.id, sign);

    if (settings.operation == FleetPlan::Operation::Scan && !settings.dryRun && !stoppedEarly) {
        QSet<int> answered;
        for (const QJsonValue& id : QJsonDocument::fromJson(run.out).array())
            answered.insert(id.toInt());
        QSet<int> listed;
        for (const FleetPlan::Sign& planned : plan.signs) {
            FleetSignResult sign = Planned(planned);
            listed.insert(sign.id);
            sign.ok = answered.contains(sign.id);
            sign.text = sign.ok ? QStringLiteral("answered") : QStringLiteral("no answer");
            if (!sign.ok)
                sign.reason =
                    result.exitCode == 0 ? QStringLiteral("ticked in the sign list but did not answer") : why;
            result.signs.append(sign);
        }
        QList<int> others = answered.values();
        std::sort(others.begin(), others.end());
        for (const int id : std::as_const(others)) {
            if (!listed.contains(id))
                result.signs.append(
                    {id, plan.names.value(id), false, true, 0, QStringLiteral("answered"), {}});
        }
        return;
    }

    for (const FleetPlan::Sign& planned : plan.signs) {
        FleetSignResult sign = Planned(planned);
        if (reported.contains(sign.id)) {
            const FleetSignResult& told = reported.take(sign.id);
            sign.ok = told.ok;
            sign.code = told.code;
            sign.text = told.text;
            sign.reason = told.reason;
        } else if (settings.dryRun && result.state == FleetLineResult::State::Done) {
            sign.ok = true;
            sign.text = QStringLiteral("dry run");
        } else if (stoppedEarly && sign.id == run.currentSign) {
            sign.text = run.timedOut ? QStringLiteral("timed out") : QStringLiteral("interrupted");
            sign.reason = QStringLiteral("stopped during its send; it may show part of its messages");
        } else if (stoppedEarly) {
            sign.text = QStringLiteral("not done");
            sign.reason = QStringLiteral("the line was stopped before it reported this sign");
        } else {
            sign.text = QStringLiteral("not sent");
            sign.reason = result.reason.isEmpty()
                              ? (why.isEmpty() ? QStringLiteral("vexa did not report it") : why)
                              : result.reason;
        }
        result.signs.append(sign);
    }
    // Signs the child worked on that the plan did not foresee (the sign list changed).
    for (const FleetSignResult& sign : std::as_const(run.reported)) {
        if (!reported.contains(sign.id))
            continue;
        FleetSignResult extra = reported.take(sign.id);
        extra.name = plan.names.value(extra.id);
        result.signs.append(extra);
    }
}

QString FleetRunner::Diagnostics(const LineRun& run) const {
    return run.diagnostics.mid(0, 3).join(QStringLiteral("; "));
}

void FleetRunner::Stop(LineRun& run) {
    if (!run.process || run.process->state() == QProcess::NotRunning)
        return;
    run.process->terminate();
    if (!run.kill) {
        run.kill = new QTimer(this);
        run.kill->setSingleShot(true);
        connect(run.kill, &QTimer::timeout, this, [&run] {
            if (run.process && run.process->state() != QProcess::NotRunning)
                run.process->kill();
        });
        run.kill->start(StopGraceMs);
    }
}

void FleetRunner::Interrupt() {
    if (interrupted) {
        for (const auto& run : lines) {
            if (run->process && run->process->state() != QProcess::NotRunning)
                run->process->kill();
        }
        return;
    }
    interrupted = true;
    for (const auto& run : lines) {
        if (run->phase == View::Phase::Running) {
            run->stopped = true;
            Stop(*run);
        }
    }
    StartMore();
}

void FleetRunner::End(LineRun& run) {
    run.phase = View::Phase::Ended;
    if (run.result.endedMs < 0)
        run.result.endedMs = clock.elapsed();
    if (run.timeout)
        run.timeout->stop();
    if (run.kill)
        run.kill->stop();
    if (run.result.signs.isEmpty() && run.result.state != FleetLineResult::State::Disabled &&
        run.result.state != FleetLineResult::State::Done) {
        for (const FleetPlan::Sign& planned : run.job.plan.signs) {
            FleetSignResult sign = Planned(planned);
            sign.text = QStringLiteral("not sent");
            sign.reason = run.result.reason;
            run.result.signs.append(sign);
        }
    }
    ++ended;
    const int index = IndexOf(run);
    emit lineChanged(index);
    emit lineEnded(index);
    if (ended == LineCount())
        emit allEnded();
}

int FleetRunner::IndexOf(const LineRun& run) const {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].get() == &run)
            return static_cast<int>(i);
    }
    return -1;
}

const FleetLineResult& FleetRunner::ResultOf(int index) const {
    return lines[static_cast<size_t>(index)]->result;
}

FleetRunner::View FleetRunner::ViewOf(int index) const {
    const LineRun& run = *lines[static_cast<size_t>(index)];
    View view;
    view.name = run.job.line.name;
    view.phase = run.phase;
    view.sign = run.shownSign;
    view.total = static_cast<int>(run.job.plan.signs.size());
    view.percent = run.percent;
    for (int i = 0; i < view.total; ++i) {
        if (run.job.plan.signs[i].id == run.shownSign)
            view.index = i;
    }
    if (run.phase == View::Phase::Ended)
        view.result = &run.result;
    return view;
}

} // namespace vexa
