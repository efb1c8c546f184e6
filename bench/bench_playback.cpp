// Measures the playback: the cost of producing one frame of a 16 x 256 sign (a P36) for
// the effects that cost most, against a bare QImage copy of the same size (goal: at most
// 3 times), and the CPU share of the sign view playing a long scrolling row at the
// fastest speed, 50 frames a second, on the offscreen platform (goal: at most 10 % of one
// core). Usage: bench_playback [--data DIR] [--seconds S]
#include "BenchClock.h"
#include "app/CVexaApp.h"
#include "app/ui/CSignViewDlg.h"
#include "core/ModelCatalogue.h"
#include "playback/PlaybackProgramme.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>

using namespace vexa;
using vexa::bench::Median;
using vexa::bench::ThreadCpuMs;

namespace {

double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A long message of random red, green and yellow dots, as a P36 row exports it.
QImage LongMessage(int columns) {
    QImage image(columns, 16, QImage::Format_ARGB32);
    const QRgb colours[] = {SignColours::OpaqueBlack, SignColours::PureRed, SignColours::PureGreen,
                            SignColours::PureYellow};
    QRandomGenerator random(26);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, colours[random.bounded(4)]);
    return image;
}

PlaybackProgramme ProgrammeOf(SignEffect effect, bool marquee) {
    PlaybackInput input;
    input.frames[0] = LongMessage(2048);
    input.settings.effectListSet = 0;
    input.settings.effect = int(effect);
    input.settings.speed = 7;
    input.settings.marquee = marquee;
    return PlaybackProgramme({input}, SignGeometry::For(*ModelCatalogue::Find(QStringLiteral("P36")), 0));
}

// Nanoseconds per frame of a programme (its steps in turn) and per bare copy, medians of rounds.
void FrameCost(const char* name, const PlaybackProgramme& programme) {
    constexpr int kFrames = 20000;
    QImage target;
    QImage source(256, 16, QImage::Format_RGB32);
    source.fill(0xFF112233u);
    std::vector<double> frame, copy;
    for (int round = 0; round < 7; ++round) {
        double start = ThreadCpuMs();
        for (int i = 0; i < kFrames; ++i)
            programme.Render(i % programme.StepCount(), target);
        frame.push_back((ThreadCpuMs() - start) * 1e6 / kFrames);
        start = ThreadCpuMs();
        qint64 sink = 0;
        for (int i = 0; i < kFrames; ++i) {
            const QImage copied = source.copy();
            sink += copied.constBits()[i % 64];
        }
        copy.push_back((ThreadCpuMs() - start) * 1e6 / kFrames);
        if (sink == -1)
            std::puts("");
    }
    std::printf("frame %-22s %7.0f ns   bare QImage copy %7.0f ns   ratio %.2f (goal <= 3)\n", name,
                Median(frame), Median(copy), Median(frame) / Median(copy));
}

// Counts the paints of the widget it watches.
class FrameCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QString dataDir = QStringLiteral(VEXA_BIN_DIR);
    int seconds = 4;
    const QStringList args = application.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--data"))
            dataDir = args[i + 1];
        else if (args[i] == QLatin1String("--seconds"))
            seconds = std::max(1, args[i + 1].toInt());
    }

    std::printf("one frame of a 16 x 256 sign (P36), fastest speed\n");
    FrameCost("Left", ProgrammeOf(SignEffect::Left, false));
    FrameCost("Left with marquee", ProgrammeOf(SignEffect::Left, true));
    FrameCost("Snow", ProgrammeOf(SignEffect::Snow, false));
    FrameCost("Up", ProgrammeOf(SignEffect::Up, false));

    // The real sign view over the application's rows: one long row scrolling left at
    // speed "8" (a frame every 20 ms) on a P36.
    QTemporaryDir work;
    AppPaths paths(dataDir, work.path());
    CVexaApp app(paths);
    app.StartUp();
    app.settingsFile.SetLedType(QStringLiteral("P36"));
    const DisplayModel& model = *ModelCatalogue::Find(QStringLiteral("P36"));
    QString text;
    for (int i = 0; i < 12; ++i)
        text += QStringLiteral("Platform %1 for the express to the coast ").arg(i);
    app.messageTable.WriteContent(
        0, QStringLiteral(
               "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}{\\colortbl ;\\red255\\green255\\blue0;}"
               "\\pard\\cf1\\f0\\fs32 %1\\par}")
               .arg(text));
    for (size_t row = 0; row < 10; ++row)
        app.messageTable.sendFlag[row] = row == 0 ? 1 : 0;
    app.messageTable.kind[0] = CMessageTable::KindText;
    app.messageTable.effect[0] = 1; // Left in list B
    app.messageTable.speed[0] = 7;
    app.rowImages.ApplyModel(model);
    app.rowImages.LoadPreviews(model, app.messageTable);

    CSignViewDlg view(app);
    view.show();
    QCoreApplication::processEvents();
    const SharedProgramme& programme = view.Model().Programme();
    const int stepMs = programme && !programme->IsEmpty() ? programme->Steps().front().durationMs : 0;
    // Frames shown are counted as the face paints them; the loop sleeps between events.
    FrameCounter counter;
    for (QWidget* child : view.findChildren<QWidget*>())
        if (child->inherits("vexa::SignFace"))
            child->installEventFilter(&counter);
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = ProcessCpuMs();
    const double threadStart = ThreadCpuMs();
    loop.exec();
    const double thread = ThreadCpuMs() - threadStart;
    const int frames = counter.paints;
    const double cpu = ProcessCpuMs() - cpuStart;
    const double share = 100.0 * cpu / double(wall.elapsed());
    std::printf("sign view: %d x %d sign, %d steps of %d ms, %d frames shown in %lld ms; its thread's CPU "
                "%.0f ms = %.1f %% of one core (goal <= 10 %%); the whole process %.1f %%\n",
                programme ? programme->Sign().columns : 0, programme ? programme->Sign().rows : 0,
                programme ? programme->StepCount() : 0, stepMs, frames, wall.elapsed(), thread,
                100.0 * thread / double(wall.elapsed()), share);
    // Where a frame's time goes: a paint of the whole view and of the sign's face alone.
    QWidget* face = nullptr;
    for (QWidget* child : view.findChildren<QWidget*>())
        if (child->inherits("vexa::SignFace"))
            face = child;
    for (QWidget* widget : {static_cast<QWidget*>(&view), face}) {
        const double start = ThreadCpuMs();
        for (int i = 0; i < 20; ++i)
            widget->grab();
        std::printf("  a paint of the %s: %.2f ms\n", widget == &view ? "view" : "face",
                    (ThreadCpuMs() - start) / 20);
    }
    return 0;
}
