#include "render/GlyphLibrary.h"
#include "render/TextRasteriser.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;

namespace {

CharFormat Format(int points, QRgb colour = 0xFFFF0000, bool bold = false) {
    CharFormat f;
    f.face = QStringLiteral("Arial");
    f.sizeTwips = points * 20;
    f.colour = colour;
    f.bold = bold;
    return f;
}

QImage Raster(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(TextRasteriser::Dark);
    return image;
}

bool Lit(const QImage& image, int x, int y) {
    return image.pixel(x, y) != TextRasteriser::Dark;
}

// Rows [first, last] that hold a lit pixel; {-1, -1} when dark.
QPair<int, int> LitRows(const QImage& image) {
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (Lit(image, x, y)) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

int LitCount(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += Lit(image, x, y) ? 1 : 0;
    return n;
}

RunLayout Layout(int rows, int pageWidth = 0, int pagePitch = 0) {
    RunLayout layout;
    layout.rows = rows;
    layout.pageWidth = pageWidth;
    layout.pagePitch = pagePitch;
    layout.visibleWidth = 100000;
    return layout;
}

TextRunList Runs(const QString& text, int points, QRgb colour = 0xFFFF0000) {
    RichText rich;
    rich.Append(text, Format(points, colour));
    return TextRasteriser::BuildRuns(rich);
}

} // namespace

class TestTextRasteriser : public QObject {
    Q_OBJECT

private slots:
    void buildRunsSplitsOnFormatAndTokens() {
        RichText rich;
        rich.Append(QStringLiteral("Ab"), Format(12));
        rich.Append(QStringLiteral("\r"), Format(12));
        rich.Append(QStringLiteral("c[GIF_004]d"), Format(12));
        rich.Append(QStringLiteral("EF  \r"), Format(16, 0xFF00FF00, true));
        const TextRunList runs = TextRasteriser::BuildRuns(rich);
        QCOMPARE(runs.size(), 4);
        QCOMPARE(runs[0].text, QStringLiteral("Abc")); // the paragraph end is skipped
        QCOMPARE(runs[1].text, QStringLiteral("[GIF_004]"));
        QCOMPARE(runs[2].text, QStringLiteral("d"));
        QCOMPARE(runs[3].text, QStringLiteral("EF")); // trailing white space of the last run
        QCOMPARE(runs[3].size, 16);
        QCOMPARE(runs[3].bold, 1);
        QCOMPARE(runs[3].colour, QRgb(0xFF00FF00));
        QCOMPARE(runs[0].size, 12);
        QCOMPARE(runs[0].bold, 0);
    }

    void buildRunsKeepsNonTokenBrackets() {
        RichText rich;
        rich.Append(QStringLiteral("[GIF_7]x"), Format(12));
        const TextRunList runs = TextRasteriser::BuildRuns(rich);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].text, QStringLiteral("[GIF_7]x"));
    }

    void buildRunsSizeIsWholePointsAndFaceIsCut() {
        RichText rich;
        CharFormat f = Format(12);
        f.sizeTwips = 259; // 12.95 pt
        f.face = QString(40, u'F');
        rich.Append(QStringLiteral("x"), f);
        const TextRunList runs = TextRasteriser::BuildRuns(rich);
        QCOMPARE(runs[0].size, 12);
        QCOMPARE(runs[0].faceName.size(), 31);
    }

    void sizeTwelveRunFillsTwelveRows() {
        // A taller raster shows that nothing of the cell is drawn below row 11.
        QImage tall = Raster(200, 24);
        TextRasteriser::DrawRuns(tall, Runs(QStringLiteral("HgjÉ|"), 12), Layout(12), true, 0, nullptr);
        const auto rows = LitRows(tall);
        QVERIFY(rows.first >= 0);
        QVERIFY2(rows.second <= 11, qPrintable(QString::number(rows.second)));
        QVERIFY(rows.second >= 10); // descenders reach into the last rows of the cell

        // The baseline sits at cell - descent: capital H ends on row 9 for Arial 12.
        QImage h = Raster(40, 12);
        TextRasteriser::DrawRuns(h, Runs(QStringLiteral("H"), 12), Layout(12), true, 0, nullptr);
        const auto hRows = LitRows(h);
        QCOMPARE(hRows.second, 9);
        QVERIFY(hRows.first >= 1 && hRows.first <= 3);
    }

    void sixteenPointCellOnSixteenRows() {
        QImage image = Raster(200, 32);
        TextRasteriser::DrawRuns(image, Runs(QStringLiteral("Hgjy|"), 16), Layout(16), true, 0, nullptr);
        const auto rows = LitRows(image);
        QVERIFY(rows.second <= 15 && rows.second >= 13);
    }

    void textIsCrispDots() {
        QImage image = Raster(200, 12);
        TextRasteriser::DrawRuns(image, Runs(QStringLiteral("Hello 12"), 12, 0xFF00FF00), Layout(12), true, 0,
                                 nullptr);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(image.pixel(x, y) == TextRasteriser::Dark ||
                        image.pixel(x, y) == TextRasteriser::Green);
    }

    void boldIsWiderThanRegular() {
        QImage a = Raster(300, 12), b = Raster(300, 12);
        RichText bold;
        bold.Append(QStringLiteral("Message"), Format(12, 0xFFFF0000, true));
        const int regularWidth =
            TextRasteriser::DrawRuns(a, Runs(QStringLiteral("Message"), 12), Layout(12), true, 0, nullptr);
        const int boldWidth =
            TextRasteriser::DrawRuns(b, TextRasteriser::BuildRuns(bold), Layout(12), true, 0, nullptr);
        QVERIFY(boldWidth > regularWidth);
        QVERIFY(LitCount(b) > LitCount(a));
    }

    void colourBandsByRow_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<QList<QRgb>>("bandOfRow");
        const QRgb R = TextRasteriser::Red, G = TextRasteriser::Green, Y = TextRasteriser::Yellow;
        QTest::newRow("12 rows FF9600")
            << 12 << QRgb(0xFFFF9600) << QList<QRgb>{R, R, R, R, Y, Y, Y, Y, G, G, G, G};
        QTest::newRow("16 rows 00FFFF")
            << 16 << QRgb(0xFF00FFFF) << QList<QRgb>{R, R, R, R, R, G, G, G, G, G, Y, Y, Y, Y, Y, Y};
        QTest::newRow("7 rows A0E900") << 7 << QRgb(0xFFA0E900) << QList<QRgb>{Y, Y, G, G, R, R, R};
    }

    void colourBandsByRow() {
        QFETCH(int, rows);
        QFETCH(QRgb, colour);
        QFETCH(QList<QRgb>, bandOfRow);
        QImage image = Raster(300, rows);
        // Seven-dot outline text hardly reaches the top rows; a larger cell is clipped below.
        const int points = rows == 7 ? 10 : rows;
        TextRasteriser::DrawRuns(image, Runs(QStringLiteral("|||HgjÉ|||"), points, colour), Layout(rows),
                                 true, 0, nullptr);
        QSet<int> bandsSeen;
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (!Lit(image, x, y))
                    continue;
                QCOMPARE(image.pixel(x, y), bandOfRow[y]);
                bandsSeen.insert(TextRasteriser::BandOfRow(y, rows));
            }
        }
        QCOMPARE(bandsSeen.size(), 3);
    }

    void singleColoursAreLeftAsDrawn() {
        QImage image = Raster(100, 12);
        TextRasteriser::DrawRuns(image, Runs(QStringLiteral("Hg"), 12, 0xFF123456), Layout(12), true, 0,
                                 nullptr);
        QVERIFY(LitCount(image) > 0);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 100; ++x)
                QVERIFY(!Lit(image, x, y) || image.pixel(x, y) == 0xFF123456);
        QVERIFY(!TextRasteriser::IsBanded(0xFFFF0000));
        QVERIFY(TextRasteriser::IsBanded(0xFFFF9600));
    }

    // A banded run drawn in batches comes out as its characters drawn one by one, each
    // recoloured before the next is drawn: italic characters reach back over their
    // neighbours, and where they do they keep their own blend.
    void bandedBatchesMatchCharactersDrawnOneByOne() {
        RichText rich;
        CharFormat italic = Format(12, 0xFFFF9600);
        italic.italic = true;
        rich.Append(QStringLiteral("fjyffjj Tjf/Wjy").repeated(6), italic); // many batches
        const TextRunList run = TextRasteriser::BuildRuns(rich);
        QCOMPARE(run.size(), 1);
        TextRunList characters;
        for (const QChar c : run[0].text) {
            TextRun one = run[0];
            one.text = QString(c);
            characters.append(one);
        }
        const RunLayout layout = Layout(12, 33, 40);
        QImage together = Raster(1200, 12);
        QImage apart = Raster(1200, 12);
        QCOMPARE(TextRasteriser::DrawRuns(together, run, layout, true, 0, nullptr),
                 TextRasteriser::DrawRuns(apart, characters, layout, true, 0, nullptr));
        QVERIFY(LitCount(together) > 0);
        QCOMPARE(together, apart);
    }

    void bandLimits() {
        QCOMPARE(TextRasteriser::BandOfRow(1, 7), 0);
        QCOMPARE(TextRasteriser::BandOfRow(2, 7), 1);
        QCOMPARE(TextRasteriser::BandOfRow(4, 7), 2);
        QCOMPARE(TextRasteriser::BandOfRow(4, 16), 0);
        QCOMPARE(TextRasteriser::BandOfRow(5, 16), 1);
        QCOMPARE(TextRasteriser::BandOfRow(10, 16), 2);
    }

    void yOffsetShiftsTextButNotBands() {
        QImage plain = Raster(300, 12), shifted = Raster(300, 12);
        RunLayout up = Layout(12);
        up.yOffset = -2;
        const TextRunList runs = Runs(QStringLiteral("|HgjÉ|"), 12, 0xFFFF9600);
        TextRasteriser::DrawRuns(plain, runs, Layout(12), true, 0, nullptr);
        TextRasteriser::DrawRuns(shifted, runs, up, true, 0, nullptr);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 300; ++x) {
                QCOMPARE(Lit(shifted, x, y), Lit(plain, x, y + 2));
                if (Lit(shifted, x, y)) // the colour follows the row, not the text
                    QCOMPARE(shifted.pixel(x, y), TextRasteriser::ColourBands(
                                                      0xFFFF9600)[size_t(TextRasteriser::BandOfRow(y, 12))]);
            }
        }
    }

    void animationRunsUseTheLibraryAndYOffset() {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + QStringLiteral("/Gif/12"));
        for (int f = 0; f < 2; ++f) {
            QImage frame(5, 12, QImage::Format_RGB32);
            frame.fill(Qt::black);
            frame.setPixel(f, 4, qRgb(0, 255, 0)); // frame 0 lights column 0, frame 1 column 1
            QVERIFY(frame.save(GlyphLibrary::AnimationPath(dir.path(), 12, 3, f), "BMP"));
        }
        GlyphLibrary library;
        library.Load(dir.path());
        RichText rich;
        rich.Append(QStringLiteral("[GIF_003][GIF_009]"), Format(12));
        const TextRunList runs = TextRasteriser::BuildRuns(rich);
        RunLayout layout = Layout(12);
        layout.library = &library;
        layout.yOffset = -2;
        QImage image = Raster(20, 12);
        int animated = 0;
        const int width = TextRasteriser::DrawRuns(image, runs, layout, true, 1, &animated);
        QCOMPARE(animated, 1);
        QCOMPARE(width, 5); // the missing animation 9 takes no width
        QCOMPARE(LitCount(image), 1);
        QVERIFY(Lit(image, 1, 2)); // frame 1, two rows up
    }

    void previewSkipsBeyondVisibleWidthButMeasuresAll() {
        RichText rich;
        rich.Append(QStringLiteral("AB"), Format(12, 0xFFFF0000));
        rich.Append(QStringLiteral("CDEFGH"), Format(12, 0xFF00FF00));
        const TextRunList runs = TextRasteriser::BuildRuns(rich);
        QImage all = Raster(300, 12), preview = Raster(300, 12);
        const int fullWidth = TextRasteriser::DrawRuns(all, runs, Layout(12), true, 0, nullptr);
        RunLayout visible = Layout(12);
        visible.visibleWidth = 3;
        const int previewWidth = TextRasteriser::DrawRuns(preview, runs, visible, false, 0, nullptr);
        QCOMPARE(previewWidth, fullWidth);
        bool greenInExport = false;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 300; ++x) {
                QVERIFY(preview.pixel(x, y) != TextRasteriser::Green); // the second run starts beyond
                greenInExport |= all.pixel(x, y) == TextRasteriser::Green;
            }
        }
        QVERIFY(greenInExport);
    }

    void pageAlignmentSixteenRows() {
        // 7 dots wide at 60 would cover 60..66 across the boundary at 64: moved to 64.
        QCOMPARE(TextRasteriser::AlignToPage16(60, 7, 64), 64.0);
        QCOMPARE(TextRasteriser::AlignToPage16(57, 7, 64), 57.0); // ends at column 63
        QCOMPARE(TextRasteriser::AlignToPage16(60.5, 7, 64), 64.0);
        QCOMPARE(TextRasteriser::AlignToPage16(60, 7, 0), 60.0); // no page geometry
    }

    void pageAlignmentTwelveRows() {
        auto step = TextRasteriser::AlignToPageTwelve(0, 6, 33, 40);
        QCOMPARE(step.advance, 5.0); // wide characters lose a column on 33-column pages
        step = TextRasteriser::AlignToPageTwelve(30, 5, 33, 40);
        QCOMPARE(step.x, 40.0); // would end at 35 > 33: next page
        step = TextRasteriser::AlignToPageTwelve(28, 5, 33, 40);
        QCOMPARE(step.x, 28.0); // ends at 33, still visible
        step = TextRasteriser::AlignToPageTwelve(10, 6, 48, 48);
        QCOMPARE(step.advance, 6.0); // 48 is a multiple of 12
        QCOMPARE(step.x, 10.0);
        step = TextRasteriser::AlignToPageTwelve(45, 6, 48, 48);
        QCOMPARE(step.x, 48.0); // last column 50 on the next page
    }

    void layoutsByModel() {
        QCOMPARE(TextRasteriser::LayoutFor(Layout(16, 0, 0)), TextRasteriser::Layout::PerCharacterPages16);
        QCOMPARE(TextRasteriser::LayoutFor(Layout(12, 33, 40)), TextRasteriser::Layout::PagedTwelve);
        QCOMPARE(TextRasteriser::LayoutFor(Layout(12, 0, 0)), TextRasteriser::Layout::WholeRuns);
        QCOMPARE(TextRasteriser::LayoutFor(Layout(7, 64, 0)), TextRasteriser::Layout::WholeRuns);
        // Page width without a pitch: drawn whole instead of dividing by zero.
        QCOMPARE(TextRasteriser::LayoutFor(Layout(12, 64, 0)), TextRasteriser::Layout::WholeRuns);
    }

    void pagedDrawingKeepsCharactersOffBoundaries() {
        // Sixteen rows, 64-column pages: no character may straddle column 63/64.
        const TextRunList runs = Runs(QString(40, u'W'), 16);
        RunLayout aligned = Layout(16, 64, 64);
        QImage image = Raster(600, 16);
        const int alignedWidth = TextRasteriser::DrawRuns(image, runs, aligned, true, 0, nullptr);
        RunLayout rightToLeft = aligned;
        rightToLeft.arabic = true;
        QImage whole = Raster(600, 16);
        const int wholeWidth = TextRasteriser::DrawRuns(whole, runs, rightToLeft, true, 0, nullptr);
        QVERIFY(alignedWidth > wholeWidth); // characters were moved to page starts
        // Every page boundary has a dark gap: the last column before it or the first on it
        // belongs to no character that crosses it.
        for (int boundary = 64; boundary < alignedWidth; boundary += 64) {
            bool crosses = false;
            for (int y = 0; y < 16; ++y)
                crosses |= Lit(image, boundary - 1, y) && Lit(image, boundary, y);
            QVERIFY2(!crosses, qPrintable(QString::number(boundary)));
        }
        // Twelve rows, 33 of 40 columns: columns 33..39 of each page stay dark.
        QImage twelve = Raster(800, 12);
        const int width12 = TextRasteriser::DrawRuns(twelve, Runs(QString(40, u'M'), 12), Layout(12, 33, 40),
                                                     true, 0, nullptr);
        QVERIFY(width12 > 40);
        for (int x = 0; x < std::min(width12, 800); ++x) {
            if (x % 40 < 34)
                continue;
            for (int y = 0; y < 12; ++y)
                QVERIFY2(!Lit(twelve, x, y), qPrintable(QStringLiteral("column %1").arg(x)));
        }
    }

    void dateString() {
        const QDateTime sunday(QDate(2015, 7, 5), QTime(8, 4, 9));
        QCOMPARE(TextRasteriser::DateString(QStringLiteral("111111"), sunday),
                 QStringLiteral("2015-07-05 星期天 08:04:09"));
        const QDateTime may(QDate(2015, 5, 5), QTime(23, 59, 1));
        QCOMPARE(TextRasteriser::DateString(QStringLiteral("101000"), may), QStringLiteral("2015-05"));
        QCOMPARE(TextRasteriser::DateString(QStringLiteral("011000"), may), QStringLiteral("05-05"));
        QCOMPARE(TextRasteriser::DateString(QStringLiteral("000011"), may), QStringLiteral("23:59:01"));
        QCOMPARE(TextRasteriser::DateString(QStringLiteral("000001"), may),
                 QString()); // seconds need the time
        QCOMPARE(
            TextRasteriser::DateString(QStringLiteral("0001"), QDateTime(QDate(2015, 7, 6), QTime(0, 0))),
            QStringLiteral(" 星期一 "));
        QCOMPARE(TextRasteriser::DateString(QStringLiteral("1x"), may),
                 QStringLiteral("2015")); // non-digits are 0
        QCOMPARE(TextRasteriser::DateString(QStringLiteral("0001"), QDateTime()), QStringLiteral(" 未知 "));
    }

    void clockIsRedTextFromTheTop() {
        QImage image = Raster(200, 16);
        TextRasteriser::DrawClock(image, 10, QStringLiteral("12:34"));
        int minX = 1000;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 200; ++x)
                if (Lit(image, x, y)) {
                    QCOMPARE(image.pixel(x, y), TextRasteriser::Red);
                    minX = std::min(minX, x);
                }
        QVERIFY(minX >= 10 && minX < 14);
        QVERIFY(LitRows(image).second < 13);
    }
};

QTEST_MAIN(TestTextRasteriser)
#include "tst_textrasteriser.moc"
