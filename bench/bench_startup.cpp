// Measures the editor's start-up up to the first frame of the main window: the file side
// (sign list, settings, current message file), the glyph library as the window asks for
// it and the window's own initialisation, on the offscreen platform. The row previews are
// painted right after the first frame; that time is printed beside it. The baseline is a
// bare Qt Widgets window with as many widgets, shown and painted the same way; the
// figures are medians of alternating runs. Usage:
//   bench_startup [--data DIR] [--runs N]
// DIR is the asset folder holding Data/ (default: the build's bin folder).
#include "BenchClock.h"
#include "app/CVexaApp.h"
#include "app/ui/CVexaDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace vexa;
using vexa::bench::Median;
using vexa::bench::ThreadCpuMs;

namespace {

// Wall clock and the calling thread's CPU time since start. The CPU time is what the
// window's own thread spends; a busy machine disturbs it much less than the wall clock.
struct Stopwatch {
    QElapsedTimer wall;
    double cpuStart = 0;
    void Start() {
        wall.start();
        cpuStart = ThreadCpuMs();
    }
    double WallMs() const { return static_cast<double>(wall.nsecsElapsed()) / 1e6; }
    double CpuMs() const { return ThreadCpuMs() - cpuStart; }
};

struct Cost {
    double wall = 0;
    double cpu = 0;
};

struct Sample {
    Cost files;          // sign list, settings, message file
    Cost window;         // window built, shown and its first frame painted
    double previews = 0; // wall time after the first frame until the work it queued (the previews) is done
    Cost Total() const { return {files.wall + window.wall, files.cpu + window.cpu}; }
};

// Notes when a window's first frame is painted: the expose event that first shows the
// window is handled by painting and flushing the whole window, and a call queued when it
// arrives runs right after that handling, before anything the paint itself queued.
class FirstFrameClock : public QObject {
public:
    FirstFrameClock(const Stopwatch& started, QWindow* window) : clock(started) {
        window->installEventFilter(this);
    }
    Cost painted{-1, -1};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !posted) {
            posted = true;
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    painted = {clock.WallMs(), clock.CpuMs()};
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    const Stopwatch& clock;
    bool posted = false;
};

// Shows the window; returns the cost until its first frame was painted. *settledMs
// receives the wall time once the work that frame queued (the row previews of the
// editor) is done as well.
Cost ShowAndPaint(QWidget& window, const Stopwatch& clock, double* settledMs) {
    window.winId(); // the platform window, to watch its first expose
    FirstFrameClock firstFrame(clock, window.windowHandle());
    window.show();
    QElapsedTimer patience;
    patience.start();
    while (firstFrame.painted.wall < 0 && patience.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    for (int turn = 0; turn < 3; ++turn) // a queued call, the update it asks for, its paint
        QCoreApplication::processEvents();
    *settledMs = clock.WallMs();
    return firstFrame.painted;
}

Sample StartOnce(const QString& assetDir, const QString& writableDir, int& glyphCount, int& widgetCount) {
    Sample s;
    Stopwatch clock;
    clock.Start();
    AppPaths paths(assetDir, writableDir);
    CVexaApp app(paths);
    app.StartUp();
    s.files = {clock.WallMs(), clock.CpuMs()};

    clock.Start();
    CVexaDlg window(app);
    double settled = 0;
    s.window = ShowAndPaint(window, clock, &settled);
    s.previews = settled - s.window.wall;
    glyphCount = app.glyphLibrary.LoadedCount();
    widgetCount = static_cast<int>(window.findChildren<QWidget*>().size());
    window.close();
    return s;
}

// A bare main window with count widgets of the usual kinds in a grid.
Cost BareWindowOnce(int count) {
    Stopwatch clock;
    clock.Start();
    QMainWindow window;
    auto* central = new QWidget;
    auto* grid = new QGridLayout(central);
    for (int i = 0; i < count; ++i) {
        QWidget* widget = nullptr;
        switch (i % 5) {
        case 0:
            widget = new QLabel(QStringLiteral("Label %1").arg(i));
            break;
        case 1:
            widget = new QPushButton(QStringLiteral("Button %1").arg(i));
            break;
        case 2:
            widget = new QCheckBox(QStringLiteral("Check %1").arg(i));
            break;
        case 3: {
            auto* combo = new QComboBox;
            combo->addItems({QStringLiteral("One"), QStringLiteral("Two")});
            widget = combo;
            break;
        }
        default:
            widget = new QLineEdit(QStringLiteral("Text %1").arg(i));
            break;
        }
        grid->addWidget(widget, i / 8, i % 8);
    }
    window.setCentralWidget(central);
    double settled = 0;
    const Cost painted = ShowAndPaint(window, clock, &settled);
    window.close();
    return painted;
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

    std::vector<double> files, windows, totals, previews, bare, totalCpu, bareCpu, cpuRatio, filesCpu;
    int glyphCount = 0;
    int widgetCount = 0;
    {
        QTemporaryDir warm; // fonts, styles and plugins are loaded once for both sides
        StartOnce(assetDir, warm.path(), glyphCount, widgetCount);
        BareWindowOnce(widgetCount);
    }
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir writable; // a first start each time: WorkData is created
        const Sample s = StartOnce(assetDir, writable.path(), glyphCount, widgetCount);
        const Cost b = BareWindowOnce(widgetCount);
        files.push_back(s.files.wall);
        filesCpu.push_back(s.files.cpu);
        windows.push_back(s.window.wall);
        totals.push_back(s.Total().wall);
        previews.push_back(s.previews);
        bare.push_back(b.wall);
        totalCpu.push_back(s.Total().cpu);
        bareCpu.push_back(b.cpu);
        cpuRatio.push_back(s.Total().cpu / b.cpu);
    }
    std::printf("bench_startup: %d runs, %d glyph bitmaps read by the first frame from %s/Data, %d widgets\n",
                runs, glyphCount, qPrintable(QDir::cleanPath(assetDir)), widgetCount);
    std::printf("  files (sign list, settings, message file)  median %8.2f ms   (cpu %8.2f ms)\n",
                Median(files), Median(filesCpu));
    std::printf("  main window to its first frame painted     median %8.2f ms\n", Median(windows));
    std::printf("  start-up total to the first frame          median %8.2f ms   (cpu %8.2f ms)\n",
                Median(totals), Median(totalCpu));
    std::printf("  then the row previews painted              median %8.2f ms more\n", Median(previews));
    std::printf("  bare widgets window to its first frame     median %8.2f ms   (cpu %8.2f ms)\n",
                Median(bare), Median(bareCpu));
    std::printf(
        "  ratio start-up / bare window   wall %6.2f   cpu %6.2f (median of runs %6.2f)   (goal <= 1.5)\n",
        Median(totals) / Median(bare), Median(totalCpu) / Median(bareCpu), Median(cpuRatio));
    return 0;
}
