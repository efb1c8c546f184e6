#pragma once

#include "cli/FleetPlan.h"
#include "cli/FleetReport.h"
#include "store/FleetFile.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace vexa {

// Runs one fleet operation: each line's own `vexa` command (FleetPlan) as a child process,
// lines side by side (at most `parallel` at once), each line's signs one after the other
// inside its child exactly as `vexa` does for one line. A child that fails, hangs or
// crashes is its line's failure alone. Children report each sign as it starts and ends
// (CliEvents), so every sign's outcome is known even when its line is stopped.
//
// Bounds: every child keeps the link's own time limits; timeoutMs bounds a whole line (the
// child is asked to stop, then killed after StopGraceMs). Interrupt() stops every line the
// same way and starts no more.
class FleetRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int StopGraceMs = 3000;
    static constexpr qsizetype MaxOutputBytes = 16 * 1024 * 1024;

    struct Job {
        FleetLine line;
        FleetPlan plan;
        QStringList blocking; // problems that keep the line from running
    };
    struct Settings {
        QString program; // the vexa executable
        FleetPlan::Operation operation = FleetPlan::Operation::Send;
        int parallel = 0; // 0: every line at once
        std::optional<qint64> timeoutMs;
        bool dryRun = false;
    };
    // What a line is doing now, for the live view.
    struct View {
        enum class Phase { Waiting, Running, Ended };
        QString name;
        Phase phase = Phase::Waiting;
        int sign = -1;  // the sign being worked on, -1 before the first
        int index = -1; // its position among the line's signs
        int total = 0;
        int percent = -1;
        const FleetLineResult* result = nullptr; // once ended
    };

    FleetRunner(Settings settings, QList<Job> jobs, QObject* parent = nullptr);
    ~FleetRunner() override;

    // Runs every line to its end, the event loop running meanwhile; the results in the
    // order of the jobs.
    QList<FleetLineResult> Run();
    // The first call stops every running line and starts no more; a second kills them.
    void Interrupt();
    bool Interrupted() const { return interrupted; }
    qint64 ElapsedMs() const { return clock.elapsed(); }

    int LineCount() const { return static_cast<int>(lines.size()); }
    View ViewOf(int index) const;
    const FleetLineResult& ResultOf(int index) const;

signals:
    void lineChanged(int index);
    void lineEnded(int index);
    void allEnded();

private:
    struct LineRun;

    void StartMore();
    void Start(LineRun& run);
    void OnStandardError(LineRun& run);
    void OnEvent(LineRun& run, const QJsonObject& event);
    void OnFinished(LineRun& run, int exitCode, QProcess::ExitStatus status);
    void OnStartFailure(LineRun& run);
    void Stop(LineRun& run);
    void End(LineRun& run);
    void CollectSigns(LineRun& run);
    QString Diagnostics(const LineRun& run) const;
    int IndexOf(const LineRun& run) const;

    Settings settings;
    std::vector<std::unique_ptr<LineRun>> lines;
    QElapsedTimer clock;
    int running = 0;
    int ended = 0;
    bool interrupted = false;
};

} // namespace vexa
