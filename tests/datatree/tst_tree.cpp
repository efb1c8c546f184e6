// Checks the Data tree the build draws: exactly the files the programs read, and the
// properties the renderer and the editors rely on (heights, colours, widths, frames).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTest>

namespace {

const QString kDataDir = QStringLiteral(VEXA_BIN_DIR "/Data");

struct FontShape {
    int advance; // 0: proportional
    bool fiveRows;
};
// Fonts 0..6: "7x6", "7x9", "7x11", "7x17", "Small", "5x6", "5x11".
const FontShape kFonts[] = {{6, false}, {9, false}, {11, false}, {17, false},
                            {0, false}, {6, true},  {11, true}};
const QRgb kPure[] = {qRgb(0xFF, 0, 0), qRgb(0, 0xFF, 0), qRgb(0xFF, 0xFF, 0)};

bool IsDrawn(int index) {
    return (index >= 32 && index <= 126) || (index >= 128 && index <= 193);
}

QString GlyphPath(int font, int colour, int index) {
    return QStringLiteral("%1/ASCII/allAscii/Font%2/Color%3/%4.bmp")
        .arg(kDataDir)
        .arg(font)
        .arg(colour)
        .arg(index);
}
QString FramePath(int height, int n, int frame) {
    return QStringLiteral("%1/Gif/%2/%3_%4.bmp").arg(kDataDir).arg(height).arg(n).arg(frame);
}

QImage Load(const QString& path) {
    QImage image(path);
    return image.convertToFormat(QImage::Format_RGB32);
}

bool AnyLit(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
                return true;
            }
        }
    }
    return false;
}

bool RowLit(const QImage& image, int y) {
    for (int x = 0; x < image.width(); ++x) {
        if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
            return true;
        }
    }
    return false;
}

bool ColumnLit(const QImage& image, int x) {
    for (int y = 0; y < image.height(); ++y) {
        if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
            return true;
        }
    }
    return false;
}

// The colours used by lit dots; black is not listed.
QSet<QRgb> LitColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xFF000000;
            if (pixel != qRgb(0, 0, 0)) {
                colours.insert(pixel);
            }
        }
    }
    return colours;
}

QSet<QString> ExpectedLibraryFiles() {
    QSet<QString> files;
    for (int n = 0; n <= 64; ++n) {
        for (int frame = 0; frame < 2; ++frame) {
            files.insert(QStringLiteral("Gif/7/%1_%2.bmp").arg(n).arg(frame));
        }
    }
    for (int height : {12, 16}) {
        for (int n = 0; n < 32; ++n) {
            for (int frame = 0; frame < 2; ++frame) {
                files.insert(QStringLiteral("Gif/%1/%2_%3.bmp").arg(height).arg(n).arg(frame));
            }
        }
    }
    for (int font = 0; font < 7; ++font) {
        for (int colour = 0; colour < 3; ++colour) {
            for (int index = 0; index < 194; ++index) {
                files.insert(
                    QStringLiteral("ASCII/allAscii/Font%1/Color%2/%3.bmp").arg(font).arg(colour).arg(index));
            }
        }
    }
    return files;
}

QSet<QString> ExpectedFiles() {
    QSet<QString> files = ExpectedLibraryFiles();
    for (int index = 0; index < 194; ++index) {
        if (IsDrawn(index)) {
            files.insert(QStringLiteral("ASCII/%1.bmp").arg(index));
        }
    }
    for (int n = 65; n <= 97; ++n) {
        files.insert(QStringLiteral("Gif/7/%1_0.bmp").arg(n));
        files.insert(QStringLiteral("Gif/7/%1_1.bmp").arg(n));
    }
    for (int index = 128; index <= 193; ++index) {
        files.insert(QStringLiteral("ASCII/Eruope/%1.bmp").arg(index));
    }
    return files;
}

QSet<QString> ActualFiles() {
    QSet<QString> files;
    const QDir root(kDataDir);
    QDirIterator it(kDataDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.insert(root.relativeFilePath(it.next()));
    }
    return files;
}

} // namespace

class TestTree : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QDir(kDataDir).exists(), qPrintable(kDataDir + " was not built")); }

    void holdsExactlyTheFilesTheProgramsRead() {
        const QSet<QString> expected = ExpectedFiles();
        const QSet<QString> actual = ActualFiles();
        const QStringList missing = (expected - actual).values();
        const QStringList unexpected = (actual - expected).values();
        QVERIFY2(missing.isEmpty(), qPrintable("missing: " + missing.mid(0, 10).join(QLatin1Char(' '))));
        QVERIFY2(unexpected.isEmpty(),
                 qPrintable("unexpected: " + unexpected.mid(0, 10).join(QLatin1Char(' '))));
        QCOMPARE(ExpectedLibraryFiles().size(), 4332);
        QCOMPARE(actual.size(), 4332 + 161 + 66 + 66);
    }

    void everyFileIsABitmapOfPureColours() {
        for (const QString& relative : ExpectedFiles()) {
            const QString path = kDataDir + QLatin1Char('/') + relative;
            QImageReader reader(path);
            QCOMPARE(reader.format(), QByteArray("bmp"));
            const QImage image = Load(path);
            QVERIFY2(!image.isNull() && image.width() > 0, qPrintable(relative));
            for (QRgb colour : LitColours(image)) {
                const bool pure = colour == kPure[0] || colour == kPure[1] || colour == kPure[2];
                QVERIFY2(pure,
                         qPrintable(QStringLiteral("%1 has colour %2").arg(relative).arg(colour, 6, 16)));
            }
        }
    }

    void heightsFollowTheSignHeight() {
        for (const QString& relative : ExpectedFiles()) {
            const int expected = relative.startsWith(QStringLiteral("Gif/12/"))   ? 12
                                 : relative.startsWith(QStringLiteral("Gif/16/")) ? 16
                                                                                  : 7;
            QVERIFY2(QImageReader(kDataDir + QLatin1Char('/') + relative).size().height() == expected,
                     qPrintable(relative));
        }
    }

    void glyphTableUsesOneColourPerFolder() {
        for (int font = 0; font < 7; ++font) {
            for (int colour = 0; colour < 3; ++colour) {
                for (int index = 33; index <= 193; ++index) {
                    if (!IsDrawn(index)) {
                        continue;
                    }
                    const QSet<QRgb> colours = LitColours(Load(GlyphPath(font, colour, index)));
                    QVERIFY2(
                        colours == QSet<QRgb>{kPure[colour]},
                        qPrintable(
                            QStringLiteral("font %1 colour %2 glyph %3").arg(font).arg(colour).arg(index)));
                }
            }
        }
    }

    void colourFoldersHoldTheSameShapes() {
        for (int font = 0; font < 7; ++font) {
            for (int index = 0; index < 194; ++index) {
                const QImage red = Load(GlyphPath(font, 0, index));
                for (int colour = 1; colour < 3; ++colour) {
                    const QImage other = Load(GlyphPath(font, colour, index));
                    QCOMPARE(other.size(), red.size());
                    for (int y = 0; y < red.height(); ++y) {
                        for (int x = 0; x < red.width(); ++x) {
                            QCOMPARE((other.pixel(x, y) & 0xFFFFFF) != 0, (red.pixel(x, y) & 0xFFFFFF) != 0);
                        }
                    }
                }
            }
        }
    }

    void everyDrawnGlyphHasLitDotsAndTheSpaceNone() {
        for (int font = 0; font < 7; ++font) {
            for (int index = 0; index < 194; ++index) {
                const bool lit = AnyLit(Load(GlyphPath(font, 0, index)));
                QVERIFY2(lit == (IsDrawn(index) && index != 32),
                         qPrintable(QStringLiteral("font %1 glyph %2").arg(font).arg(index)));
            }
        }
        for (int index = 33; index <= 193; ++index) {
            if (IsDrawn(index)) {
                QVERIFY2(AnyLit(Load(QStringLiteral("%1/ASCII/%2.bmp").arg(kDataDir).arg(index))),
                         qPrintable(QString::number(index)));
            }
        }
        QVERIFY(!AnyLit(Load(kDataDir + QStringLiteral("/ASCII/32.bmp"))));
    }

    void widthsAreTrueToTheFontNames() {
        for (int font = 0; font < 7; ++font) {
            const FontShape shape = kFonts[font];
            for (int index = 0; index < 194; ++index) {
                const QImage glyph = Load(GlyphPath(font, 0, index));
                const QString where = QStringLiteral("font %1 glyph %2").arg(font).arg(index);
                if (shape.advance > 0) {
                    QVERIFY2(glyph.width() == shape.advance, qPrintable(where));
                } else {
                    QVERIFY2(glyph.width() >= 2 && glyph.width() <= 6, qPrintable(where));
                }
                // The last column is the spacing between characters.
                QVERIFY2(!ColumnLit(glyph, glyph.width() - 1), qPrintable(where));
            }
        }
    }

    void smallFontIsNarrowerThanTheSevenBySix() {
        int smallWidth = 0;
        for (int index = 65; index <= 90; ++index) {
            smallWidth += Load(GlyphPath(4, 0, index)).width();
        }
        QVERIFY(smallWidth < 26 * 6);
    }

    void fiveRowFontsSitInsideTheSevenRows() {
        for (int font = 0; font < 7; ++font) {
            if (!kFonts[font].fiveRows) {
                continue;
            }
            for (int index = 32; index <= 126; ++index) {
                const QImage glyph = Load(GlyphPath(font, 0, index));
                QVERIFY2(!RowLit(glyph, 0) && !RowLit(glyph, 6),
                         qPrintable(QStringLiteral("font %1 glyph %2").arg(font).arg(index)));
            }
        }
        // The 7-row fonts do use the full height: capitals reach the top and the bottom row.
        for (int font = 0; font < 7; ++font) {
            if (kFonts[font].fiveRows) {
                continue;
            }
            const QImage e = Load(GlyphPath(font, 0, 'E'));
            QVERIFY(RowLit(e, 0) && RowLit(e, 6));
        }
    }

    void lettersAndDigitsAreTellApartInEveryFont() {
        for (int font = 0; font < 7; ++font) {
            QHash<QByteArray, int> seen;
            for (int index = 33; index <= 193; ++index) {
                if (!IsDrawn(index)) {
                    continue;
                }
                const QImage glyph = Load(GlyphPath(font, 0, index));
                QByteArray key = QByteArray::number(glyph.width()) + ':';
                for (int y = 0; y < glyph.height(); ++y) {
                    for (int x = 0; x < glyph.width(); ++x) {
                        key.append((glyph.pixel(x, y) & 0xFFFFFF) != 0 ? '#' : '.');
                    }
                }
                QVERIFY2(!seen.contains(key),
                         qPrintable(QStringLiteral("font %1: glyphs %2 and %3 look the same")
                                        .arg(font)
                                        .arg(seen.value(key))
                                        .arg(index)));
                seen.insert(key, index);
            }
        }
    }

    void facesMoveAndSpecialCharactersStandStill() {
        for (int height : {7, 12, 16}) {
            for (int n = 0; n < 32; ++n) {
                const QImage first = Load(FramePath(height, n, 0));
                const QImage second = Load(FramePath(height, n, 1));
                QVERIFY2(AnyLit(first) && AnyLit(second), qPrintable(FramePath(height, n, 0)));
                QVERIFY2(first != second,
                         qPrintable(QStringLiteral("%1 rows, animation %2").arg(height).arg(n)));
                QCOMPARE(first.width(), second.width());
            }
        }
        // The palettes show frame 0, so no two faces may share it.
        for (int height : {7, 12, 16}) {
            QSet<QByteArray> seen;
            for (int n = 0; n < 32; ++n) {
                QFile file(FramePath(height, n, 0));
                QVERIFY(file.open(QIODevice::ReadOnly));
                seen.insert(file.readAll());
            }
            QCOMPARE(seen.size(), 32);
        }
        for (int n = 32; n <= 97; ++n) {
            const QImage first = Load(FramePath(7, n, 0));
            QCOMPARE(Load(FramePath(7, n, 1)), first);
            // Token 32 + k inserts the same letter as glyph 128 + k of the sign font.
            QCOMPARE(first, Load(QStringLiteral("%1/ASCII/%2.bmp").arg(kDataDir).arg(128 + n - 32)));
        }
    }

    void pickerShowsEveryExtraCharacter() {
        const QStringList names =
            QDir(kDataDir + QStringLiteral("/ASCII/Eruope")).entryList({"*.bmp"}, QDir::Files);
        QCOMPARE(names.size(), 66);
        for (int index = 128; index <= 193; ++index) {
            const QImage picture = Load(QStringLiteral("%1/ASCII/Eruope/%2.bmp").arg(kDataDir).arg(index));
            QCOMPARE(picture.height(), 7);
            QVERIFY(AnyLit(picture));
        }
    }
};

QTEST_GUILESS_MAIN(TestTree)
#include "tst_tree.moc"
