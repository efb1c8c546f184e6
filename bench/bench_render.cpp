// Measures the rendering core: ten 255-character rows rendered, exported and packed as
// a send prepares them, for a 16-row and a 12-row model, and the glyph library load.
#include "core/ModelCatalogue.h"
#include "render/GlyphLibrary.h"
#include "render/MessageImage.h"
#include "render/SendPreparation.h"
#include "store/CMessageTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <array>
#include <cstdio>

using namespace vexa;

namespace {

QString LongRtf(int points, int row) {
    QString text;
    const QString words = QStringLiteral("Departure %1 platform 7 delayed [GIF_002] by 15 minutes; ").arg(row);
    while (text.size() < 255)
        text += words;
    text.truncate(255);
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
                          "{\\colortbl ;\\red255\\green150\\blue0;}\\viewkind4\\uc1\\pard\\cf1\\f0\\fs%1 %2\\par}")
        .arg(points * 2)
        .arg(text);
}

void MakeFixtureTree(const QString& data) {
    QImage glyph(6, 7, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    for (int font = 0; font < GlyphLibrary::FontCount; ++font)
        for (int colour = 0; colour < GlyphLibrary::ColourCount; ++colour) {
            const QString folder = QStringLiteral("%1/ASCII/allAscii/Font%2/Color%3").arg(data).arg(font).arg(colour);
            QDir().mkpath(folder);
            for (int i = 0; i < GlyphLibrary::GlyphsPerColour; ++i)
                glyph.save(QStringLiteral("%1/%2.bmp").arg(folder).arg(i), "BMP");
        }
    for (int rows : {7, 12, 16}) {
        QImage frame(rows + 2, rows, QImage::Format_RGB32);
        frame.fill(Qt::green);
        QDir().mkpath(QStringLiteral("%1/Gif/%2").arg(data).arg(rows));
        for (int n = 0; n < (rows == 7 ? 65 : 32); ++n)
            for (int f = 0; f < 2; ++f)
                frame.save(GlyphLibrary::AnimationPath(data, rows, n, f), "BMP");
    }
}

void BenchSend(const char* modelName, const GlyphLibrary& library, const QString& imageDir) {
    const DisplayModel& model = *ModelCatalogue::Find(QString::fromLatin1(modelName));
    std::array<MessageImage, 10> images;
    SendPreparation::RowImageList list{};
    CMessageTable table;
    table.ClearParams();
    for (int row = 0; row < 10; ++row) {
        MessageImage& image = images[static_cast<size_t>(row)];
        image.rows = model.rows;
        image.pageWidth = model.hasPageGeometry ? model.pageWidth : 0;
        image.pagePitch = model.pagePitch;
        image.glyphLibrary = &library;
        image.controlId = 20060 + row;
        image.imageDir = imageDir;
        image.SetPageAlign(true);
        list[static_cast<size_t>(row)] = &image;
        table.kind[static_cast<size_t>(row)] = CMessageTable::KindText;
        table.sendFlag[static_cast<size_t>(row)] = 1;
    }
    constexpr int kRounds = 5;
    qint64 setContent = 0, prepare = 0, preview = 0;
    qint64 bytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int row = 0; row < 10; ++row)
            images[static_cast<size_t>(row)].SetContent(LongRtf(model.rows, row));
        setContent += timer.nsecsElapsed();
        timer.restart();
        for (int row = 0; row < 10; ++row)
            images[static_cast<size_t>(row)].PreviewRaster(QSize(642, model.rows * 3 + 2));
        preview += timer.nsecsElapsed();
        timer.restart();
        Payload payload;
        SendPreparation::PrepareSendData(model, list, table, payload);
        SendPreparation::LimitDataSize(model, table, payload);
        prepare += timer.nsecsElapsed();
        for (int row = 0; row < 10; ++row)
            bytes += payload.At(0, row).length + payload.At(1, row).length;
    }
    std::printf("%s (%d rows): set content + measure %.1f ms, ten previews %.1f ms, export + pack %.1f ms "
                "per ten rows (%lld bytes, width of row 0: %d dots)\n",
                modelName, model.rows, setContent / 1e6 / kRounds, preview / 1e6 / kRounds, prepare / 1e6 / kRounds,
                static_cast<long long>(bytes / kRounds), images[0].contentWidth);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir temp;
    QString data = QStringLiteral(VEXA_BIN_DIR "/Data");
    if (!QFileInfo(data + QStringLiteral("/Gif")).isDir()) {
        data = temp.path() + QStringLiteral("/Data");
        QElapsedTimer make;
        make.start();
        MakeFixtureTree(data);
        std::printf("no generated Data tree: made a fixture tree in %.0f ms\n", make.nsecsElapsed() / 1e6);
    }
    GlyphLibrary library;
    QElapsedTimer timer;
    timer.start();
    const int loaded = library.Load(data);
    std::printf("glyph library: %d bitmaps loaded from %s in %.1f ms\n", loaded, qPrintable(data),
                timer.nsecsElapsed() / 1e6);
    BenchSend("P30", library, temp.path() + QStringLiteral("/Image"));
    BenchSend("P13", library, temp.path() + QStringLiteral("/Image"));
    return 0;
}
