// Measures `vexa info` on files that carry many extra values: a System.set (read for the
// code page) and a message file, each with N extra name=text lines beside the usual ones,
// for N = 10^4 and 10^5. The verb runs in process through the command line's own code,
// its output thrown away; the figures are medians of rounds alternating the two sizes,
// and the growth ratio tells whether the cost is linear (about 10 for ten times the
// values). First, before anything else has used memory, it reads a message file just under
// the 16 MiB read limit made of the smallest sections (one value each, in the legacy code
// page, whose text costs two bytes per file byte) and prints the peak memory the read took
// as a multiple of the file's size. Usage:
//   bench_info [--rounds N] [--values N]
// --values runs one size only (for counting instructions of one size with callgrind:
// valgrind --tool=callgrind --toggle-collect='*TimedInfo*' build/bin/bench_info --values N).
#include "BenchClock.h"
#include "cli/CliContext.h"
#include "cli/InfoCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>
#include <vector>

using namespace vexa;
using vexa::bench::Median;

namespace {

// UTF-16LE with a byte-order mark and CR LF line ends, as the program writes them.
bool WriteIni(const QString& path, const QStringList& lines) {
    QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList ExtraValues(int count) {
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("Extra%1=value number %1").arg(i);
    return lines;
}

// A data folder with WorkData/System.set and a message file, both with count extra values.
struct Files {
    QTemporaryDir dir;
    QString messageFile;
    bool Make(int count) {
        const QStringList extra = ExtraValues(count);
        if (!dir.isValid() || !QDir(dir.path()).mkpath(QStringLiteral("WorkData")))
            return false;
        QStringList settings = {QStringLiteral("[Setting]"), QStringLiteral("Language=3"),
                                QStringLiteral("LedType=P30"), QStringLiteral("CodePage=1252")};
        settings << extra << QStringLiteral("[LEDData]") << QStringLiteral("NowSelID=1");
        QStringList message = {QStringLiteral("[INFO]")};
        for (int row = 0; row < 10; ++row) {
            message << QStringLiteral("PARA_%1=10000001000").arg(row, 2, 10, QLatin1Char('0'));
            message << QStringLiteral("DATA_%1=row %2").arg(row, 2, 10, QLatin1Char('0')).arg(row);
        }
        message << extra;
        messageFile = dir.filePath(QStringLiteral("message.led"));
        return WriteIni(dir.filePath(QStringLiteral("WorkData/System.set")), settings) &&
               WriteIni(messageFile, message);
    }
};

// One `vexa --data-dir DIR info FILE` with stdout sent to /dev/null; milliseconds.
[[gnu::noinline]] double TimedInfo(const Files& files, int* exitCode) {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    QElapsedTimer clock;
    clock.start();
    {
        CliContext context;
        context.dataDir = files.dir.path();
        *exitCode = InfoCommand::Run(context, {QStringLiteral("info"), files.messageFile});
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    ::close(null);
    return ms;
}

// A kB figure of /proc/self/status ("VmRSS", "VmHWM"), 0 when unknown.
qint64 StatusKb(const char* name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(static_cast<qsizetype>(qstrlen(name)) + 1)
                .trimmed()
                .split(' ')
                .value(0)
                .toLongLong();
    }
    return 0;
}

// `vexa info` on a message file of tiny sections just under the read limit: how many times
// the file's size the read added to the process at its peak.
bool MeasureMemory() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sections.led"));
    QByteArray bytes("[INFO]\r\n");
    for (int row = 0; row < 10; ++row)
        bytes += QStringLiteral("PARA_%1=10000001000\r\n").arg(row, 2, 10, QLatin1Char('0')).toLatin1();
    const qint64 limit = 16 * 1024 * 1024 - 64;
    for (int section = 0; bytes.size() + 16 <= limit; ++section)
        bytes += QStringLiteral("[S%1]\r\nv=1\r\n").arg(section, 6, 10, QLatin1Char('0')).toLatin1();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    const qint64 size = bytes.size();
    bytes = QByteArray();
    Files none;
    if (!none.Make(0))
        return false;
    malloc_trim(0);
    const qint64 before = StatusKb("VmRSS:");
    QFile reset(QStringLiteral("/proc/self/clear_refs")); // "5" starts the peak (VmHWM) afresh
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return false;
    reset.close();
    int exitCode = 0;
    none.messageFile = path;
    const double ms = TimedInfo(none, &exitCode);
    const qint64 peak = StatusKb("VmHWM:");
    if (exitCode != 0 || peak <= 0)
        return false;
    std::printf("bench_info: vexa info on a %.1f MiB message file of one-value sections: %.0f ms\n",
                size / 1048576.0, ms);
    std::printf("  peak memory / file size  %6.2f   (goal <= 8)\n", (peak - before) * 1024.0 / size);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    int rounds = 5;
    int only = 0;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--rounds"))
            rounds = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--values"))
            only = std::max(1, args[++i].toInt());
    }
    int exitCode = 0;
    if (only == 0 && !MeasureMemory())
        std::fprintf(stderr, "bench_info: the memory figure could not be taken\n");
    if (only > 0) {
        Files files;
        if (!files.Make(only))
            return 1;
        const double ms = TimedInfo(files, &exitCode);
        std::printf("bench_info: N = %d   %9.2f ms (exit %d)\n", only, ms, exitCode);
        return exitCode;
    }
    Files small, large;
    if (!small.Make(10000) || !large.Make(100000)) {
        std::fprintf(stderr, "bench_info: cannot write the files\n");
        return 1;
    }
    TimedInfo(small, &exitCode); // warm the file cache
    TimedInfo(large, &exitCode);
    std::vector<double> smallMs, largeMs;
    for (int round = 0; round < rounds; ++round) {
        smallMs.push_back(TimedInfo(small, &exitCode));
        if (exitCode != 0)
            break;
        largeMs.push_back(TimedInfo(large, &exitCode));
        if (exitCode != 0)
            break;
    }
    if (exitCode != 0) {
        std::fprintf(stderr, "bench_info: vexa info failed (%d)\n", exitCode);
        return 1;
    }
    const double s = Median(smallMs), l = Median(largeMs);
    std::printf("bench_info: vexa info, System.set and message file with N extra values, %d rounds\n",
                rounds);
    std::printf("  N = 10^4   median %9.2f ms\n", s);
    std::printf("  N = 10^5   median %9.2f ms   (goal < 500 ms)\n", l);
    std::printf("  growth 10^4 -> 10^5  %6.2f   (linear: about 10)\n", l / s);
    return 0;
}
