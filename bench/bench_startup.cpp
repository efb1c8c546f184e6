// Measures the editor's start-up up to the main window being shown: the file side
// (sign list, settings, current message file), the glyph library and the window's own
// initialisation, on the offscreen platform. Usage:
//   bench_startup [--data DIR] [--runs N]
// DIR is the asset folder holding Data/ (default: the build's bin folder).
#include "app/CVexaApp.h"
#include "app/ui/CVexaDlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vexa;

namespace {

struct Sample {
    double files = 0;
    double glyphs = 0;
    double window = 0;
    double total() const { return files + glyphs + window; }
};

Sample StartOnce(const QString& assetDir, const QString& writableDir, int& glyphCount) {
    Sample s;
    QElapsedTimer clock;
    clock.start();
    AppPaths paths(assetDir, writableDir);
    CVexaApp app(paths);
    app.StartUp();
    s.files = clock.nsecsElapsed() / 1e6;

    clock.restart();
    glyphCount = app.LoadGlyphLibrary();
    s.glyphs = clock.nsecsElapsed() / 1e6;

    clock.restart();
    CVexaDlg window(app);
    window.show();
    QElapsedTimer patience;
    patience.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && patience.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents(); // the first paint
    s.window = clock.nsecsElapsed() / 1e6;
    window.close();
    return s;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QString assetDir = QStringLiteral(VEXA_BIN_DIR);
    int runs = 15;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--data"))
            assetDir = args[++i];
        else if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[++i].toInt());
    }

    // The link engine writes Debug.Log into the current directory: keep it out of the way.
    QTemporaryDir logFolder;
    QDir::setCurrent(logFolder.path());

    std::vector<double> files, glyphs, windows, totals;
    int glyphCount = 0;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir writable; // a first start each time: WorkData is created
        const Sample s = StartOnce(assetDir, writable.path(), glyphCount);
        files.push_back(s.files);
        glyphs.push_back(s.glyphs);
        windows.push_back(s.window);
        totals.push_back(s.total());
    }
    std::printf("bench_startup: %d runs, %d glyph bitmaps from %s/Data\n", runs, glyphCount,
                qPrintable(QDir::cleanPath(assetDir)));
    std::printf("  files (sign list, settings, message file)  median %8.2f ms\n", Median(files));
    std::printf("  glyph library                              median %8.2f ms\n", Median(glyphs));
    std::printf("  main window to shown                       median %8.2f ms\n", Median(windows));
    std::printf("  start-up total                             median %8.2f ms\n", Median(totals));
    return 0;
}
