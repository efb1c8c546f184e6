// The row check against what the renderer and the packer really do: texts in the ten
// languages, a script no installed font has (found at run time), the real glyph files,
// pictures written here, on the sign kinds that treat them differently.
#include "core/ModelCatalogue.h"
#include "render/DotPacker.h"
#include "render/GlyphLibrary.h"
#include "render/MessageImage.h"
#include "render/RowCheck.h"
#include "render/RowImages.h"
#include "store/LanguageTexts.h"

#include <QDir>
#include <QFontDatabase>
#include <QRawFont>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;
using Kind = RowFinding::Kind;

namespace {

const QString kData = QStringLiteral(VEXA_BIN_DIR "/Data");

// A one-run RTF document; every character outside ASCII written as \uN.
QString Rtf(const QString& text, int points, QRgb colour = 0xFFFF00) {
    QString body;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F && c != u'\\' && c != u'{' && c != u'}')
            body += c;
        else
            body += QStringLiteral("\\u%1?").arg(static_cast<qint16>(c.unicode()));
    }
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
                          "{\\colortbl ;\\red%1\\green%2\\blue%3;}\\uc1\\pard\\cf1\\f0\\fs%4 %5\\par}")
        .arg(qRed(colour))
        .arg(qGreen(colour))
        .arg(qBlue(colour))
        .arg(points * 2)
        .arg(body);
}

QList<Kind> KindsOf(const RowFindings& findings) {
    QList<Kind> kinds;
    for (const RowFinding& finding : findings)
        kinds << finding.kind;
    return kinds;
}

const RowFinding* Find(const RowFindings& findings, Kind kind) {
    for (const RowFinding& finding : findings)
        if (finding.kind == kind)
            return &finding;
    return nullptr;
}

// The first of candidates (letters of one script each) that no installed family covers:
// the test's "script with no installed font"; empty when every one has a font here.
QString LettersNoFontHas(const QStringList& candidates) {
    QList<QRawFont> fonts;
    for (const QString& family : QFontDatabase::families())
        fonts << QRawFont::fromFont(QFont(family));
    for (const QString& letters : candidates) {
        const QList<uint> points = letters.toUcs4();
        const bool covered = std::any_of(fonts.begin(), fonts.end(), [&](const QRawFont& font) {
            return std::any_of(points.begin(), points.end(),
                               [&](uint c) { return font.supportsCharacter(char32_t(c)); });
        });
        if (!covered)
            return letters;
    }
    return {};
}

} // namespace

class TestRowCheck : public QObject {
    Q_OBJECT

    GlyphLibrary library;
    QTemporaryDir dir;

    // A row of the model with the content; it lives until the test function ends.
    MessageImage& Row(const char* model, const QString& content, int yOffset = 0) {
        MessageImage& image = *images.emplace_back(std::make_unique<MessageImage>());
        image.glyphLibrary = &library;
        image.dataDir = kData;
        RowImages::ApplyModelTo(image, *ModelCatalogue::Find(QString::fromLatin1(model)));
        image.yOffset = yOffset;
        image.SetContent(content);
        return image;
    }
    std::vector<std::unique_ptr<MessageImage>> images;

private slots:
    void cleanup() { images.clear(); }

    void initTestCase() {
        QVERIFY2(QFileInfo::exists(kData + QStringLiteral("/ASCII/65.bmp")), "the Data tree is not drawn");
        library.Load(kData);
    }

    void everyLanguageHasItsGlyphs_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("zh_CN") << QStringLiteral("下一站 北京西站");
        QTest::newRow("zh_TW") << QStringLiteral("下一站 臺北車站");
        QTest::newRow("en") << QStringLiteral("Next stop: Central");
        QTest::newRow("ja") << QStringLiteral("次は東京です");
        QTest::newRow("ko") << QStringLiteral("다음 역은 서울역입니다");
        QTest::newRow("ru") << QStringLiteral("Следующая остановка");
        QTest::newRow("th") << QStringLiteral("ป้ายหน้า");
        QTest::newRow("id") << QStringLiteral("Halte berikutnya");
        QTest::newRow("ms") << QStringLiteral("Perhentian seterusnya");
        QTest::newRow("vi") << QStringLiteral("Điểm dừng tiếp theo");
    }

    // Text in the ten languages on a 16-row sign: every character has its glyph.
    void everyLanguageHasItsGlyphs() {
        QFETCH(QString, text);
        const RowFindings& findings = Row("P30", Rtf(text, 12)).Findings();
        QVERIFY2(!Find(findings, Kind::NoGlyph), qPrintable(RowCheck::Summary(findings, nullptr)));
    }

    // Characters no font has are named, after the fallback fonts were tried, whether the
    // run is drawn character by character or whole. Qt draws a script it knows but finds no
    // font for with a stand-in engine, one it does not know with the face's .notdef glyph.
    void charactersNoFontHasAreNamed_data() {
        QTest::addColumn<QStringList>("candidates");
        QTest::addColumn<bool>("pageAlign");
        QTest::newRow("known script, by character")
            << QStringList{QStringLiteral("ខ្មែរ"), QStringLiteral("မြန်"), QStringLiteral("සිංහල"),
                           QStringLiteral("བོད")}
            << true;
        QTest::newRow("unknown script, whole run")
            << QStringList{QStringLiteral("\U0001E900\U0001E901"), QStringLiteral("\U00016E40\U00016E41"),
                           QStringLiteral("\U0001E2C0\U0001E2C1")}
            << false;
    }
    void charactersNoFontHasAreNamed() {
        QFETCH(QStringList, candidates);
        QFETCH(bool, pageAlign);
        const QString missing = LettersNoFontHas(candidates);
        if (missing.isEmpty())
            QSKIP("every candidate script has a font here");
        MessageImage& row = Row("P30", Rtf(QStringLiteral("Next: ") + missing + QStringLiteral(" 北京"), 12));
        row.SetPageAlign(pageAlign);
        const RowFindings& findings = row.Findings();
        QCOMPARE(KindsOf(findings), QList<Kind>{Kind::NoGlyph});
        QStringList expected;
        for (const uint c : missing.toUcs4()) {
            const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
            if (!expected.contains(character) && QChar::category(c) != QChar::Mark_NonSpacing &&
                QChar::category(c) != QChar::Mark_SpacingCombining)
                expected << character;
        }
        for (const QString& character : expected)
            QVERIFY2(findings.front().subjects.contains(character), qPrintable(RowCheck::NameOf(character)));
        for (const QString& subject : findings.front().subjects)
            QVERIFY2(missing.contains(subject), qPrintable(RowCheck::NameOf(subject)));
        const QString said = RowCheck::Describe(findings.front(), nullptr);
        QVERIFY2(said.startsWith(QStringLiteral("no glyph for ") +
                                 RowCheck::NameOf(findings.front().subjects.front())),
                 qPrintable(said));
    }

    void inkBeyondTheSignIsCutOff_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("yOffset");
        QTest::addColumn<int>("cut"); // the finding expected
        QTest::newRow("20 pt on 16 rows") << "P30"
                                          << "Hgjy" << 20 << 0 << int(Kind::CutOffBottom);
        QTest::newRow("Thai tone marks at the default size") << "P30"
                                                             << "ที่นี่ปี่" << 16 << 0 << int(Kind::CutOffTop);
        QTest::newRow("raised by the Y offset") << "P13"
                                                << "Hx" << 12 << -4 << int(Kind::CutOffTop);
    }
    void inkBeyondTheSignIsCutOff() {
        QFETCH(QString, model);
        QFETCH(QString, text);
        QFETCH(int, points);
        QFETCH(int, yOffset);
        QFETCH(int, cut);
        const RowFindings& findings = Row(qPrintable(model), Rtf(text, points), yOffset).Findings();
        QVERIFY2(KindsOf(findings).contains(Kind(cut)), qPrintable(RowCheck::Summary(findings, nullptr)));
        QVERIFY(!Find(findings, Kind::NoGlyph));
    }

    void coloursAsTheSignLightsThem_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<QList<Kind>>("kinds");
        QTest::newRow("black, 2-bit") << "P30" << QRgb(0x000000) << QList<Kind>{Kind::Black};
        QTest::newRow("black, one colour") << "P13" << QRgb(0x000000) << QList<Kind>{Kind::Black};
        QTest::newRow("blue, planes") << "P06" << QRgb(0x0000FF) << QList<Kind>{Kind::NotLit};
        QTest::newRow("blue, 2-bit") << "P30" << QRgb(0x0000FF) << QList<Kind>{Kind::ShowsYellow};
        QTest::newRow("blue, one colour") << "P13" << QRgb(0x0000FF) << QList<Kind>{};
        QTest::newRow("banded, planes") << "P06" << QRgb(0xFF9600) << QList<Kind>{};
        QTest::newRow("green, planes") << "P06" << QRgb(0x00FF00) << QList<Kind>{};
    }
    void coloursAsTheSignLightsThem() {
        QFETCH(QString, model);
        QFETCH(QRgb, colour);
        QFETCH(QList<Kind>, kinds);
        const int rows = ModelCatalogue::Find(model)->rows;
        const RowFindings& findings =
            Row(qPrintable(model), Rtf(QStringLiteral("Abc"), rows, colour)).Findings();
        QCOMPARE(KindsOf(findings), kinds);
    }

    // P04 receives the text as bytes: its preview drops what the packer drops and draws
    // what arrives as the sign's font draws it; every other content arrives empty.
    void characterSignShowsWhatItReceives() {
        MessageImage& composed = Row("P04", QStringLiteral("[ASCII]Nächster Halt 5°[GIF_001]"));
        const RowFindings findings = composed.Findings();
        QCOMPARE(KindsOf(findings), (QList<Kind>{Kind::Dropped, Kind::ShownAs}));
        QCOMPARE(Find(findings, Kind::Dropped)->subjects, QStringList{QStringLiteral("ä")});
        QCOMPARE(Find(findings, Kind::ShownAs)->subjects,
                 (QStringList{QStringLiteral("°"), QStringLiteral("[GIF_001]")}));
        QCOMPARE(Find(findings, Kind::ShownAs)->shownAs,
                 (QStringList{QStringLiteral("Σ"), QStringLiteral("a")}));
        const QImage preview = composed.PreviewRaster(QSize(402, 37));

        // The same bytes written as the sign's own characters preview the same dots.
        const QByteArray bytes = DotPacker::PackCharacterCodes(QStringLiteral("Nächster Halt 5°[GIF_001]"));
        QCOMPARE(bytes, QByteArray("Nchster Halt 5\xB0"
                                   "a"));
        MessageImage& sent = Row("P01", QStringLiteral("[ASCII]Nchster Halt 5\u00B0a"));
        QCOMPARE(composed.contentWidth, sent.contentWidth);
        QCOMPARE(preview, sent.PreviewRaster(QSize(402, 37)));

        MessageImage& rich = Row("P04", Rtf(QStringLiteral("Abc"), 12));
        QCOMPARE(KindsOf(rich.Findings()), QList<Kind>{Kind::SentEmpty});
        QCOMPARE(rich.contentWidth, 0);

        // Glyph codes arrive as the text of their digits, and a date row as its text alone:
        // the previews show exactly that, and say why.
        MessageImage& digits = Row("P04", QStringLiteral("[DASCII]65,66,"));
        QCOMPARE(KindsOf(digits.Findings()), QList<Kind>{Kind::SentAsDigits});
        QCOMPARE(digits.PreviewRaster(QSize(402, 37)),
                 Row("P04", QStringLiteral("[ASCII]65,66,")).PreviewRaster(QSize(402, 37)));
        MessageImage& date = Row("P04", QStringLiteral("[DATE_000011][ASCII]Time"));
        QCOMPARE(KindsOf(date.Findings()), QList<Kind>{Kind::DateNotSent});
        QCOMPARE(date.PreviewRaster(QSize(402, 37)),
                 Row("P04", QStringLiteral("[ASCII]Time")).PreviewRaster(QSize(402, 37)));
    }

    // Bitmap-font text and glyph codes: a letter without a glyph file is named and drawn
    // as the space (text) or as nothing (glyph codes), never as a stray glyph.
    void lettersWithoutGlyphFiles() {
        const RowFindings text = Row("P01", QStringLiteral("[ASCII]café")).Findings();
        QCOMPARE(KindsOf(text), QList<Kind>{Kind::NoGlyph});
        QCOMPARE(text.front().subjects, QStringList{QStringLiteral("é")});

        const quint32 green7x9 = (1u << 13) | (1u << 11);
        MessageImage& codes =
            Row("P06", QStringLiteral("[DASCII]%1,%2,").arg(65 | green7x9).arg(0xE9 | green7x9));
        QCOMPARE(KindsOf(codes.Findings()), QList<Kind>{Kind::NoGlyph});
        QCOMPARE(codes.Findings().front().subjects, QStringList{QStringLiteral("é")});
        QCOMPARE(codes.contentWidth, library.GlyphOfCode(65 | green7x9)->width());
    }

    // An animation token that names no animation of the sign's height draws nothing.
    void animationsTheLibraryLacks() {
        const RowFindings findings = Row("P30", Rtf(QStringLiteral("A[GIF_999]B[GIF_006]"), 12)).Findings();
        QCOMPARE(KindsOf(findings), QList<Kind>{Kind::NoGlyph});
        QCOMPARE(findings.front().subjects, QStringList{QStringLiteral("[GIF_999]")});
    }

    void picturesThatDoNotShow() {
        const QString tall = dir.filePath(QStringLiteral("tall.png"));
        QImage picture(20, 32, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(tall));
        const QString text = dir.filePath(QStringLiteral("notes.png"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        const QString low = dir.filePath(QStringLiteral("low.png"));
        QVERIFY(picture.copy(0, 0, 20, 9).save(low));
        const QString fits = dir.filePath(QStringLiteral("fits.png"));
        QVERIFY(picture.copy(0, 0, 20, 16).save(fits));
        const QString missing = dir.filePath(QStringLiteral("gone.png"));
        const QStringList list{tall, text, missing, low, fits};
        const RowFindings findings = Row("P30", list.join(u';') + u';').Findings();
        QCOMPARE(KindsOf(findings),
                 (QList<Kind>{Kind::PictureMissing, Kind::NotAPicture, Kind::PictureLow, Kind::PictureTall}));
        QCOMPARE(Find(findings, Kind::PictureMissing)->subjects, QStringList{missing});
        QCOMPARE(Find(findings, Kind::NotAPicture)->subjects, QStringList{text});
        QCOMPARE(Find(findings, Kind::PictureLow)->subjects, QStringList{low});
        QCOMPARE(Find(findings, Kind::PictureTall)->subjects, QStringList{tall});
        // Each picture of the image editor's list is told its own findings; the taller one
        // is pointed to the import.
        QCOMPARE(RowCheck::AboutSubject(findings, low, nullptr),
                 QStringLiteral("not as high as the sign, dark rows below: %1 (20 × 9)").arg(low));
        QVERIFY(RowCheck::AboutSubject(findings, tall, nullptr)
                    .endsWith(QStringLiteral("Import picture… prepares it for the sign")));
        QVERIFY(RowCheck::AboutSubject(findings, fits, nullptr).isEmpty());
    }

    // Findings are said in the operator's language, with the characters named the same.
    void findingsInTheOperatorsLanguage() {
        LanguageTexts thai;
        QVERIFY(thai.SelectLanguage(7));
        const RowFinding finding{Kind::NoGlyph, {QStringLiteral("ä")}, {}};
        QCOMPARE(RowCheck::Describe(finding, &thai), QStringLiteral("ไม่มีรูปอักขระสำหรับ ä (U+00E4)"));
    }
};

QTEST_MAIN(TestRowCheck)
#include "tst_rowcheck.moc"
