#include "cli/FleetReport.h"

#include "cli/CliContext.h"

#include <QJsonArray>
#include <algorithm>

namespace vexa {

namespace {

QString IdText(const FleetSignResult& sign) {
    return sign.allSigns ? QStringLiteral("all") : QString::number(sign.id);
}

QString Plural(qsizetype count) {
    return count == 1 ? QString() : QStringLiteral("s");
}

QString Seconds(qint64 ms) {
    return QString::number(static_cast<double>(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

} // namespace

bool FleetLineResult::Ok() const {
    if (state != State::Done)
        return false;
    return std::all_of(signs.cbegin(), signs.cend(), [](const FleetSignResult& s) { return s.ok; });
}

QString FleetLineResult::StateName(State state) {
    switch (state) {
    case State::Done:
        return QStringLiteral("done");
    case State::Failed:
        return QStringLiteral("failed");
    case State::NotRun:
        return QStringLiteral("not run");
    case State::TimedOut:
        return QStringLiteral("timed out");
    case State::Interrupted:
        return QStringLiteral("interrupted");
    case State::Disabled:
        return QStringLiteral("disabled");
    }
    return {};
}

QJsonObject FleetReport::SignObject(const FleetLineResult& line, const FleetSignResult& sign) {
    QJsonObject object{{QStringLiteral("type"), QStringLiteral("sign")},
                       {QStringLiteral("line"), line.line},
                       {QStringLiteral("id"), sign.id},
                       {QStringLiteral("name"), sign.name},
                       {QStringLiteral("ok"), sign.ok},
                       {QStringLiteral("code"), sign.code},
                       {QStringLiteral("result"), sign.text},
                       {QStringLiteral("reason"), sign.reason}};
    if (sign.allSigns)
        object.insert(QStringLiteral("allSigns"), true);
    return object;
}

QJsonObject FleetReport::LineObject(const FleetLineResult& line) {
    const qsizetype failed =
        std::count_if(line.signs.cbegin(), line.signs.cend(), [](const FleetSignResult& s) { return !s.ok; });
    QJsonObject object{{QStringLiteral("type"), QStringLiteral("line")},
                       {QStringLiteral("line"), line.line},
                       {QStringLiteral("port"), line.port},
                       {QStringLiteral("model"), line.model},
                       {QStringLiteral("dataDir"), line.dataDir},
                       {QStringLiteral("ok"), line.Ok()},
                       {QStringLiteral("state"), FleetLineResult::StateName(line.state)},
                       {QStringLiteral("exit"), line.exitCode},
                       {QStringLiteral("signs"), static_cast<int>(line.signs.size())},
                       {QStringLiteral("failed"), static_cast<int>(failed)},
                       {QStringLiteral("startedMs"), line.startedMs},
                       {QStringLiteral("endedMs"), line.endedMs},
                       {QStringLiteral("reason"), line.reason}};
    if (!line.output.isEmpty())
        object.insert(QStringLiteral("output"), line.output);
    return object;
}

void FleetReport::LineEnded(const FleetLineResult& line) {
    if (!json)
        return;
    for (const FleetSignResult& sign : line.signs)
        CliContext::PrintJson(QJsonDocument(SignObject(line, sign)));
    CliContext::PrintJson(QJsonDocument(LineObject(line)));
}

QString FleetReport::Table(const QList<FleetLineResult>& lines) {
    QList<QStringList> rows{{QStringLiteral("LINE"), QStringLiteral("ID"), QStringLiteral("NAME"),
                             QStringLiteral("RESULT"), QStringLiteral("REASON")}};
    for (const FleetLineResult& line : lines) {
        if (line.signs.isEmpty()) {
            rows.append({line.line, QStringLiteral("-"), QString(), FleetLineResult::StateName(line.state),
                         line.reason});
            continue;
        }
        for (const FleetSignResult& sign : line.signs) {
            const QString reason = sign.reason.isEmpty() && !sign.ok ? line.reason : sign.reason;
            // A reason that only repeats the result says nothing more.
            rows.append(
                {line.line, IdText(sign), sign.name, sign.text, reason == sign.text ? QString() : reason});
        }
    }
    constexpr qsizetype columns = 5;
    QList<qsizetype> widths(columns, 0);
    for (const QStringList& row : std::as_const(rows))
        for (qsizetype c = 0; c + 1 < columns; ++c)
            widths[c] = std::max(widths[c], row[c].size());
    QString text;
    for (const QStringList& row : std::as_const(rows)) {
        QString out;
        for (qsizetype c = 0; c < columns; ++c) {
            const bool number = c == 1;
            out += c + 1 < columns
                       ? (number ? row[c].rightJustified(widths[c]) : row[c].leftJustified(widths[c])) +
                             QStringLiteral("  ")
                       : row[c];
        }
        text += out.trimmed() + u'\n';
    }
    return text;
}

QString FleetReport::Summary(const QString& operation, const QList<FleetLineResult>& lines, qint64 elapsedMs,
                             bool interrupted) {
    int ran = 0, linesOk = 0, disabled = 0, signs = 0, signsOk = 0;
    for (const FleetLineResult& line : lines) {
        if (line.state == FleetLineResult::State::Disabled) {
            ++disabled;
            continue;
        }
        ++ran;
        linesOk += line.Ok() ? 1 : 0;
        for (const FleetSignResult& sign : line.signs) {
            ++signs;
            signsOk += sign.ok ? 1 : 0;
        }
    }
    QString text = QStringLiteral("%1%2: %3 line%4, %5 succeeded, %6 failed; %7 sign%8, %9 OK, %10 failed")
                       .arg(interrupted ? QStringLiteral("interrupted ") : QString(), operation)
                       .arg(ran)
                       .arg(Plural(ran))
                       .arg(linesOk)
                       .arg(ran - linesOk)
                       .arg(signs)
                       .arg(Plural(signs))
                       .arg(signsOk)
                       .arg(signs - signsOk);
    if (disabled > 0)
        text += QStringLiteral("; %1 disabled line%2 passed over").arg(disabled).arg(Plural(disabled));
    return text + QStringLiteral("; ") + Seconds(elapsedMs);
}

void FleetReport::Finish(const QList<FleetLineResult>& lines, qint64 elapsedMs, bool interrupted) const {
    const QString summary = Summary(operation, lines, elapsedMs, interrupted);
    if (json) {
        int failedLines = 0;
        for (const FleetLineResult& line : lines)
            failedLines += line.state != FleetLineResult::State::Disabled && !line.Ok() ? 1 : 0;
        CliContext::PrintJson(
            QJsonDocument(QJsonObject{{QStringLiteral("type"), QStringLiteral("summary")},
                                      {QStringLiteral("operation"), operation},
                                      {QStringLiteral("ok"), ExitStatus(lines, interrupted) == 0},
                                      {QStringLiteral("interrupted"), interrupted},
                                      {QStringLiteral("failedLines"), failedLines},
                                      {QStringLiteral("ms"), elapsedMs},
                                      {QStringLiteral("text"), summary}}));
        return;
    }
    QString text = Table(lines);
    for (const FleetLineResult& line : lines) {
        if (!line.output.isEmpty())
            text += QStringLiteral("\n== %1 ==\n%2")
                        .arg(line.line, line.output.endsWith(u'\n') ? line.output : line.output + u'\n');
    }
    CliContext::PrintLine(text + u'\n' + summary);
}

int FleetReport::ExitStatus(const QList<FleetLineResult>& lines, bool interrupted) {
    if (interrupted)
        return 130;
    bool any = false;
    for (const FleetLineResult& line : lines) {
        if (line.state == FleetLineResult::State::Disabled)
            continue;
        any = true;
        if (!line.Ok())
            return CliContext::Failure;
    }
    return any ? 0 : CliContext::Failure;
}

} // namespace vexa
