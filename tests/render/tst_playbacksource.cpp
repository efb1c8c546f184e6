// What the playback is given: the pages of a long row are the windows the page alignment
// lays characters into, the columns match what the packing carries, and the operator is
// told what the model's signs never receive.
#include "core/ModelCatalogue.h"
#include "render/MessageImage.h"
#include "render/PlaybackSource.h"
#include "store/CMessageTable.h"

#include <QTest>

using namespace vexa;

namespace {

const DisplayModel& Model(const char* name) {
    return *ModelCatalogue::Find(QString::fromLatin1(name));
}

QString Rtf(int halfPoints, const QString& text) {
    return QStringLiteral(
               "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
               "\\pard\\cf1\\f0\\fs%1 %2\\par}")
        .arg(halfPoints)
        .arg(text);
}

int LitDots(const QImage& image, int rows) {
    int lit = 0;
    for (int y = 0; y < std::min(rows, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += image.pixel(x, y) != SignColours::OpaqueBlack ? 1 : 0;
    return lit;
}

} // namespace

class TestPlaybackSource : public QObject {
    Q_OBJECT
private slots:
    // On a P13 a page shows 33 of every 40 columns. The pages played are those windows,
    // and with page alignment (almost) no lit dot of "Platform" falls between them; without
    // it whole strokes do, which is what the page marks on the previews show.
    void pagesAreTheWindowsThePageAlignmentFills() {
        const DisplayModel& model = Model("P13");
        CMessageTable table;
        table.kind[0] = CMessageTable::KindText;
        table.effect[0] = 4; // Fix
        int hidden[2] = {};
        for (const bool align : {true, false}) {
            MessageImage image;
            image.rows = model.rows;
            image.pageWidth = model.pageWidth;
            image.pagePitch = model.pagePitch;
            image.SetPageAlign(align);
            image.SetContent(Rtf(24, QStringLiteral("Platform Platform Platform Platform")));
            const PlaybackProgramme programme =
                PlaybackSource::RowProgramme(image, table, 0, model, SignGeometry::For(model, 0));
            QCOMPARE(programme.Sign().columns, 33);
            int shown = 0;
            for (int step = 0; step < programme.StepCount(); ++step) {
                QCOMPARE(programme.Steps()[size_t(step)].page, step);
                shown += LitDots(programme.Frame(step), model.rows);
            }
            const QImage exported = image.RenderExportFrame(0);
            QCOMPARE(programme.StepCount(),
                     (PlaybackSource::ReceivedColumns(model, exported.width(), false) + 39) / 40);
            int visible = 0;
            for (int y = 0; y < model.rows; ++y)
                for (int x = 0; x < exported.width(); ++x)
                    visible += exported.pixel(x, y) != SignColours::OpaqueBlack && x % 40 < 33 ? 1 : 0;
            QCOMPARE(shown, visible);
            hidden[align ? 0 : 1] = LitDots(exported, model.rows) - visible;
        }
        QVERIFY2(
            hidden[0] <= model.rows && hidden[1] > 3 * model.rows,
            qPrintable(
                QStringLiteral("hidden dots: aligned %1, not aligned %2").arg(hidden[0]).arg(hidden[1])));
    }

    void receivedColumnsFollowThePacking() {
        QCOMPARE(PlaybackSource::ReceivedColumns(Model("P01"), 37, false), 40);   // whole bytes
        QCOMPARE(PlaybackSource::ReceivedColumns(Model("P30"), 100, false), 128); // whole pages
        QCOMPARE(PlaybackSource::ReceivedColumns(Model("P30"), 100, true), 192);  // and a date's blank page
        QCOMPARE(PlaybackSource::ReceivedColumns(Model("P27"), 90, false),
                 2 * 96); // 384-byte pages in 256-byte blocks
        QCOMPARE(PlaybackSource::ReceivedColumns(Model("P04"), 37, false), 37); // character codes
    }

    void notesNameWhatSignsNeverReceive() {
        CMessageTable table;
        table.kind[3] = CMessageTable::KindText;
        table.holdTime[3] = 2;
        table.blink[3] = 1;
        MessageImage image;
        image.rows = 7;
        image.SetContent(Rtf(14, QStringLiteral("Hi")));
        const DisplayModel& p01 = Model("P01");
        const PlaybackProgramme programme =
            PlaybackSource::RowProgramme(image, table, 3, p01, SignGeometry::For(p01, 0));
        QVERIFY(!programme.IsEmpty());
        QCOMPARE(PlaybackSource::Notes(p01, table, programme, nullptr, 1),
                 QStringList{
                     QStringLiteral("Row 4: these signs do not receive the display time; it plays as 0s.")});
    }
};

QTEST_MAIN(TestPlaybackSource)
#include "tst_playbacksource.moc"
