#include "render/BmpWriter.h"
#include "render/GlyphLibrary.h"
#include "render/MessageImage.h"
#include "render/RenderLog.h"
#include "render/TextRasteriser.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cstdio>
#include <sys/stat.h>

using namespace vexa;

namespace {

const QString kRtfRed = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green255\\blue0;}\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 "
    "%1\\par}");

QString Rtf(const QString& body) {
    return kRtfRed.arg(body);
}

bool Lit(const QImage& image, int x, int y) {
    return (image.pixel(x, y) & 0x00FFFFFF) != 0;
}

int FirstLitColumn(const QImage& image) {
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (Lit(image, x, y))
                return x;
    return -1;
}

bool ColumnLit(const QImage& image, int x) {
    for (int y = 0; y < image.height(); ++y)
        if (Lit(image, x, y))
            return true;
    return false;
}

void WriteImage(const QString& path, int width, int height, QRgb colour) {
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

} // namespace

class TestMessageImage : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    MessageImage Make(int rows, int controlId = 20060) {
        MessageImage image;
        image.rows = rows;
        image.controlId = controlId;
        image.imageDir = dir.path() + QStringLiteral("/Image");
        image.dataDir = dir.path() + QStringLiteral("/Data");
        return image;
    }

private slots:
    void stillRtfExportsFrameZeroOnly() {
        MessageImage image = Make(12);
        image.SetContent(Rtf(QStringLiteral("Hi")));
        QCOMPARE(image.Kind(), ContentKind::Rtf);
        QCOMPARE(image.runList.size(), 1);
        QCOMPARE(image.runList[0].size, 12);
        QCOMPARE(image.ExportFrame(1), QString());
        const QString path = image.ExportFrame(0);
        QVERIFY(path.endsWith(QStringLiteral("/Image/20060_0.bmp")));
        const QImage exported(path);
        QCOMPARE(exported.height(), 12);
        QVERIFY(exported.width() > 4 && exported.width() <= image.contentWidth);
        QVERIFY(ColumnLit(exported, exported.width() - 1)); // cut at the last lit column

        MessageImage unplaced;
        unplaced.SetContent(Rtf(QStringLiteral("Hi")));
        QCOMPARE(unplaced.ExportFrame(0), QString()); // no folder given: nothing is written
    }

    void exportHeightAndLeadingSpaces() {
        MessageImage image = Make(7, 20063);
        image.exportHeight = 12;
        image.SetContent(Rtf(QStringLiteral("   I")));
        const QImage exported(image.ExportFrame(0));
        QCOMPARE(exported.height(), 12);
        QVERIFY(FirstLitColumn(exported) >= 6); // the leading dark columns stay
        QVERIFY(QFileInfo::exists(image.imageDir + QStringLiteral("/20063_0.bmp")));
    }

    void allDarkKeepsItsMeasuredWidth() {
        MessageImage image = Make(12);
        // Spaces in a run that is not the last one survive the trimming of trailing spaces.
        image.SetContent(Rtf(QStringLiteral("    \\cf2  ")));
        QVERIFY(image.contentWidth > 0);
        const QImage exported(image.ExportFrame(0));
        QCOMPARE(exported.width(), image.contentWidth);
        QCOMPARE(FirstLitColumn(exported), -1);
    }

    // An unchanged export is not written again, but a file replaced or removed behind the
    // image's back since its last export is.
    void reExportRestoresAFileChangedSince() {
        MessageImage image = Make(12, 20071);
        image.SetContent(Rtf(QStringLiteral("Same")));
        const QString path = image.ExportFrame(0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray exported = file.readAll();
        file.close();
        const auto read = [&path] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QCOMPARE(image.ExportFrame(0), path);
        QCOMPARE(read(), exported);
        const QString other = path + QStringLiteral(".other");
        QFile replacement(other);
        QVERIFY(replacement.open(QIODevice::WriteOnly));
        replacement.write(QByteArray(exported.size(), 'x')); // same size, other bytes
        replacement.close();
        QVERIFY(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()) == 0);
        QCOMPARE(image.ExportFrame(0), path);
        QCOMPARE(read(), exported);
        QVERIFY(QFile::remove(path));
        QCOMPARE(image.ExportFrame(0), path);
        QCOMPARE(read(), exported);
    }

    void blankContentExportsNothingAndRemovesOldFiles() {
        MessageImage image = Make(12, 20065);
        image.SetContent(Rtf(QStringLiteral("Old")));
        const QString path = image.ExportFrame(0);
        QVERIFY(QFileInfo::exists(path));
        image.SetContent(QStringLiteral("  "));
        QCOMPARE(image.Kind(), ContentKind::Blank);
        QCOMPARE(image.ExportFrame(0), QString());
        QVERIFY(!QFileInfo::exists(path)); // a stale bitmap must not be sent again
        const QImage blank = image.PreviewRaster(QSize(50, 14));
        for (int y = 1; y < 13; ++y)
            for (int x = 1; x < 49; ++x)
                QVERIFY(blank.pixel(x, y) == 0xFF000000u || blank.pixel(x, y) == MessageImage::GridColour);
    }

    void dateExportsItsRtfTextWithoutTheClock() {
        MessageImage image = Make(16, 20061);
        image.clock = [] { return QDateTime(QDate(2015, 7, 5), QTime(8, 4, 9)); };
        image.SetContent(QStringLiteral("[DATE_111111]") + Rtf(QStringLiteral("T")));
        QCOMPARE(image.dateFlags, QStringLiteral("111111"));
        QCOMPARE(image.isRunText, 1);
        MessageImage textOnly = Make(16, 20062);
        textOnly.SetContent(Rtf(QStringLiteral("T")));
        const QImage date(image.ExportFrame(0));
        const QImage text(textOnly.ExportFrame(0));
        QCOMPARE(date.size(), text.size());
        QCOMPARE(date, text);
        QCOMPARE(image.CurrentDateString(), QStringLiteral("2015-07-05 星期天 08:04:09"));
        // The preview shows the clock after the text.
        const QImage preview = image.PreviewRaster(QSize(402, 18));
        int litColumns = 0;
        for (int x = 1; x < 401; ++x)
            litColumns += Lit(preview, x, 9) ? 1 : 0;
        QVERIFY(litColumns > 20);

        image.SetContent(QStringLiteral("[DATE_000011][ASCII]Time:"));
        QCOMPARE(image.isRunText, 0);
        QCOMPARE(image.plainText, QStringLiteral("Time:"));
        QCOMPARE(image.ExportFrame(0), QString());
        image.SetContent(QStringLiteral("[DATE_110000"));
        QCOMPARE(image.dateFlags, QString());
        QCOMPARE(image.ExportFrame(0), QString());
    }

    void parsedStateDoesNotLeakBetweenContents() {
        MessageImage image = Make(7);
        image.SetContent(QStringLiteral("[ASCII]AB  "));
        QCOMPARE(image.GetPlainText(), QStringLiteral("AB"));
        image.SetContent(QStringLiteral("a.bmp;b.png;"));
        QCOMPARE(image.imagePaths, (QStringList{QStringLiteral("a.bmp"), QStringLiteral("b.png")}));
        QCOMPARE(image.GetPlainText(), QString()); // nothing of the previous text is packed
        image.SetContent(QStringLiteral("[DATE_100000]"));
        QVERIFY(image.runList.isEmpty());
        QCOMPARE(image.ExportFrame(0), QString());
        image.SetContent(QStringLiteral("[DASCII]65,,66"));
        QCOMPARE(image.glyphCodes, (QList<quint32>{65, 66}));
        QCOMPARE(image.GetPlainText(), QStringLiteral("65,,66"));
    }

    void imageListDrawsSideBySideAndRejectsHugeImages() {
        MessageImage image = Make(16, 20066);
        const QString a = dir.filePath(QStringLiteral("pics/a.png"));
        const QString b = dir.filePath(QStringLiteral("pics/b.bmp"));
        const QString huge = dir.filePath(QStringLiteral("pics/huge.png"));
        WriteImage(a, 10, 16, qRgb(255, 0, 0));
        WriteImage(b, 7, 20, qRgb(0, 255, 0));
        WriteImage(huge, 20000, 1, qRgb(0, 255, 0));
        image.SetContent(a + u';' + QStringLiteral("missing.png;") + huge + u';' + b +
                         QStringLiteral(";tail"));
        QCOMPARE(image.imagePaths.size(), 4);
        QCOMPARE(image.contentWidth, 17);
        QCOMPARE(image.rejectedImages, QStringList{huge});
        const QImage exported(image.ExportFrame(0));
        QCOMPARE(exported.size(), QSize(17, 16)); // only the top 16 lines of b
        QCOMPARE(exported.pixel(9, 15), 0xFFFF0000);
        QCOMPARE(exported.pixel(10, 15), 0xFF00FF00);
    }

    void animatedBitmapFontTextHasTwoFrames() {
        const QString data = dir.path() + QStringLiteral("/Data");
        WriteImage(data + QStringLiteral("/Gif/16/5_0.bmp"), 4, 16, qRgb(255, 0, 0));
        WriteImage(data + QStringLiteral("/Gif/16/5_1.bmp"), 4, 16, qRgb(0, 255, 0));
        WriteImage(data + QStringLiteral("/ASCII/65.bmp"), 3, 16, qRgb(255, 255, 0));
        MessageImage image = Make(16, 20067);
        image.SetContent(QStringLiteral("[ASCII][GIF_005]A"));
        QCOMPARE(image.animated, 1);
        QCOMPARE(image.contentWidth, 7);
        const QImage f0(image.ExportFrame(0));
        const QImage f1(image.ExportFrame(1));
        QCOMPARE(f0.pixel(0, 0), 0xFFFF0000);
        QCOMPARE(f1.pixel(0, 0), 0xFF00FF00);
        QCOMPARE(f1.pixel(5, 0), 0xFFFFFF00);
        // The owner switches to a 12-row model: the frame lists follow it.
        image.rows = 12;
        QCOMPARE(image.Measure(), 3);
    }

    // Drawing traces stay off unless asked for: `vexa render` once printed a line of glyph
    // numbers on stderr.
    void drawingTracesAreOffByDefault() {
        QVERIFY(!lcRender().isDebugEnabled());
        QVERIFY(lcRender().isWarningEnabled());
    }

    // A named pipe where a glyph should be reads as no glyph, also where only the width of
    // the part beyond the window is taken from the files: drawing goes on.
    void namedPipeForAGlyphIsNoGlyph() {
        QTemporaryDir data;
        WriteImage(data.filePath(QStringLiteral("ASCII/65.bmp")), 3, 16, qRgb(255, 255, 0));
        QCOMPARE(::mkfifo(QFile::encodeName(data.filePath(QStringLiteral("ASCII/79.bmp"))).constData(), 0600),
                 0);
        MessageImage image = Make(16);
        image.dataDir = data.path();
        image.SetContent(QStringLiteral("[ASCII]") + QString(100, u'A') + QStringLiteral("OA"));
        image.PreviewRaster(QSize(100, 34));
        QCOMPARE(image.contentWidth, 303);
    }

    void bmpWriterWritesThirtyTwoBits() {
        QImage source(3, 2, QImage::Format_ARGB32);
        source.fill(0xFF000000);
        source.setPixel(0, 0, 0xFF112233);
        source.setPixel(2, 1, 0xFFFFFF00);
        const QByteArray bytes = BmpWriter::Encode(source);
        QCOMPARE(bytes.size(), 54 + 3 * 2 * 4);
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 2), quint32(bytes.size()));
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 10), quint32(54));
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 18), 3);
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 22), 2);
        QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(32));
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 30), quint32(0));
        // Bottom-up: the first stored line is line 1; B G R A order.
        QCOMPARE(bytes.mid(54 + 8, 4), QByteArray::fromHex("00FFFFFF"));
        QCOMPARE(bytes.mid(54 + 12, 4), QByteArray::fromHex("332211FF"));
        const QString path = dir.filePath(QStringLiteral("w.bmp"));
        QVERIFY(BmpWriter::Write(source, path));
        const QImage back(path);
        QCOMPARE(back.size(), source.size());
        QCOMPARE(back.pixel(0, 0), 0xFF112233);
        QCOMPARE(back.pixel(2, 1), 0xFFFFFF00);
        QVERIFY(!BmpWriter::Write(source, dir.filePath(QStringLiteral("no/such/folder/x.bmp"))));
    }

    void previewBorderDotsAndGrid() {
        MessageImage image = Make(12);
        image.SetContent(Rtf(QStringLiteral("|")));
        const QImage preview = image.PreviewRaster(QSize(122, 26)); // k = 2
        QCOMPARE(preview.size(), QSize(122, 26));
        QCOMPARE(preview.pixel(0, 0), MessageImage::BorderColour);
        QCOMPARE(preview.pixel(121, 25), MessageImage::BorderColour);
        QCOMPARE(preview.pixel(60, 25), MessageImage::BorderColour);
        // Inner raster drawn at k = 2: dot (x, y) covers pixels 1 + 2x .. 2 + 2x; the grid
        // lines at multiples of 2 cover the second pixel row and column of each dot.
        QImage dots(60, 12, QImage::Format_ARGB32_Premultiplied);
        dots.fill(0xFF000000);
        image.DrawContent(dots, true, 0, 60);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 60; ++x)
                QCOMPARE(Lit(preview, 1 + 2 * x, 1 + 2 * y), Lit(dots, x, y));
        bool grid = false;
        for (int x = 1; x < 121; ++x)
            grid |= preview.pixel(x, 4) == MessageImage::GridColour;
        QVERIFY(grid);

        MessageImage sixteen = Make(16);
        sixteen.SetContent(QString());
        const QImage noGrid = sixteen.PreviewRaster(QSize(66, 34));
        for (int y = 1; y < 33; ++y)
            for (int x = 1; x < 65; ++x)
                QCOMPARE(noGrid.pixel(x, y), 0xFF000000u);
    }

    // Every dot of a preview is drawn in the colour the sign lights for it, and the LED
    // colour of a single-colour sign is the operator's choice; the exported bitmap keeps
    // the colours the packer reads.
    void previewShowsTheSignsColours_data() {
        QTest::addColumn<int>("kind"); // PackKind
        QTest::addColumn<int>("led");  // LedColour
        QTest::addColumn<QRgb>("blue");
        QTest::addColumn<QRgb>("red");
        QTest::newRow("2-bit: other colours light yellow")
            << int(PackKind::TwoBitPages) << int(LedColour::Red) << 0xFFFFFF00u << 0xFFFF0000u;
        QTest::newRow("planes: only pure colours light")
            << int(PackKind::ColourPlanes) << int(LedColour::Red) << 0xFF000000u << 0xFFFF0000u;
        QTest::newRow("one colour: amber") << int(PackKind::OneBit) << int(LedColour::Amber)
                                           << SignColours::ArgbOf(SignLight::Single, LedColour::Amber)
                                           << SignColours::ArgbOf(SignLight::Single, LedColour::Amber);
    }
    void previewShowsTheSignsColours() {
        QFETCH(int, kind);
        QFETCH(int, led);
        QFETCH(QRgb, blue);
        QFETCH(QRgb, red);
        MessageImage image = Make(12);
        image.signKind = static_cast<PackKind>(kind);
        image.ledColour = static_cast<LedColour>(led);
        // "I" in red, then "I" in blue (colour 2 of a table of red and blue).
        image.SetContent(
            QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Arial;}}{\\colortbl ;\\red255\\green0\\blue0;"
                           "\\red0\\green0\\blue255;}\\pard\\f0\\fs24\\cf1 I\\cf2 I\\par}"));
        const QImage dots = image.PreviewDots(image.contentWidth);
        QSet<QRgb> shown;
        for (int y = 0; y < dots.height(); ++y)
            for (int x = 0; x < dots.width(); ++x)
                shown << dots.pixel(x, y);
        QSet<QRgb> expected{0xFF000000u, blue, red};
        QCOMPARE(shown, expected);
        const QImage exported = image.RenderExportFrame(0);
        bool exportedBlue = false;
        for (int y = 0; y < exported.height(); ++y)
            for (int x = 0; x < exported.width(); ++x)
                exportedBlue |= exported.pixel(x, y) == 0xFF0000FFu;
        QVERIFY(exportedBlue);
        // The enlarged preview follows a change of LED colour.
        const QImage before = image.PreviewRaster(QSize(202, 38));
        image.ledColour = image.ledColour == LedColour::White ? LedColour::Red : LedColour::White;
        QCOMPARE(image.PreviewRaster(QSize(202, 38)) != before, kind == int(PackKind::OneBit));
    }

    void previewCacheFollowsOwnerChanges() {
        MessageImage image = Make(12);
        image.SetContent(Rtf(QStringLiteral("Hg")));
        const QImage before = image.PreviewRaster(QSize(202, 38));
        QCOMPARE(image.PreviewRaster(QSize(202, 38)), before);
        image.yOffset = -3;
        const QImage after = image.PreviewRaster(QSize(202, 38));
        QVERIFY(after != before);
        image.yOffset = 0;
        QCOMPARE(image.PreviewRaster(QSize(202, 38)), before);
    }

    void previewMeasuresTheWholeContent() {
        MessageImage image = Make(16);
        image.SetContent(Rtf(QString(200, u'W')));
        const int measured = image.contentWidth;
        QVERIFY(measured > 1000);
        image.PreviewRaster(QSize(100, 34));
        QCOMPARE(image.contentWidth, measured);
        QCOMPARE(QImage(image.ExportFrame(0)).width() <= measured, true);
    }

    void oddContentNeverBreaksDrawingOrExport() {
        const QString notAnImage = dir.filePath(QStringLiteral("text.png"));
        QFile file(notAnImage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x89PNG\r\n\x1a\nnot really");
        file.close();
        const QStringList contents = {
            QStringLiteral("[DATE_"),
            QStringLiteral("[DATE_]"),
            QStringLiteral("[DATE_1]{\\rtf"),
            QStringLiteral("[ASCII][GIF_"),
            QStringLiteral("[ASCII][GIF_abc]"),
            QStringLiteral("[ASCII]") + QChar(0xD83D),
            QStringLiteral("[DASCII]-1,2147483648,99999999999,,,"),
            QStringLiteral("{\\rtf1{{{{{{\\b"),
            QStringLiteral("{\\rtf1 [GIF_1234]\\fs-20 x\\fs999999 y}"),
            notAnImage + u';' + dir.path() + u';',
            QStringLiteral(";;;"),
            QString(3000, u'['),
        };
        for (const int rows : {7, 12, 16, 5}) {
            for (const QString& content : contents) {
                MessageImage image = Make(rows, 20069);
                image.pageWidth = 33;
                image.SetContent(content);
                image.PreviewRaster(QSize(200, 3 * rows + 2));
                image.PreviewRaster(QSize(1, 1));
                image.PreviewRaster(QSize(200, 8)); // less than a pixel per dot
                image.ExportFrame(0);
                image.ExportFrame(1);
            }
        }
        MessageImage codes = Make(7);
        codes.SetContent(QStringLiteral("[DASCII]-1,2147483648,99999999999,,,"));
        QCOMPARE(codes.glyphCodes.size(), 3);
        QCOMPARE(codes.contentWidth, 0); // no library, nothing drawn
    }

    void rtfPageAlignmentFollowsSetPageAlign() {
        MessageImage image = Make(16);
        image.pageWidth = 64;
        image.SetContent(Rtf(QString(30, u'W')));
        const int aligned = image.contentWidth;
        image.SetPageAlign(false);
        QCOMPARE(image.PageAlign(), 0);
        QVERIFY(image.Measure() < aligned);
    }
};

QTEST_MAIN(TestMessageImage)
#include "tst_messageimage.moc"
