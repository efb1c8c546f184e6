#include "render/GlyphLibrary.h"
#include "render/GlyphTextRenderer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;

namespace {

// A glyph of width w whose pixel (0, 0) carries a marker colour.
void WriteGlyph(const QString& path, int width, int height, QRgb marker) {
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setPixel(0, 0, marker);
    QVERIFY(image.save(path, "BMP"));
}

QImage Raster(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(0xFF000000);
    return image;
}

} // namespace

class TestGlyphLibrary : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString data;
    GlyphLibrary library;

private slots:
    void initTestCase() {
        data = dir.path() + QStringLiteral("/Data");
        const QString ascii = data + QStringLiteral("/ASCII");
        // Font 0 glyph 65 in the three colours, font 1 glyph 65 red, font 0 green glyph 6.
        WriteGlyph(ascii + QStringLiteral("/allAscii/Font0/Color0/65.bmp"), 6, 7, qRgb(255, 0, 0));
        WriteGlyph(ascii + QStringLiteral("/allAscii/Font0/Color1/65.bmp"), 6, 7, qRgb(0, 255, 0));
        WriteGlyph(ascii + QStringLiteral("/allAscii/Font0/Color2/65.bmp"), 6, 7, qRgb(255, 255, 0));
        WriteGlyph(ascii + QStringLiteral("/allAscii/Font1/Color0/65.bmp"), 9, 7, qRgb(255, 0, 1));
        WriteGlyph(ascii + QStringLiteral("/allAscii/Font0/Color1/6.bmp"), 4, 7, qRgb(0, 255, 6));
        WriteGlyph(ascii + QStringLiteral("/allAscii/Font6/Color2/193.bmp"), 3, 7, qRgb(1, 2, 3));
        WriteGlyph(data + QStringLiteral("/Gif/7/64_1.bmp"), 8, 7, qRgb(0, 255, 0));
        WriteGlyph(data + QStringLiteral("/Gif/12/31_0.bmp"), 12, 12, qRgb(0, 255, 0));
        WriteGlyph(data + QStringLiteral("/Gif/16/32_0.bmp"), 16, 16, qRgb(0, 255, 0)); // beyond the library
        WriteGlyph(data + QStringLiteral("/Gif/12/2_0.bmp"), 10, 12, qRgb(255, 0, 0));
        WriteGlyph(data + QStringLiteral("/Gif/12/2_1.bmp"), 10, 12, qRgb(0, 255, 0));
        WriteGlyph(ascii + QStringLiteral("/65.bmp"), 6, 7, qRgb(255, 0, 0));
        WriteGlyph(ascii + QStringLiteral("/66.bmp"), 5, 7, qRgb(255, 0, 0));
        WriteGlyph(ascii + QStringLiteral("/32.bmp"), 3, 7, qRgb(0, 0, 0));
        QCOMPARE(library.Load(data), 10);
    }

    void glyphCodeSelectsFontColourAndGlyph_data() {
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QRgb>("marker"); // 0: no glyph
        QTest::newRow("65 red font 0") << quint32(65) << qRgb(255, 0, 0);
        QTest::newRow("65 green") << quint32(65 + 2048) << qRgb(0, 255, 0);
        QTest::newRow("65 yellow") << quint32(65 + 4096) << qRgb(255, 255, 0);
        QTest::newRow("65 font 1") << quint32(65 + 8192) << qRgb(255, 0, 1);
        QTest::newRow("index 200 has no glyph") << quint32(200) << QRgb(0);
        QTest::newRow("last entry") << quint32(6 * 8192 + 2 * 2048 + 193) << qRgb(1, 2, 3);
        QTest::newRow("entry 4074") << quint32(6 * 8192 + 2 * 2048 + 194) << QRgb(0);
        QTest::newRow("font 7") << quint32(7 * 8192) << QRgb(0);
        QTest::newRow("all bits") << quint32(0xFFFFFFFF) << QRgb(0);
        QTest::newRow("missing file") << quint32(66) << QRgb(0);
    }

    void glyphCodeSelectsFontColourAndGlyph() {
        QFETCH(quint32, code);
        QFETCH(QRgb, marker);
        const QImage* glyph = library.GlyphOfCode(code);
        if (marker == 0) {
            QVERIFY(!glyph);
            return;
        }
        QVERIFY(glyph);
        QCOMPARE(glyph->pixel(0, 0), marker | 0xFF000000);
    }

    void entryNumbersAreUnsigned() {
        QCOMPARE(GlyphLibrary::EntryOfCode(200), quint64(200));
        QCOMPARE(GlyphLibrary::EntryOfCode(0xFFFFFFFF), quint64(582) * 0x7FFFF + 194 * 3 + 0x7FF);
    }

    void animationFramesByHeight() {
        QVERIFY(library.AnimationFrame(7, 64, 1));
        QVERIFY(!library.AnimationFrame(7, 64, 0)); // missing file
        QVERIFY(!library.AnimationFrame(7, 65, 1));
        QVERIFY(library.AnimationFrame(12, 31, 0));
        QVERIFY(!library.AnimationFrame(16, 32, 0)); // only 0..31 are loaded for 16 rows
        QVERIFY(!library.AnimationFrame(8, 2, 0));
        QVERIFY(!library.AnimationFrame(12, -1, 0));
        QVERIFY(!library.AnimationFrame(12, 2, 2));
    }

    void openReadsEachFolderAtItsFirstUse() {
        GlyphLibrary lazy;
        lazy.Open(data);
        QVERIFY(lazy.IsLoaded());
        QCOMPARE(lazy.LoadedCount(), 0);
        QVERIFY(lazy.AnimationFrame(12, 31, 0));
        QCOMPARE(lazy.LoadedCount(), 3); // the 12-row animations 31_0, 2_0, 2_1
        QCOMPARE(lazy.GlyphOfCode(65 + 2048)->pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(lazy.LoadedCount(), 5); // and font 0 green: glyphs 65 and 6
        QVERIFY(!lazy.GlyphOfCode(66));  // a missing file in a folder read now
        QCOMPARE(lazy.LoadedCount(), 6);
        QVERIFY(!lazy.AnimationFrame(7, 64, 0));
        QVERIFY(lazy.AnimationFrame(7, 64, 1));
    }

    void asciiFolderIsFoundWhateverItsCase() {
        QTemporaryDir other;
        WriteGlyph(other.path() + QStringLiteral("/Ascii/allAscii/Font0/Color0/65.bmp"), 6, 7,
                   qRgb(255, 0, 0));
        GlyphLibrary lower;
        QCOMPARE(lower.Load(other.path()), 1);
        QVERIFY(lower.GlyphOfCode(65));
    }

    void bitmapFontFrameLists() {
        GlyphFrameLists lists = GlyphTextRenderer::BuildFrameLists(QStringLiteral("AB"), 12, data);
        QCOMPARE(lists.width, 11);
        QCOMPARE(lists.lists[0], lists.lists[1]);
        QVERIFY(!lists.animated);

        // A character without a glyph file shows the space glyph in both frames.
        lists = GlyphTextRenderer::BuildFrameLists(QStringLiteral("AZ"), 12, data);
        QCOMPARE(lists.lists[0][1], GlyphLibrary::AsciiGlyphPath(data, 32));
        QCOMPARE(lists.lists[1][1], GlyphLibrary::AsciiGlyphPath(data, 32));
        QCOMPARE(lists.width, 9);

        lists = GlyphTextRenderer::BuildFrameLists(QStringLiteral("[GIF_002]A"), 12, data);
        QVERIFY(lists.animated);
        QCOMPARE(lists.lists[0][0], data + QStringLiteral("/Gif/12/2_0.bmp"));
        QCOMPARE(lists.lists[1][0], data + QStringLiteral("/Gif/12/2_1.bmp"));
        QCOMPARE(lists.width, 16);

        // "[GIF_7]" is no token: seven ordinary characters (all missing: spaces).
        lists = GlyphTextRenderer::BuildFrameLists(QStringLiteral("[GIF_7]"), 12, data);
        QCOMPARE(lists.lists[0].size(), 7);
        QVERIFY(!lists.animated);
    }

    void missingSpaceTakesNoWidth() {
        QTemporaryDir empty;
        const GlyphFrameLists lists =
            GlyphTextRenderer::BuildFrameLists(QStringLiteral("AB"), 7, empty.path());
        QCOMPARE(lists.width, 0);
        QImage raster = Raster(20, 7);
        QCOMPARE(GlyphTextRenderer::DrawGlyphText(raster, lists.lists[0], true, 20), 0);
    }

    void drawGlyphTextPlacesGlyphsSideBySide() {
        const GlyphFrameLists lists =
            GlyphTextRenderer::BuildFrameLists(QStringLiteral("[GIF_002]AB"), 12, data);
        QImage frame1 = Raster(40, 12);
        QCOMPARE(GlyphTextRenderer::DrawGlyphText(frame1, lists.lists[1], true, 40), 21);
        QCOMPARE(frame1.pixel(0, 0), 0xFF00FF00);  // frame 1 of the animation
        QCOMPARE(frame1.pixel(10, 0), 0xFFFF0000); // "A" right after it
        QCOMPARE(frame1.pixel(16, 0), 0xFFFF0000); // "B"
        QImage preview = Raster(40, 12);
        QCOMPARE(GlyphTextRenderer::DrawGlyphText(preview, lists.lists[0], false, 12), 21);
        QCOMPARE(preview.pixel(16, 0), 0xFF000000u); // starts beyond the visible width
        QCOMPARE(preview.pixel(10, 0), 0xFFFF0000);
    }

    void drawGlyphCodesSkipsMissingGlyphs() {
        QImage raster = Raster(40, 7);
        const QList<quint32> codes = {65, 66, 65 + 2048, 200, 99999};
        QCOMPARE(GlyphTextRenderer::DrawGlyphCodes(raster, codes, &library, true, 40), 12);
        QCOMPARE(raster.pixel(0, 0), 0xFFFF0000);
        QCOMPARE(raster.pixel(6, 0), 0xFF00FF00);
        QCOMPARE(raster.pixel(12, 0), Raster(1, 1).pixel(0, 0)); // index 200 draws nothing
        QCOMPARE(GlyphTextRenderer::DrawGlyphCodes(raster, codes, nullptr, true, 40), 0);
    }

    void oversizedAndBrokenFilesAreEmpty() {
        QTemporaryDir other;
        const QString big = GlyphLibrary::AnimationPath(other.path(), 16, 0, 0);
        WriteGlyph(big, GlyphLibrary::MaxGlyphSide + 1, 2, qRgb(0, 255, 0));
        const QString broken = GlyphLibrary::AnimationPath(other.path(), 16, 1, 0);
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BM\x10\x00\x00\x00garbage");
        file.close();
        GlyphLibrary lib;
        QCOMPARE(lib.Load(other.path()), 0);
        QVERIFY(!lib.AnimationFrame(16, 0, 0));
        QVERIFY(!lib.AnimationFrame(16, 1, 0));
    }
};

QTEST_MAIN(TestGlyphLibrary)
#include "tst_glyphlibrary.moc"
