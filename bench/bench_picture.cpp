// Measures the preparation of a 4000 x 3000 photo for a 16-row sign (P30: area averaging in
// linear light, ground detection, Otsu threshold, sign colours) against a bare loop of the
// same work done the plain way: QImage::scaled (smooth) to the same size and a fixed
// threshold of each pixel. Both start from the decoded picture in memory. Rounds alternate
// the two sides; the figures are medians, with the median of each round's ratio beside, as
// wall clock and as the thread's CPU time. Usage:
//   bench_picture [--photo FILE] [--rounds N]
// Without --photo the photo is drawn here: gradients, soft shapes and grain.
#include "BenchClock.h"
#include "core/ModelCatalogue.h"
#include "render/PicturePreparer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vexa;
using vexa::bench::Median;
using vexa::bench::ThreadCpuMs;

namespace {

QImage DrawnPhoto() {
    QImage photo(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 0, 3000);
    sky.setColorAt(0, QColor(90, 140, 210));
    sky.setColorAt(0.55, QColor(230, 210, 170));
    sky.setColorAt(1, QColor(60, 90, 40));
    painter.fillRect(photo.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    QRandomGenerator random(7);
    for (int i = 0; i < 60; ++i) {
        const QPointF centre(random.bounded(4000), random.bounded(3000));
        const double radius = 80 + random.bounded(500);
        QRadialGradient blob(centre, radius);
        blob.setColorAt(
            0, QColor::fromHsv(random.bounded(360), 120 + random.bounded(135), 80 + random.bounded(175)));
        blob.setColorAt(1, Qt::transparent);
        painter.setBrush(blob);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(centre, radius, radius);
    }
    painter.end();
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int grain = int(random.bounded(17)) - 8;
            line[x] =
                qRgb(std::clamp(qRed(line[x]) + grain, 0, 255), std::clamp(qGreen(line[x]) + grain, 0, 255),
                     std::clamp(qBlue(line[x]) + grain, 0, 255));
        }
    }
    return photo;
}

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

[[gnu::noinline]] int TimedPrepare(const QImage& photo, const DisplayModel& model) {
    const std::optional<PreparedPicture> prepared = PicturePreparer::Prepare(photo, model, {});
    return prepared ? prepared->litDots : -1;
}

[[gnu::noinline]] int TimedBareLoop(const QImage& photo, QSize size) {
    const QImage small = photo.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage dots(size, QImage::Format_ARGB32);
    int lit = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool on = qGray(small.pixel(x, y)) > 127;
            dots.setPixel(x, y, on ? 0xFFFFFF00u : 0xFF000000u);
            lit += on ? 1 : 0;
        }
    }
    return lit;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    int rounds = 15;
    QString photoPath;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--rounds"))
            rounds = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--photo"))
            photoPath = args[++i];
    }
    const QImage photo = photoPath.isEmpty() ? DrawnPhoto() : QImage(photoPath);
    if (photo.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(photoPath));
        return 2;
    }
    const DisplayModel& model = *ModelCatalogue::Find(QStringLiteral("P30"));
    const QSize size = PicturePreparer::PictureSize(photo.size(), model.rows, 0);
    int lit = TimedPrepare(photo, model); // warm up both sides
    int bareLit = TimedBareLoop(photo, size);

    std::vector<double> prepareWall, prepareCpu, bareWall, bareCpu, wallRatio, cpuRatio;
    for (int round = 0; round < rounds; ++round) {
        const auto prepare = [&] {
            const Cost c = Measure([&] { lit = TimedPrepare(photo, model); });
            prepareWall.push_back(c.wallMs);
            prepareCpu.push_back(c.cpuMs);
        };
        const auto bare = [&] {
            const Cost c = Measure([&] { bareLit = TimedBareLoop(photo, size); });
            bareWall.push_back(c.wallMs);
            bareCpu.push_back(c.cpuMs);
        };
        if (round % 2 == 0) {
            prepare();
            bare();
        } else {
            bare();
            prepare();
        }
        wallRatio.push_back(prepareWall.back() / bareWall.back());
        cpuRatio.push_back(prepareCpu.back() / bareCpu.back());
    }
    std::printf(
        "bench_picture: %d rounds, %d x %d photo (format %d) to %d x %d dots for %s; lit %d, bare %d\n",
        rounds, photo.width(), photo.height(), int(photo.format()), size.width(), size.height(), model.name,
        lit, bareLit);
    std::printf("  wall   prepare %8.2f ms   bare scaled+threshold %8.2f ms   ratio of medians %6.3f   "
                "median ratio %6.3f\n",
                Median(prepareWall), Median(bareWall), Median(prepareWall) / Median(bareWall),
                Median(wallRatio));
    std::printf("  cpu    prepare %8.2f ms   bare scaled+threshold %8.2f ms   ratio of medians %6.3f   "
                "median ratio %6.3f\n",
                Median(prepareCpu), Median(bareCpu), Median(prepareCpu) / Median(bareCpu), Median(cpuRatio));
    std::printf("  goal: prepare / bare <= 2\n");
    return 0;
}
