// Measures `vexa info` on files that carry many extra values: a System.set (read for the
// code page) and a message file, each with N extra name=text lines beside the usual ones,
// for N = 10^4 and 10^5. The verb runs in process through the command line's own code,
// its output thrown away; the figures are medians of rounds alternating the two sizes,
// and the growth ratio tells whether the cost is linear (about 10 for ten times the
// values). Usage:
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
