// Measures `vexa fleet send` over N simulated lines (vexa-sim --listen, models of every
// family, a 485 chain of S signs each) against the slowest line's own send (`vexa send --485`
// of that line alone), and the fleet's peak memory against that one line's:
//   wall:   fleet send / the slowest line alone          (goal <= 1.2)
//   memory: peak PSS of the fleet and all its children together / peak PSS of the one line
//           (goal <= N: each line is a child process). PSS shares each page among the
//           processes that map it, so the sum is what the machine spends; the same in RSS is
//           printed beside it as the upper bound: it counts the Qt libraries' pages once per
//           process, so the parent alone adds most of a child's figure
// Usage: bench_fleet [--lines N] [--signs S] [--rows R]
#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"
#include "store/AppPaths.h"
#include "store/CIdList.h"
#include "store/CMessageTable.h"
#include "store/SystemSettings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace vexa;

const QString kBin = QStringLiteral(VEXA_BIN_DIR);
const QStringList kModels{"P30", "P27", "P13", "P06", "P01", "P19", "P31", "P26"};

// A vexa-sim serving its line on a free loopback port.
struct Sim {
    QProcess process;
    QString port;
    bool Start(const QString& model, const QString& ids) {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(kBin + QStringLiteral("/vexa-sim"),
                      {QStringLiteral("--model"), model, QStringLiteral("--ids"), ids,
                       QStringLiteral("--listen"), QStringLiteral("tcp://127.0.0.1:0")});
        process.setReadChannel(QProcess::StandardOutput);
        if (!process.waitForReadyRead(5000))
            return false;
        port = QString::fromUtf8(process.readLine()).trimmed();
        // Everything after the port would only fill the pipe.
        process.closeReadChannel(QProcess::StandardOutput);
        return port.startsWith(QLatin1String("tcp://"));
    }
    ~Sim() {
        process.terminate();
        process.waitForFinished(3000);
    }
};

// A line's folder: its model, S ticked signs and R text rows per sign.
QString MakeLine(const QString& folder, const QString& model, int signs, int rows, QString& ids) {
    const AppPaths paths(folder, folder);
    QDir().mkpath(paths.WorkDataDir());
    SystemSettings(paths.SystemSetPath()).SetLedType(model);
    CIdList list(paths.IdListPath());
    QStringList idTexts;
    for (int id = 1; id <= signs; ++id) {
        list.entries[static_cast<size_t>(id)] = {QStringLiteral("sign %1").arg(id), 1, 1, 0};
        idTexts << QString::number(id);
        const QString file = paths.WorkFilePath(id);
        WorkFiles::WriteTemplate(ModelCatalogue::TemplateFor(model), file);
        CMessageTable table;
        table.OpenMessageFile(file);
        const int slotCount = ModelCatalogue::Find(model)->slotCount;
        for (int row = 0; row < std::min(rows, slotCount); ++row) {
            table.StoreContent(
                row, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Line %1 sign %2 "
                                    "row %3: the next train leaves at 12:%3\\par}")
                         .arg(folder.section(u'/', -1))
                         .arg(id)
                         .arg(row));
            table.kind[static_cast<size_t>(row)] = CMessageTable::KindText;
            table.sendFlag[static_cast<size_t>(row)] = 1;
        }
        table.SaveParams();
    }
    list.SaveIdList();
    ids = idTexts.join(u',');
    return folder;
}

// The resident and proportional set sizes (kB) of pid and every process below it.
struct Memory {
    qint64 rss = 0;
    qint64 pss = 0;
};

qint64 Field(const QByteArray& text, const QByteArray& name) {
    const qsizetype at = text.indexOf(name);
    if (at < 0)
        return 0;
    return text.mid(at + name.size()).trimmed().split(' ').value(0).toLongLong();
}

Memory TreeMemory(qint64 root) {
    QHash<qint64, qint64> parents;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        parents.insert(pid, text.mid(close + 2).split(' ').value(1).toLongLong());
    }
    Memory memory;
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        qint64 pid = it.key();
        while (pid > 1 && pid != root)
            pid = parents.value(pid, 0);
        if (pid != root)
            continue;
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(it.key()));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = rollup.readAll();
        memory.rss += Field(text, "\nRss:");
        memory.pss += Field(text, "\nPss:");
    }
    return memory;
}

struct Run {
    qint64 ms = 0;
    Memory peak;
    int exit = -1;
    QByteArray out;
};

// Runs a program, sampling its tree's memory every 20 ms.
Run Measure(const QString& program, const QStringList& args, const QString& workDir) {
    Run run;
    QProcess process;
    process.setWorkingDirectory(workDir);
    QElapsedTimer clock;
    clock.start();
    process.start(program, args);
    process.waitForStarted();
    std::atomic<bool> done{false};
    const qint64 pid = process.processId();
    std::thread sampler([&] {
        while (!done) {
            const Memory now = TreeMemory(pid);
            run.peak.rss = std::max(run.peak.rss, now.rss);
            run.peak.pss = std::max(run.peak.pss, now.pss);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    process.waitForFinished(-1);
    run.ms = clock.elapsed();
    done = true;
    sampler.join();
    run.exit = process.exitCode();
    run.out = process.readAllStandardOutput();
    return run;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    int lineCount = 16;
    int signs = 2;
    int rows = 10;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--lines"))
            lineCount = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--signs"))
            signs = std::clamp(args[i + 1].toInt(), 1, 255);
        else if (args[i] == QLatin1String("--rows"))
            rows = std::clamp(args[i + 1].toInt(), 1, 10);
    }
    QTemporaryDir dir;
    std::vector<std::unique_ptr<Sim>> sims;
    QString fleet;
    QHash<QString, QStringList> lineCommands;
    for (int i = 0; i < lineCount; ++i) {
        const QString model = kModels[i % kModels.size()];
        const QString name = QStringLiteral("line%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        QString ids;
        const QString folder = MakeLine(dir.filePath(name), model, signs, rows, ids);
        auto sim = std::make_unique<Sim>();
        if (!sim->Start(model, ids)) {
            std::fprintf(stderr, "bench_fleet: vexa-sim did not start\n");
            return 1;
        }
        fleet += QStringLiteral("[Line %1]\nPort=%2\nModel=%3\nDataDir=%1\nMode485=1\n\n")
                     .arg(name, sim->port, model);
        lineCommands.insert(name, {QStringLiteral("--data-dir"), folder, QStringLiteral("send"),
                                   QStringLiteral("--485"), QStringLiteral("--yes"),
                                   QStringLiteral("--model"), model, QStringLiteral("--port"), sim->port});
        sims.push_back(std::move(sim));
    }
    const QString fleetPath = dir.filePath(QStringLiteral("bench.fleet"));
    QFile file(fleetPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(fleet.toUtf8()) < 0)
        return 1;
    file.close();

    const QString vexa = kBin + QStringLiteral("/vexa");
    const Run all = Measure(vexa,
                            {QStringLiteral("fleet"), QStringLiteral("send"), fleetPath,
                             QStringLiteral("--json"), QStringLiteral("--yes")},
                            dir.path());
    QString slowest;
    qint64 slowestMs = -1;
    for (const QByteArray& line : all.out.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.value(QStringLiteral("type")).toString() != QLatin1String("line"))
            continue;
        const qint64 ms = object.value(QStringLiteral("endedMs")).toInteger() -
                          object.value(QStringLiteral("startedMs")).toInteger();
        if (!object.value(QStringLiteral("ok")).toBool())
            std::fprintf(stderr, "bench_fleet: line %s failed\n",
                         qPrintable(object.value(QStringLiteral("line")).toString()));
        if (ms > slowestMs) {
            slowestMs = ms;
            slowest = object.value(QStringLiteral("line")).toString();
        }
    }
    if (all.exit != 0 || slowest.isEmpty()) {
        std::fprintf(stderr, "bench_fleet: the fleet send failed (exit %d)\n", all.exit);
        return 1;
    }
    const Run one = Measure(vexa, lineCommands.value(slowest), dir.filePath(slowest));
    if (one.exit != 0) {
        std::fprintf(stderr, "bench_fleet: the line alone failed (exit %d)\n", one.exit);
        return 1;
    }
    std::printf("fleet send, %d lines of %d signs x %d rows: %.1f s\n", lineCount, signs, rows,
                all.ms / 1000.0);
    std::printf("slowest line (%s) alone:                  %.1f s (%.1f s inside the fleet)\n",
                qPrintable(slowest), one.ms / 1000.0, slowestMs / 1000.0);
    std::printf("wall ratio fleet / slowest line alone:    %.2f   (goal <= 1.2)\n",
                static_cast<double>(all.ms) / static_cast<double>(one.ms));
    std::printf("peak PSS fleet %lld MB, one line %lld MB: ratio %.1f   (goal <= %d)\n", all.peak.pss / 1024,
                one.peak.pss / 1024, static_cast<double>(all.peak.pss) / static_cast<double>(one.peak.pss),
                lineCount);
    std::printf("peak RSS fleet %lld MB, one line %lld MB: ratio %.1f   (shared pages counted per process)\n",
                all.peak.rss / 1024, one.peak.rss / 1024,
                static_cast<double>(all.peak.rss) / static_cast<double>(one.peak.rss));
    return 0;
}
