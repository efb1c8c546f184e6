#include "cli/FleetProgress.h"

#include "cli/FleetRunner.h"

#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vexa {

namespace {

constexpr int RedrawMs = 100;
constexpr int BarWidth = 20;

struct TerminalSize {
    int columns = 80;
    int rows = 24;
};

TerminalSize SizeOfTerminal() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        return {size.ws_col, size.ws_row};
    return {};
}

QString Bar(int percent) {
    const int filled = std::clamp(percent, 0, 100) * BarWidth / 100;
    return u'[' + QString(filled, u'#') + QString(BarWidth - filled, u' ') +
           QStringLiteral("] %1%").arg(std::clamp(percent, 0, 100), 3);
}

QString Ended(const FleetLineResult& result) {
    using State = FleetLineResult::State;
    const qsizetype failed = std::count_if(result.signs.cbegin(), result.signs.cend(),
                                           [](const FleetSignResult& s) { return !s.ok; });
    const qsizetype total = result.signs.size();
    switch (result.state) {
    case State::Disabled:
        return QStringLiteral("disabled");
    case State::NotRun:
        return QStringLiteral("not run: ") + result.reason;
    case State::TimedOut:
    case State::Interrupted:
        return FleetLineResult::StateName(result.state) +
               QStringLiteral(": %1 of %2 signs done").arg(total - failed).arg(total);
    case State::Done:
    case State::Failed:
        break;
    }
    if (result.Ok())
        return QStringLiteral("done: %1 sign(s) OK").arg(total);
    QString reason = result.reason;
    for (const FleetSignResult& sign : result.signs) {
        if (reason.isEmpty() && !sign.ok)
            reason = sign.text + (sign.reason.isEmpty() ? QString() : QStringLiteral(" ") + sign.reason);
    }
    return QStringLiteral("failed: %1 of %2 signs: %3").arg(failed).arg(total).arg(reason);
}

} // namespace

FleetProgress::FleetProgress(FleetRunner& fleetRunner, QObject* parent)
    : QObject(parent), runner(fleetRunner), enabled(isatty(STDERR_FILENO) != 0) {
    if (!enabled)
        return;
    redraw = new QTimer(this);
    redraw->setInterval(RedrawMs);
    connect(redraw, &QTimer::timeout, this, &FleetProgress::Draw);
    redraw->start();
}

FleetProgress::~FleetProgress() {
    Finish();
}

QString FleetProgress::LineText(const FleetRunner& runner, int index) {
    const FleetRunner::View view = runner.ViewOf(index);
    switch (view.phase) {
    case FleetRunner::View::Phase::Waiting:
        return QStringLiteral("waiting");
    case FleetRunner::View::Phase::Ended:
        return Ended(*view.result);
    case FleetRunner::View::Phase::Running:
        break;
    }
    if (view.sign < 0)
        return view.percent < 0 ? QStringLiteral("starting") : Bar(view.percent);
    const QString sign =
        view.index >= 0 ? QStringLiteral("ID %1 (%2/%3)").arg(view.sign).arg(view.index + 1).arg(view.total)
                        : QStringLiteral("ID %1").arg(view.sign);
    return sign + QStringLiteral("  ") + Bar(std::max(view.percent, 0));
}

QStringList FleetProgress::Rows() const {
    const TerminalSize size = SizeOfTerminal();
    qsizetype nameWidth = 0;
    for (int i = 0; i < runner.LineCount(); ++i)
        nameWidth = std::max(nameWidth, runner.ViewOf(i).name.size());
    const auto row = [&](int i) {
        const QString text =
            runner.ViewOf(i).name.leftJustified(nameWidth) + QStringLiteral("  ") + LineText(runner, i);
        return text.left(size.columns - 1);
    };
    QStringList rows;
    if (runner.LineCount() < size.rows) {
        for (int i = 0; i < runner.LineCount(); ++i)
            rows << row(i);
        return rows;
    }
    int waiting = 0;
    int done = 0;
    for (int i = 0; i < runner.LineCount(); ++i) {
        const FleetRunner::View::Phase phase = runner.ViewOf(i).phase;
        if (phase == FleetRunner::View::Phase::Running && rows.size() < size.rows - 2)
            rows << row(i);
        waiting += phase == FleetRunner::View::Phase::Waiting ? 1 : 0;
        done += phase == FleetRunner::View::Phase::Ended ? 1 : 0;
    }
    rows << QStringLiteral("%1 lines: %2 running, %3 waiting, %4 ended")
                .arg(runner.LineCount())
                .arg(runner.LineCount() - waiting - done)
                .arg(waiting)
                .arg(done)
                .left(size.columns - 1);
    return rows;
}

void FleetProgress::Draw() {
    if (!enabled)
        return;
    QByteArray text;
    if (shownRows > 0)
        text += "\r\x1b[" + QByteArray::number(shownRows) + 'A';
    const QStringList rows = Rows();
    for (const QString& row : rows)
        text += "\r\x1b[2K" + row.toUtf8() + '\n';
    text += "\x1b[J"; // rows left from a longer view
    shownRows = static_cast<int>(rows.size());
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
    std::fflush(stderr);
}

void FleetProgress::Erase() {
    if (!enabled || shownRows == 0)
        return;
    const QByteArray text = "\r\x1b[" + QByteArray::number(shownRows) + "A\x1b[J";
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
    std::fflush(stderr);
    shownRows = 0;
}

void FleetProgress::Finish() {
    if (!enabled)
        return;
    redraw->stop();
    Draw();
    enabled = false;
}

} // namespace vexa
