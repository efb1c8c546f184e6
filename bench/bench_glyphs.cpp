// Measures the glyph library's load of the whole Data tree against a bare loop of
// QImage::load over the same files. The file cache is warmed first; then rounds alternate
// the two sides (the library first in even rounds, the loop first in odd ones) and the
// figures are medians, with the median of each round's ratio beside. Beside the wall clock the bench reports
// the thread's CPU time, which a busy machine disturbs much less. Usage:
//   bench_glyphs [--data DIR] [--rounds N]
// DIR is the Data folder (default: the build's bin/Data).
#include "BenchClock.h"
#include "render/GlyphLibrary.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace vexa;
using vexa::bench::Median;
using vexa::bench::ThreadCpuMs;

namespace {

struct Cost {
    double wallMs = 0;
    double cpuMs = 0;
};

template <typename Work> Cost Measure(Work&& work) {
    const double cpu = ThreadCpuMs();
    QElapsedTimer clock;
    clock.start();
    work();
    return {static_cast<double>(clock.nsecsElapsed()) / 1e6, ThreadCpuMs() - cpu};
}

// Every file of the tree the library reads, in its order, without the missing ones.
QStringList LibraryFiles(const QString& data) {
    QStringList files;
    for (int n = 0; n < GlyphLibrary::Animations7; ++n)
        for (int f = 0; f < 2; ++f)
            files << GlyphLibrary::AnimationPath(data, 7, n, f);
    for (int rows : {12, 16})
        for (int n = 0; n < GlyphLibrary::Animations12And16; ++n)
            for (int f = 0; f < 2; ++f)
                files << GlyphLibrary::AnimationPath(data, rows, n, f);
    for (int font = 0; font < GlyphLibrary::FontCount; ++font)
        for (int colour = 0; colour < GlyphLibrary::ColourCount; ++colour)
            for (int glyph = 0; glyph < GlyphLibrary::GlyphsPerColour; ++glyph)
                files << GlyphLibrary::FontGlyphPath(data, font, colour, glyph);
    files.removeIf([](const QString& path) { return !QFileInfo::exists(path); });
    return files;
}

[[gnu::noinline]] int TimedLibrary(const QString& data) {
    GlyphLibrary library;
    return library.Load(data);
}

[[gnu::noinline]] int TimedBareLoop(const QStringList& files) {
    std::vector<QImage> images(static_cast<size_t>(files.size()));
    int loaded = 0;
    for (qsizetype i = 0; i < files.size(); ++i)
        loaded += images[static_cast<size_t>(i)].load(files[i]) ? 1 : 0;
    return loaded;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QString data = QStringLiteral(VEXA_BIN_DIR "/Data");
    int rounds = 15;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--data"))
            data = args[++i];
        else if (args[i] == QLatin1String("--rounds"))
            rounds = std::max(1, args[++i].toInt());
    }
    if (!QFileInfo(data + QStringLiteral("/Gif")).isDir()) {
        std::fprintf(stderr, "no Data tree at %s: build the vexa_data target first\n", qPrintable(data));
        return 2;
    }
    const QStringList files = LibraryFiles(data);
    int loaded = TimedLibrary(data); // warm the file cache and the image plugins
    int bareLoaded = TimedBareLoop(files);

    std::vector<double> libraryWall, libraryCpu, bareWall, bareCpu;
    std::vector<double> wallRatio, cpuRatio; // of the two sides of each round
    for (int round = 0; round < rounds; ++round) {
        const auto library = [&] {
            const Cost c = Measure([&] { loaded = TimedLibrary(data); });
            libraryWall.push_back(c.wallMs);
            libraryCpu.push_back(c.cpuMs);
        };
        const auto bare = [&] {
            const Cost c = Measure([&] { bareLoaded = TimedBareLoop(files); });
            bareWall.push_back(c.wallMs);
            bareCpu.push_back(c.cpuMs);
        };
        if (round % 2 == 0) {
            library();
            bare();
        } else {
            bare();
            library();
        }
        wallRatio.push_back(libraryWall.back() / bareWall.back());
        cpuRatio.push_back(libraryCpu.back() / bareCpu.back());
    }
    std::printf("bench_glyphs: %d rounds, library %d bitmaps, bare QImage::load %d of %lld files in %s\n",
                rounds, loaded, bareLoaded, static_cast<long long>(files.size()),
                qPrintable(QDir::cleanPath(data)));
    std::printf(
        "  wall   library %8.2f ms   bare loop %8.2f ms   ratio of medians %6.3f   median ratio %6.3f\n",
        Median(libraryWall), Median(bareWall), Median(libraryWall) / Median(bareWall), Median(wallRatio));
    std::printf(
        "  cpu    library %8.2f ms   bare loop %8.2f ms   ratio of medians %6.3f   median ratio %6.3f\n",
        Median(libraryCpu), Median(bareCpu), Median(libraryCpu) / Median(bareCpu), Median(cpuRatio));
    std::printf("  goal: library / bare loop <= 1.05\n");
    return 0;
}
