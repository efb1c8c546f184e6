// Measures the rendering core against bare renderers built here: ten 255-character rows
// set, previewed, exported, packed and checked as a send prepares them (16-row P30 and 12-row
// P13), divided by the time of the same text runs drawn once into rasters of the same
// size with QPainter::drawText, and with ready-made QGlyphRuns (QRawFont). Then the
// growth of the render time per character from 10 to 8000 characters per row.
// Every figure is the median of alternating rounds. Usage:
//   bench_render [--rounds N] [--send-only] [--model P30|P13]
#include "BenchClock.h"
#include "core/ModelCatalogue.h"
#include "render/GlyphLibrary.h"
#include "render/MessageImage.h"
#include "render/RtfReader.h"
#include "render/RunFont.h"
#include "render/SendPreparation.h"
#include "render/TextRasteriser.h"
#include "store/CMessageTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QRawFont>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace vexa;
using vexa::bench::Median;
using vexa::bench::ThreadCpuMs;

namespace {

QString LongRtf(int points, int row, int length) {
    QString text;
    const QString words =
        QStringLiteral("Departure %1 platform 7 delayed [GIF_002] by 15 minutes; ").arg(row);
    while (text.size() < length)
        text += words;
    text.truncate(length);
    return QStringLiteral(
               "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
               "{\\colortbl ;\\red255\\green150\\blue0;}\\viewkind4\\uc1\\pard\\cf1\\f0\\fs%1 %2\\par}")
        .arg(points * 2)
        .arg(text);
}

// Wall clock and the CPU time of this thread: on a shared machine the wall clock also
// counts the time other programs held the core; the thread's CPU time does not.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing Time(const std::function<void()>& work) {
    QElapsedTimer timer;
    const double cpu = ThreadCpuMs();
    timer.start();
    work();
    return {static_cast<double>(timer.nsecsElapsed()) / 1e6, ThreadCpuMs() - cpu};
}

double TimeMs(const std::function<void()>& work) {
    return Time(work).wall;
}

struct Medians {
    double wall;
    double cpu;
};

Medians MedianOf(const std::vector<Timing>& timings) {
    std::vector<double> wall, cpu;
    for (const Timing& t : timings) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    return {Median(wall), Median(cpu)};
}

QImage Raster(int width, int height) {
    QImage raster(std::max(1, width), std::max(1, height), QImage::Format_ARGB32_Premultiplied);
    raster.fill(TextRasteriser::Dark);
    return raster;
}

// The text runs of one row and the raster size its export has.
struct BareRow {
    TextRunList runs;
    int width = 0;
    int height = 0;
    std::vector<QList<QGlyphRun>> glyphs; // per run, for the glyph-run baseline
};

// The irreducible work of drawing a row: one drawText per run into a raster.
void DrawTextRow(const BareRow& row) {
    QImage raster = Raster(row.width, row.height);
    QPainter painter(&raster);
    int x = 0;
    for (const TextRun& run : row.runs) {
        const RunFont font(run, raster);
        painter.setFont(font.Font());
        painter.setPen(QColor::fromRgb(run.colour));
        painter.drawText(QPoint(x, font.Baseline()), run.text);
        x += QFontMetrics(font.Font(), &raster).horizontalAdvance(run.text);
    }
}

// The same with the glyphs already shaped: one drawGlyphRun per run.
void DrawGlyphRow(const BareRow& row) {
    QImage raster = Raster(row.width, row.height);
    QPainter painter(&raster);
    for (size_t i = 0; i < row.glyphs.size(); ++i) {
        painter.setPen(QColor::fromRgb(row.runs[static_cast<qsizetype>(i)].colour));
        for (const QGlyphRun& glyphs : row.glyphs[i])
            painter.drawGlyphRun(QPointF(0, 0), glyphs);
    }
}

BareRow MakeBareRow(const QString& rtf, int height, int width) {
    BareRow row;
    row.runs = TextRasteriser::BuildRuns(RtfReader::Read(rtf, LegacyCodePage(1252)));
    row.height = height;
    row.width = width;
    const QImage device = Raster(1, 1);
    qreal x = 0;
    for (const TextRun& run : row.runs) {
        const RunFont font(run, device);
        const QRawFont raw = QRawFont::fromFont(font.Font());
        QGlyphRun glyphs;
        glyphs.setRawFont(raw);
        const QList<quint32> indexes = raw.glyphIndexesForString(run.text);
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
        QList<QPointF> positions;
        for (const QPointF& a : advances) {
            positions.append(QPointF(x, font.Baseline()));
            x += a.x();
        }
        glyphs.setGlyphIndexes(indexes);
        glyphs.setPositions(positions);
        row.glyphs.push_back({glyphs});
    }
    return row;
}

struct Rows {
    std::array<MessageImage, 10> images;
    SendPreparation::RowImageList list{};
    CMessageTable table;
};

void SetUp(Rows& rows, const DisplayModel& model, const GlyphLibrary& library, const QString& imageDir) {
    rows.table.ClearParams();
    for (int row = 0; row < 10; ++row) {
        MessageImage& image = rows.images[static_cast<size_t>(row)];
        image.rows = model.rows;
        image.exportHeight = model.exportHeight;
        image.pageWidth = model.hasPageGeometry ? model.pageWidth : 0;
        image.pagePitch = model.pagePitch;
        image.glyphLibrary = &library;
        image.controlId = 20060 + row;
        image.imageDir = imageDir;
        image.signKind = model.packKind;
        image.SetPageAlign(true);
        rows.list[static_cast<size_t>(row)] = &image;
        rows.table.kind[static_cast<size_t>(row)] = CMessageTable::KindText;
        rows.table.sendFlag[static_cast<size_t>(row)] = 1;
    }
}

// What a send of ten rows costs the project: set each content, draw its preview, export
// and pack both frames, and check what will not look as previewed.
void ProjectRound(Rows& rows, const DisplayModel& model, const QStringList& contents) {
    for (int row = 0; row < 10; ++row)
        rows.images[static_cast<size_t>(row)].SetContent(contents[row]);
    for (int row = 0; row < 10; ++row)
        rows.images[static_cast<size_t>(row)].PreviewRaster(QSize(642, model.rows * 3 + 2));
    Payload payload;
    SendPreparation::PrepareSendData(model, rows.list, rows.table, payload);
    SendPreparation::LimitDataSize(model, rows.table, payload);
    SendPreparation::Warnings(model, rows.list, rows.table);
}

// The timed sides, kept out of line so that a profiler can count each one alone
// (valgrind --tool=callgrind --toggle-collect='*Timed*').
[[gnu::noinline]] void TimedProject(Rows& rows, const DisplayModel& model, const QStringList& contents) {
    ProjectRound(rows, model, contents);
}

[[gnu::noinline]] void TimedDrawText(const std::vector<BareRow>& bare) {
    for (const BareRow& row : bare)
        DrawTextRow(row);
}

[[gnu::noinline]] void TimedGlyphRuns(const std::vector<BareRow>& bare) {
    for (const BareRow& row : bare)
        DrawGlyphRow(row);
}

void BenchSend(const char* modelName, const GlyphLibrary& library, const QString& imageDir, int rounds) {
    const DisplayModel& model = *ModelCatalogue::Find(QString::fromLatin1(modelName));
    Rows rows;
    SetUp(rows, model, library, imageDir);
    QStringList contents;
    for (int row = 0; row < 10; ++row)
        contents << LongRtf(model.rows, row, 255);
    ProjectRound(rows, model, contents); // warm the font caches of both sides
    std::vector<BareRow> bare;
    for (int row = 0; row < 10; ++row)
        bare.push_back(MakeBareRow(contents[row],
                                   rows.images[static_cast<size_t>(row)].EffectiveExportHeight(),
                                   rows.images[static_cast<size_t>(row)].contentWidth));
    for (const BareRow& row : bare) {
        DrawTextRow(row);
        DrawGlyphRow(row);
    }
    std::vector<Timing> project, drawText, glyphRun;
    for (int round = 0; round < rounds; ++round) {
        project.push_back(Time([&] { TimedProject(rows, model, contents); }));
        drawText.push_back(Time([&] { TimedDrawText(bare); }));
        glyphRun.push_back(Time([&] { TimedGlyphRuns(bare); }));
    }
    const Medians p = MedianOf(project), t = MedianOf(drawText), g = MedianOf(glyphRun);
    std::printf("%s (%d rows), per ten rows, wall clock / thread CPU time:\n", modelName, model.rows);
    std::printf("  project %.2f / %.2f ms, bare drawText %.2f / %.2f ms, bare glyph runs %.2f / %.2f ms\n",
                p.wall, p.cpu, t.wall, t.cpu, g.wall, g.cpu);
    std::printf("  ratio project / drawText   %6.2f / %6.2f   (goal <= 1.5)\n", p.wall / t.wall,
                p.cpu / t.cpu);
    std::printf("  ratio project / glyph runs %6.2f / %6.2f   (goal <= 5)\n", p.wall / g.wall, p.cpu / g.cpu);
}

// Render and pack time per character for rows of growing length: constant means linear.
void BenchGrowth(const GlyphLibrary& library, const QString& imageDir, int rounds) {
    const DisplayModel& model = *ModelCatalogue::Find(QStringLiteral("P30"));
    std::printf("growth (P30, ten rows): microseconds per character\n");
    for (int length : {10, 100, 1000, 8000}) {
        Rows rows;
        SetUp(rows, model, library, imageDir);
        QStringList contents;
        for (int row = 0; row < 10; ++row)
            contents << LongRtf(model.rows, row, length);
        ProjectRound(rows, model, contents);
        std::vector<double> times;
        for (int round = 0; round < std::max(3, rounds / 3); ++round)
            times.push_back(TimeMs([&] { ProjectRound(rows, model, contents); }));
        std::printf("  %5d characters: %8.3f us\n", length, Median(times) * 1000.0 / (10.0 * length));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int rounds = 15;
    bool sendOnly = false;
    QString onlyModel;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--send-only"))
            sendOnly = true;
        else if (args[i] == QLatin1String("--model") && i + 1 < args.size())
            onlyModel = args[++i];
    }
    const QString data = QStringLiteral(VEXA_BIN_DIR "/Data");
    if (!QFileInfo(data + QStringLiteral("/Gif")).isDir()) {
        std::fprintf(stderr, "no Data tree at %s: build the vexa_data target first\n", qPrintable(data));
        return 2;
    }
    QTemporaryDir temp;
    GlyphLibrary library;
    library.Load(data);
    for (const char* model : {"P30", "P13"})
        if (onlyModel.isEmpty() || onlyModel == QLatin1String(model))
            BenchSend(model, library, temp.path() + QStringLiteral("/Image"), rounds);
    if (sendOnly)
        return 0;
    BenchGrowth(library, temp.path() + QStringLiteral("/Image"), rounds);
    return 0;
}
