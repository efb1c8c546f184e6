#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace vexa {

// The outcome of one sign of a fleet operation.
struct FleetSignResult {
    int id = 0;
    QString name;
    bool allSigns = false; // the outcome of a frame for every sign of the line (the clock)
    bool ok = false;
    int code = -1; // the link's result code when the sign was tried, else -1
    QString text;  // "OK!", "Send Failure!", "not sent", "interrupted", "answered", ...
    QString reason;
};

// The outcome of one line: its signs and how its run ended.
struct FleetLineResult {
    enum class State { Done, Failed, NotRun, TimedOut, Interrupted, Disabled };

    QString line;
    QString port;
    QString model;
    QString dataDir;
    State state = State::NotRun;
    int exitCode = -1;     // of the line's vexa; -1 when it did not end by itself
    qint64 startedMs = -1; // since the fleet operation began; -1 when it never started
    qint64 endedMs = -1;
    QString reason; // why the line failed as a whole
    QString output; // what the line's vexa printed (kept for a dry run)
    QList<FleetSignResult> signs;

    bool Ok() const;
    static QString StateName(State state);
};

// How a fleet operation is told: a table per sign and a summary on a terminal or in a log,
// or with --json one object per sign and one per line as each line ends, then a summary.
class FleetReport {
public:
    FleetReport(QString operationName, bool asJson) : operation(std::move(operationName)), json(asJson) {}

    // A line has ended: in JSON its objects are printed at once.
    void LineEnded(const FleetLineResult& line);
    // Prints the table (text) or the summary object (JSON) of all lines.
    void Finish(const QList<FleetLineResult>& lines, qint64 elapsedMs, bool interrupted) const;
    // 0 when every sign of every line that ran succeeded, 130 after an interruption, else 1.
    static int ExitStatus(const QList<FleetLineResult>& lines, bool interrupted);

    static QJsonObject SignObject(const FleetLineResult& line, const FleetSignResult& sign);
    static QJsonObject LineObject(const FleetLineResult& line);
    static QString Table(const QList<FleetLineResult>& lines);
    static QString Summary(const QString& operation, const QList<FleetLineResult>& lines, qint64 elapsedMs,
                           bool interrupted);

private:
    QString operation;
    bool json = false;
};

} // namespace vexa
