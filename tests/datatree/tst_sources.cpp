// The generator reads hand-edited text files: a slip in them must stop the build with
// a message that names the file and line, never produce a damaged Data tree.

#include "Animations.h"
#include "ArtFile.h"
#include "CharacterSet.h"
#include "DataTreeWriter.h"
#include "SignFonts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa::datagen;

namespace {

const QString kArtDir = QStringLiteral(VEXA_SOURCE_ART_DIR);

QString ExtrasText() {
    QString text;
    const char32_t first = U'\u0100';
    for (int k = 0; k < CharacterSet::kExtraCount; ++k) {
        const char32_t c = first + static_cast<char32_t>(k);
        text += QStringLiteral("%1 %2\n").arg(128 + k).arg(QString::fromUcs4(&c, 1));
    }
    return text;
}

} // namespace

class TestSources : public QObject {
    Q_OBJECT

private slots:
    void readsEntriesWithColoursAndComments() {
        ArtFile art;
        QVERIFY2(art.Parse(QStringLiteral("// note\nheight 2\n> A\n#.RG\n.Y..\n\n> space\n..\n..\n"), "t"),
                 qPrintable(art.Error()));
        QCOMPARE(art.Entries().size(), std::size_t(2));
        const DotImage& a = art.Find(QStringLiteral("A"))->image;
        QCOMPARE(a.Width(), 4);
        QCOMPARE(a.At(0, 0), Dot::Red);
        QCOMPARE(a.At(1, 0), Dot::Dark);
        QCOMPARE(a.At(3, 0), Dot::Green);
        QCOMPARE(a.At(1, 1), Dot::Yellow);
        QVERIFY(!art.Find(QStringLiteral("space"))->image.AnyLit());
    }

    void rejectsMalformedArt_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("too few rows") << "height 2\n> A\n#.\n"
                                      << "t:2: entry \"A\" has 1 rows, expected 2";
        QTest::newRow("too many rows") << "height 1\n> A\n#\n#\n"
                                       << "t:4: entry \"A\" has more than 1 rows";
        QTest::newRow("ragged") << "height 2\n> A\n#.\n#\n"
                                << "t:4: rows of entry \"A\" differ in width";
        QTest::newRow("bad dot") << "height 1\n> A\n#x\n"
                                 << "t:3: unexpected character 'x' in entry \"A\"";
        QTest::newRow("twice") << "height 1\n> A\n#\n> A\n#\n"
                               << "t:4: key \"A\" drawn twice";
        QTest::newRow("stray dots") << "#.#\n"
                                    << "t:1: dots outside an entry";
        QTest::newRow("bad height") << "height 0\n"
                                    << "t:1: height must be 1 to 64";
        QTest::newRow("empty key") << "> \n"
                                   << "t:1: entry without a key";
    }
    void rejectsMalformedArt() {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        ArtFile art;
        QVERIFY(!art.Parse(text, QStringLiteral("t")));
        QCOMPARE(art.Error(), reason);
        QVERIFY(art.Entries().empty());
    }

    void characterTableNeedsAllExtrasInOrder() {
        CharacterSet set;
        QVERIFY2(set.Parse(ExtrasText(), "x"), qPrintable(set.Error()));
        QCOMPARE(set.CharacterOf(65), U'A');
        QCOMPARE(set.CharacterOf(128), U'\u0100');
        QCOMPARE(set.CharacterOf(193), char32_t(0x100 + 65));
        QCOMPARE(set.CharacterOf(127), char32_t(0));
        QCOMPARE(set.CharacterOf(10), char32_t(0));

        QString gap = ExtrasText();
        gap.replace(QStringLiteral("130 "), QStringLiteral("131 "));
        QVERIFY(!set.Parse(gap, "x"));
        QVERIFY(set.Error().contains(QStringLiteral("expected index 130")));

        QString shortList = ExtrasText();
        shortList.truncate(shortList.lastIndexOf(QLatin1Char('\n'), -2) + 1);
        QVERIFY(!set.Parse(shortList, "x"));
        QVERIFY(set.Error().contains(QStringLiteral("65 characters listed")));

        QString twice = ExtrasText();
        twice.replace(QStringLiteral("129 \u0101"), QStringLiteral("129 \u0100"));
        QVERIFY(!set.Parse(twice, "x"));
        QVERIFY(set.Error().contains(QStringLiteral("listed twice")));

        QVERIFY(!set.Parse(QStringLiteral("128 a\n"), "x"));
    }

    void fontsReportMissingOrOversizedGlyphs() {
        ArtFile face7;
        ArtFile face5;
        ArtFile small;
        CharacterSet set;
        QVERIFY(set.Load(kArtDir + QStringLiteral("/extras.txt")));
        QVERIFY(face7.Load(kArtDir + QStringLiteral("/font7.txt")));
        QVERIFY(face5.Load(kArtDir + QStringLiteral("/font5.txt")));
        QVERIFY(small.Load(kArtDir + QStringLiteral("/small.txt")));
        SignFonts fonts;
        QVERIFY2(fonts.Build(set, face7, face5, small), qPrintable(fonts.Error()));

        QFile file(kArtDir + QStringLiteral("/font7.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());

        ArtFile withoutQ;
        QString removed = text;
        removed.replace(QStringLiteral("> Q\n"), QStringLiteral("> \u00A4\n"));
        QVERIFY(withoutQ.Parse(removed, "font7"));
        QVERIFY(!fonts.Build(set, withoutQ, face5, small));
        QVERIFY2(fonts.Error().contains(QStringLiteral("glyph \"Q\" (index 81) is not drawn")),
                 qPrintable(fonts.Error()));

        ArtFile wide;
        QVERIFY(wide.Parse(text + QStringLiteral("> \u00D7\n......\n......\n......\n......\n......\n......\n"
                                                 "......\n"),
                           "font7"));
        QVERIFY(fonts.Build(set, wide, face5, small)); // an unused entry may be wide
        QString wideA = text;
        wideA.replace(QStringLiteral("> A\n.###.\n#...#\n#...#\n#####\n#...#\n#...#\n#...#\n"),
                      QStringLiteral("> A\n.###..\n#...#.\n#...#.\n#####.\n#...#.\n#...#.\n#...##\n"));
        QVERIFY(wide.Parse(wideA, "font7"));
        QVERIFY(!fonts.Build(set, wide, face5, small));
        QVERIFY2(fonts.Error().contains(QStringLiteral("glyph \"A\" is wider than 5 dots")),
                 qPrintable(fonts.Error()));

        ArtFile blank;
        QString blankB = text;
        blankB.replace(QStringLiteral("> B\n####.\n#...#\n#...#\n####.\n#...#\n#...#\n####.\n"),
                       QStringLiteral("> B\n.....\n.....\n.....\n.....\n.....\n.....\n.....\n"));
        QVERIFY(blank.Parse(blankB, "font7"));
        QVERIFY(!fonts.Build(set, blank, face5, small));
        QVERIFY2(fonts.Error().contains(QStringLiteral("glyph \"B\" has no lit dot")),
                 qPrintable(fonts.Error()));
    }

    void monospacedGlyphsAreCentredAndStretched() {
        SignFonts fonts;
        QVERIFY2(fonts.Load(kArtDir), qPrintable(fonts.Error()));
        // "I" is drawn 3 dots wide: centred in the 5-dot body of the 7x6 font.
        const DotImage& i = fonts.Glyph(0, 'I');
        QCOMPARE(i.FirstLitColumn(), 1);
        QCOMPARE(i.LastLitColumn(), 3);
        // Every column of the 7x11 font is a doubled column of the 7x6 font.
        for (int index : {int('A'), int('M'), int('W'), int('0'), int('g'), 130}) {
            const DotImage& narrow = fonts.Glyph(0, index);
            const DotImage& wide = fonts.Glyph(2, index);
            for (int y = 0; y < 7; ++y) {
                for (int x = 0; x < 10; ++x) {
                    QCOMPARE(wide.IsLit(x, y), narrow.IsLit(x / 2, y));
                }
            }
        }
        // Proportional faces keep their drawn width plus one spacing column.
        QCOMPARE(fonts.SignGlyph('i').Width(), 4);
        QCOMPARE(fonts.SignGlyph('M').Width(), 6);
    }

    void lookupsOutsideTheSetGiveNothing() {
        SignFonts fonts;
        Animations animations;
        QVERIFY(fonts.Glyph(0, 65).IsEmpty()); // nothing loaded yet
        QVERIFY(animations.Frame(7, 0, 0).IsEmpty());
        QVERIFY(fonts.Load(kArtDir));
        QVERIFY(animations.Load(kArtDir));
        QVERIFY(!fonts.Glyph(6, 193).IsEmpty());
        QVERIFY(fonts.Glyph(7, 65).IsEmpty());
        QVERIFY(fonts.Glyph(-1, 65).IsEmpty());
        QVERIFY(fonts.Glyph(0, 194).IsEmpty());
        QVERIFY(fonts.SignGlyph(-1).IsEmpty());
        QVERIFY(!animations.Frame(16, 31, 1).IsEmpty());
        QVERIFY(animations.Frame(8, 0, 0).IsEmpty());
        QVERIFY(animations.Frame(7, 32, 0).IsEmpty());
        QVERIFY(animations.Frame(12, 0, 2).IsEmpty());
    }

    void writerReplacesAnOldTreeCompletely() {
        SignFonts fonts;
        Animations animations;
        QVERIFY(fonts.Load(kArtDir));
        QVERIFY2(animations.Load(kArtDir), qPrintable(animations.Error()));
        QTemporaryDir temp;
        const QString data = temp.path() + QStringLiteral("/Data");
        QVERIFY(QDir().mkpath(data + QStringLiteral("/Gif/7")));
        QFile stale(data + QStringLiteral("/Gif/7/200_0.bmp"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();

        DataTreeWriter writer(fonts, animations);
        QVERIFY2(writer.Write(data), qPrintable(writer.Error()));
        QCOMPARE(writer.FilesWritten(), 4625);
        QVERIFY(!QFile::exists(data + QStringLiteral("/Gif/7/200_0.bmp")));
        QVERIFY(QFile::exists(data + QStringLiteral("/Gif/16/31_1.bmp")));
        QVERIFY(!QFile::exists(data + QStringLiteral(".new")));
        QVERIFY(!QFile::exists(data + QStringLiteral(".old")));
    }

    void writerKeepsTheOldTreeWhenItCannotWrite() {
        SignFonts fonts;
        Animations animations;
        QVERIFY(fonts.Load(kArtDir));
        QVERIFY(animations.Load(kArtDir));
        QTemporaryDir temp;
        const QString data = temp.path() + QStringLiteral("/Data");
        QVERIFY(QDir().mkpath(data));
        QFile keep(data + QStringLiteral("/keep.bmp"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.close();
        // A file where the staging folder must go makes writing fail.
        QFile blocker(data + QStringLiteral(".new"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        DataTreeWriter writer(fonts, animations);
        QVERIFY(!writer.Write(data));
        QVERIFY(!writer.Error().isEmpty());
        QVERIFY(QFile::exists(data + QStringLiteral("/keep.bmp")));
    }
};

QTEST_GUILESS_MAIN(TestSources)
#include "tst_sources.moc"
