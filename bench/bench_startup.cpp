// Measures the editor's start-up up to the first paint of the main window: the file side
// (sign list, settings, current message file), the glyph library as the window asks for
// it and the window's own initialisation, on the offscreen platform. The baseline is a
// bare Qt Widgets window with as many widgets, shown and painted the same way; the
// figures are medians of alternating runs. Usage:
//   bench_startup [--data DIR] [--runs N]
// DIR is the asset folder holding Data/ (default: the build's bin folder).
#include "app/CVexaApp.h"
#include "app/ui/CVexaDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vexa;

namespace {

struct Sample {
    double files = 0;
    double window = 0;
    double total() const { return files + window; }
};

void ShowAndPaint(QWidget& window) {
    window.show();
    QElapsedTimer patience;
    patience.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && patience.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents(); // the first paint
}

Sample StartOnce(const QString& assetDir, const QString& writableDir, int& glyphCount, int& widgetCount) {
    Sample s;
    QElapsedTimer clock;
    clock.start();
    AppPaths paths(assetDir, writableDir);
    CVexaApp app(paths);
    app.StartUp();
    s.files = clock.nsecsElapsed() / 1e6;

    clock.restart();
    CVexaDlg window(app);
    ShowAndPaint(window);
    s.window = clock.nsecsElapsed() / 1e6;
    glyphCount = app.glyphLibrary.LoadedCount();
    widgetCount = static_cast<int>(window.findChildren<QWidget*>().size());
    window.close();
    return s;
}

// A bare main window with count widgets of the usual kinds in a grid.
double BareWindowOnce(int count) {
    QElapsedTimer clock;
    clock.start();
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
    ShowAndPaint(window);
    const double ms = clock.nsecsElapsed() / 1e6;
    window.close();
    return ms;
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

    std::vector<double> files, windows, totals, bare;
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
        files.push_back(s.files);
        windows.push_back(s.window);
        totals.push_back(s.total());
        bare.push_back(BareWindowOnce(widgetCount));
    }
    std::printf("bench_startup: %d runs, %d glyph bitmaps read by the first paint from %s/Data, %d widgets\n",
                runs, glyphCount, qPrintable(QDir::cleanPath(assetDir)), widgetCount);
    std::printf("  files (sign list, settings, message file)  median %8.2f ms\n", Median(files));
    std::printf("  main window (glyphs included) to painted   median %8.2f ms\n", Median(windows));
    std::printf("  start-up total                             median %8.2f ms\n", Median(totals));
    std::printf("  bare widgets window to painted             median %8.2f ms\n", Median(bare));
    std::printf("  ratio start-up / bare window %6.2f   (goal <= 1.5)\n", Median(totals) / Median(bare));
    return 0;
}
