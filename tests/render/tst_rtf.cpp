#include "render/AsciiFilter.h"
#include "render/RichTextDocument.h"
#include "render/RtfReader.h"
#include "render/RtfWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace vexa;

namespace {

const LegacyCodePage kCp1252(1252);
const LegacyCodePage kCp936(936);

RichText ReadLatin(const QString& rtf) {
    return RtfReader::Read(rtf, kCp1252);
}

// The fixtures are stored as the bytes other programs write; content strings hold those
// bytes converted with the legacy code page.
QString Fixture(const QString& name, const LegacyCodePage& page = kCp1252) {
    QFile file(QStringLiteral(VEXA_TEST_DATA_DIR "/rtf/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return page.Decode(file.readAll());
}

// Formats of text[from, from + length) must all equal the given one.
bool SameFormat(const RichText& rich, qsizetype from, qsizetype length, const CharFormat& format) {
    for (qsizetype i = from; i < from + length; ++i) {
        if (i >= rich.formats.size() || !(rich.formats.at(i) == format))
            return false;
    }
    return true;
}

CharFormat Format(const QString& face, int twips, QRgb colour, bool bold = false, bool italic = false,
                  bool underline = false, int charset = 0) {
    CharFormat format;
    format.face = face;
    format.sizeTwips = twips;
    format.colour = colour;
    format.bold = bold;
    format.italic = italic;
    format.underline = underline;
    format.charset = charset;
    return format;
}

// The same format in the automatic colour (no colour of its own): drawn in the default colour.
CharFormat Auto(CharFormat format) {
    format.colour = CharFormat::AutoColour;
    format.autoColour = true;
    return format;
}

// Text and formats of one run, to build an expected RichText from.
struct Run {
    QString text;
    CharFormat format;
};

RichText Runs(const QList<Run>& runs) {
    RichText rich;
    for (const Run& run : runs)
        rich.Append(run.text, run.format);
    return rich;
}

// Compares two RichTexts and names the first character whose format differs.
QString Difference(const RichText& actual, const RichText& expected) {
    if (actual.text != expected.text)
        return QStringLiteral("text \"%1\" != \"%2\"").arg(actual.text, expected.text);
    for (qsizetype i = 0; i < expected.formats.size(); ++i) {
        const CharFormat& a = actual.formats.at(i);
        const CharFormat& e = expected.formats.at(i);
        if (!(a == e))
            return QStringLiteral("format of %1 ('%2'): %3 %4 %5 %6%7%8 %9 != %10 %11 %12 %13%14%15 %16")
                .arg(i)
                .arg(expected.text.at(i))
                .arg(a.face)
                .arg(a.sizeTwips)
                .arg(a.colour, 0, 16)
                .arg(a.bold)
                .arg(a.italic)
                .arg(a.underline)
                .arg(a.charset)
                .arg(e.face)
                .arg(e.sizeTwips)
                .arg(e.colour, 0, 16)
                .arg(e.bold)
                .arg(e.italic)
                .arg(e.underline)
                .arg(e.charset);
    }
    return actual.IsValid() ? QString() : QStringLiteral("formats and text differ in length");
}

#define COMPARE_RICH(actual, expected)                                                                       \
    do {                                                                                                     \
        const QString difference = Difference((actual), (expected));                                         \
        QVERIFY2(difference.isEmpty(), qPrintable(difference));                                              \
    } while (false)

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private slots:
    void readerDefaultsWithoutFormatting();
    void readerTextEscapesAndSpecialCharacters_data();
    void readerTextEscapesAndSpecialCharacters();
    void readerEffectsFollowGroups();
    void readerFontAndColourTables();
    void readerUnicodeWithFallbacks();
    void readerCodePagesOfFonts();
    void readerSkipsDestinations();
    void readerHostileInputIsBounded_data();
    void readerHostileInputIsBounded();
    void readerFuzzedDocuments();
    void fixtureRichEditWestern();
    void fixtureRichEditChinese();
    void fixtureOfficeSuite();
    void fixtureAssociatedFonts();
    void fixtureDocumentConverter();
    void writerGoldenDocument();
    void writerEmptyDocumentIsComplete();
    void writerRoundTripKeepsEveryFormat();
    void writerRoundTripOfRandomTexts();
    void writerSurvivesLineBreakRemoval();
    void writerFaceNamesAndCharsets();
    void documentRoundTrip();
    void documentEmptyGivesShortRtf();
    void documentFormatMapping();
    void asciiFilterRemovesAndMovesSelection_data();
    void asciiFilterRemovesAndMovesSelection();
    void asciiFilterKeepsStructureAndFormats();
};

void TestRtf::readerDefaultsWithoutFormatting() {
    const RichText rich = ReadLatin(QStringLiteral("{\\rtf1\\ansi Hello}"));
    QCOMPARE(rich.text, QStringLiteral("Hello"));
    QVERIFY(rich.IsValid());
    QVERIFY(SameFormat(rich, 0, 5, Auto(Format(QString(), 240, 0))));

    const RichText withDefaultFont = ReadLatin(
        QStringLiteral("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 Arial;}{\\f1\\fswiss Tahoma;}}x\\plain y}"));
    QCOMPARE(withDefaultFont.text, QStringLiteral("xy"));
    QVERIFY(SameFormat(withDefaultFont, 0, 2, Auto(Format(QStringLiteral("Tahoma"), 240, 0))));
}

void TestRtf::readerTextEscapesAndSpecialCharacters_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("text");
    QTest::newRow("braces and backslash") << "a\\{b\\}c\\\\d"
                                          << "a{b}c\\d";
    QTest::newRow("delimiting space is eaten") << "\\b bold\\b0  two"
                                               << "bold two";
    QTest::newRow("file line breaks are not text") << "a\r\nb\nc\rd"
                                                   << "abcd";
    QTest::newRow("par and line end lines") << "a\\par b\\line c"
                                            << "a\rb\rc";
    QTest::newRow("closing paragraph mark dropped") << "a\\par "
                                                    << "a";
    QTest::newRow("empty paragraph kept") << "a\\par\\par "
                                          << "a\r";
    QTest::newRow("tab") << "a\\tab b\tc"
                         << "a\tb\tc";
    QTest::newRow("no-break space and hyphens") << "a\\~b\\-c\\_d"
                                                << "a\u00A0bc\u2011d";
    QTest::newRow("quotes and dashes")
        << "\\lquote x\\rquote \\ldblquote y\\rdblquote \\emdash\\endash\\bullet"
        << "\u2018x\u2019\u201Cy\u201D\u2014\u2013\u2022";
    QTest::newRow("escaped line break is a paragraph") << "a\\\nb"
                                                       << "a\rb";
    QTest::newRow("unknown words vanish") << "a\\foo12 b\\zzz-3c"
                                          << "abc";
    QTest::newRow("upper case ends a word") << "\\parWorld"
                                            << "\rWorld";
    QTest::newRow("minus without digits is text") << "\\b-x"
                                                  << "-x";
    QTest::newRow("hex byte") << "caf\\'e9 \\'80"
                              << "caf\u00E9 \u20AC";
    QTest::newRow("hex upper case digits") << "\\'C9\\'e9"
                                           << "\u00C9\u00E9";
    QTest::newRow("NUL bytes ignored")
        << QStringLiteral("a") + QChar(0) + QStringLiteral("b\\'00c\\u0 ?d") << "abcd";
    QTest::newRow("literal text beyond bytes") << "\u4E2D\u6587"
                                               << "\u4E2D\u6587";
    QTest::newRow("field result is text")
        << "{\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul link}}} after"
        << "link after";
}

void TestRtf::readerTextEscapesAndSpecialCharacters() {
    QFETCH(QString, body);
    QFETCH(QString, text);
    const RichText rich = ReadLatin(QStringLiteral("{\\rtf1\\ansi ") + body + u'}');
    QCOMPARE(rich.text, text);
    QVERIFY(rich.IsValid());
}

void TestRtf::readerEffectsFollowGroups() {
    const RichText rich = ReadLatin(
        QStringLiteral("{\\rtf1 a{\\b b{\\i c\\ul d\\ulnone e}\\b0 f}g\\i1 h\\i0\\uldb i\\ulc2 j\\plain k}"));
    QCOMPARE(rich.text, QStringLiteral("abcdefghijk"));
    auto effects = [&](int i) {
        const CharFormat& f = rich.formats.at(i);
        return QString::number(f.bold) + QString::number(f.italic) + QString::number(f.underline);
    };
    const QStringList expected{"000", "100", "110", "111", "110", "000", "000", "010", "001", "001", "000"};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(effects(i), expected.at(i));
}

void TestRtf::readerFontAndColourTables() {
    const QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
        "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman{\\*\\falt Times};}\\f2\\fswiss Verdana;\\f3 Courier "
        "New;}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red300\\green-4\\blue7;}"
        "\\cf1\\fs20 a\\f1\\cf2\\fs33 b\\f2\\cf3 c\\f3\\cf0 d\\f9\\cf99 e}");
    const RichText rich = ReadLatin(rtf);
    QCOMPARE(rich.text, QStringLiteral("abcde"));
    QCOMPARE(rich.formats.at(0), Format(QStringLiteral("Arial"), 200, qRgb(255, 0, 0)));
    QCOMPARE(rich.formats.at(1), Format(QStringLiteral("Times New Roman"), 330, qRgb(0, 255, 0)));
    QCOMPARE(rich.formats.at(2), Format(QStringLiteral("Verdana"), 330, qRgb(255, 0, 7)));
    QCOMPARE(rich.formats.at(3), Auto(Format(QStringLiteral("Courier New"), 330, 0)));
    // An unknown font number falls back to the default font, an unknown colour is automatic.
    QCOMPARE(rich.formats.at(4), Auto(Format(QStringLiteral("Arial"), 330, 0)));

    // A colour table without the empty first entry: \cf0 is its first colour.
    const RichText first = ReadLatin(
        QStringLiteral("{\\rtf1{\\colortbl\\red0\\green0\\blue255;\\red9\\green9\\blue9;}\\cf0 x}"));
    QCOMPARE(first.formats.at(0).colour, qRgb(0, 0, 255));
}

void TestRtf::readerUnicodeWithFallbacks() {
    const RichText rich =
        ReadLatin(QStringLiteral("{\\rtf1\\ansi\\uc1 \\u20013?\\u-26360?x{\\uc2\\u233\\'e9\\'e9y}\\u233 "
                                 "?z\\uc0\\u8364 w\\uc1{\\u66\\'41}v}"));
    // \u-26360 is U+9908; \uc2 skips two \'hh fallbacks; after "\u233 " the fallback is '?'.
    QCOMPARE(rich.text, QStringLiteral("\u4E2D\u9908x\u00E9y\u00E9z\u20ACwBv"));

    // Fallback skipping stops at a group end and never eats the text after it.
    const RichText cut = ReadLatin(QStringLiteral("{\\rtf1{\\uc5\\u20013}abc}"));
    QCOMPARE(cut.text, QStringLiteral("\u4E2Dabc"));
    // A huge \uc is clamped instead of swallowing the document.
    const RichText clamped =
        ReadLatin(QStringLiteral("{\\rtf1\\uc2000000000\\u65 0123456789012345678901234}"));
    QCOMPARE(clamped.text, QStringLiteral("A678901234"));
    // Surrogate pairs are written as two units.
    const RichText pair = ReadLatin(QStringLiteral("{\\rtf1\\u-10179?\\u-8704?}"));
    QCOMPARE(pair.text, QString::fromUcs4(U"\U0001F600"));
}

void TestRtf::readerCodePagesOfFonts() {
    // GB2312 font: two \'hh bytes make one character; the face name is in the font's code page.
    const QString rtf =
        QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                       "{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f2\\fnil\\fcharset204 Arial CYR;}"
                       "{\\f3\\fnil\\fcharset136 MingLiU;}{\\f4\\fnil\\fcharset128 MS Gothic;}}"
                       "\\f0 \\'e9\\f1\\'d6\\'d0\\'ce\\'c4a\\f2\\'c4\\f3\\'a4\\'a4\\f4\\'82\\'a0\\'95\\\\}");
    const RichText rich = ReadLatin(rtf);
    QCOMPARE(rich.text, QStringLiteral("\u00E9\u4E2D\u6587a\u0414\u4E2D\u3042\u8868"));
    QCOMPARE(rich.formats.at(1).face, QStringLiteral("\u5B8B\u4F53"));
    QCOMPARE(rich.formats.at(1).charset, 134);
    QCOMPARE(rich.formats.at(4).charset, 204);

    // \ansicpg936 decides for fonts of charset 0; the given legacy page when there is none.
    const RichText ansi = ReadLatin(QStringLiteral("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0}"));
    QCOMPARE(ansi.text, QStringLiteral("\u4E2D"));
    const RichText legacy = RtfReader::Read(QStringLiteral("{\\rtf1\\ansi \\'d6\\'d0}"), LegacyCodePage(936));
    QCOMPARE(legacy.text, QStringLiteral("\u4E2D"));
    // A lead byte cut by a font change is dropped rather than joined with the wrong byte.
    const RichText cut = ReadLatin(
        QStringLiteral("{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset134 B;}}\\f1\\'d6\\f0 x}"));
    QCOMPARE(cut.text, QStringLiteral("x"));
}

void TestRtf::readerSkipsDestinations() {
    const QString rtf = QStringLiteral(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
        "{\\*\\generator Writer;}{\\header head}{\\*\\unknowndest junk{\\nested more}}"
        "{\\pict\\pngblip 89504e47}{\\object{\\*\\objdata 0102}{\\result {\\pict 00}}}"
        "{\\pntext\\'b7\\tab}body{\\*\\bkmkstart m}{\\bin5 {}{}x}text}");
    QCOMPARE(ReadLatin(rtf).text, QStringLiteral("bodytext"));
}

void TestRtf::readerHostileInputIsBounded_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("prefix"); // the text must start with it
    QString deep = QStringLiteral("{\\rtf1 a");
    for (int i = 0; i < 100000; ++i)
        deep += QStringLiteral("{\\b x");
    QTest::newRow("deep nesting") << deep << "axxx";
    QString closedDeep = QStringLiteral("{\\rtf1 ") + QString(5000, u'{') + QStringLiteral("lost") +
                         QString(5000, u'}') + QStringLiteral("kept}");
    QTest::newRow("too deep groups are skipped") << closedDeep << "kept";
    QTest::newRow("giant numbers") << QStringLiteral("{\\rtf1\\fs99999999999999999999 a\\cf-99999999999999 b"
                                                     "\\u99999999999999999 c\\f-5 d\\uc-7 e}")
                                   << "ab\uFFFF";
    QTest::newRow("truncated hex") << QStringLiteral("{\\rtf1 x\\'4") << "x";
    QTest::newRow("truncated word") << QStringLiteral("{\\rtf1 x\\") << "x";
    QTest::newRow("stray closing brace") << QStringLiteral("}{\\rtf1 x}") << "";
    QTest::newRow("text after the document") << QStringLiteral("{\\rtf1 x}y") << "x";
    QTest::newRow("unclosed groups") << QStringLiteral("{\\rtf1 x{\\b y{\\i z") << "xyz";
    QTest::newRow("binary length beyond end") << QStringLiteral("{\\rtf1 x\\bin999999999 abc") << "x";
    QTest::newRow("negative binary length") << QStringLiteral("{\\rtf1 x\\bin-5 y}") << "xy";
    QTest::newRow("long word") << QStringLiteral("{\\rtf1 ") + QString(100000, u'a').prepend(u'\\') +
                                      QStringLiteral(" x}")
                               << "x";
    QTest::newRow("long number") << QStringLiteral("{\\rtf1\\fs") + QString(100000, u'9') +
                                        QStringLiteral(" x}")
                                 << "x";
    QString tables = QStringLiteral("{\\rtf1{\\fonttbl");
    for (int i = 0; i < 200000; ++i)
        tables += QStringLiteral("{\\f%1\\fcharset134 \\'d6\\'d0;}").arg(i);
    tables += QStringLiteral("}{\\colortbl");
    for (int i = 0; i < 200000; ++i)
        tables += QStringLiteral("\\red1;");
    tables += QStringLiteral("}\\f199999\\cf199999 x}");
    QTest::newRow("huge font and colour tables") << tables << "x";
    // Ten megabytes of random bytes without closing braces, so the whole blob is read: once as
    // a skipped destination, once as text (which stops at the text limit) and as format words.
    constexpr qsizetype blobSize = 10 * 1024 * 1024;
    QRandomGenerator random(99);
    QString blob;
    blob.reserve(blobSize);
    while (blob.size() < blobSize) {
        const auto byte = static_cast<char16_t>(random.bounded(256));
        blob += QChar(byte == u'}' || byte == u'{' ? u' ' : byte);
    }
    QTest::newRow("10 MB skipped") << QStringLiteral("{\\rtf1 a{\\*\\x ") + blob + QStringLiteral("}b}")
                                   << "ab";
    QTest::newRow("10 MB of text") << QStringLiteral("{\\rtf1 ") + blob << "";
    QString words = QStringLiteral("{\\rtf1 ");
    while (words.size() < blobSize)
        words += QStringLiteral("\\b\\i0\\fs12\\cf3\\f7\\uc3\\'00{\\ul}");
    QTest::newRow("10 MB of format words") << words << "";
    QString pages = QStringLiteral("{\\rtf1 ");
    for (int page = 1; pages.size() < blobSize; ++page)
        pages += QStringLiteral("\\ansicpg%1\\'80{\\fonttbl{\\f0\\cpg%1 \\'81;}}").arg(page);
    QTest::newRow("endless code pages") << pages << "";
}

void TestRtf::readerHostileInputIsBounded() {
    QFETCH(QString, rtf);
    QFETCH(QString, prefix);
    const RichText rich = ReadLatin(rtf);
    QVERIFY(rich.IsValid());
    QVERIFY(rich.text.size() <= RtfReader::MaxTextLength);
    QVERIFY2(prefix.isEmpty() || rich.text.startsWith(prefix), qPrintable(rich.text.left(20)));
}

void TestRtf::readerFuzzedDocuments() {
    // Mutations of a realistic document: every result must be consistent, and reading must
    // never crash or hang (the test's time limit catches a hang).
    const QString seed = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
        "{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "{\\*\\generator Msftedit 5.41;}\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Hi "
        "\\b\\f1\\'d6\\'d0\\b0\\u20013?"
        "{\\i x\\'e9}\\ul [GIF_007]\\ulnone\\par\r\n}");
    const QString pieces = QStringLiteral("{}\\'; ?-0123456789abcdefuclpr");
    QRandomGenerator random(12345);
    for (int round = 0; round < 4000; ++round) {
        QString text = seed;
        const int mutations = 1 + random.bounded(8);
        for (int m = 0; m < mutations; ++m) {
            const int at = random.bounded(int(text.size()) + 1);
            switch (random.bounded(4)) {
            case 0:
                text.insert(at, pieces.at(random.bounded(int(pieces.size()))));
                break;
            case 1:
                if (at < text.size())
                    text.remove(at, 1 + random.bounded(4));
                break;
            case 2:
                text.insert(at, QChar(static_cast<char16_t>(random.bounded(0x10000))));
                break;
            default:
                text.truncate(at);
                break;
            }
        }
        for (const LegacyCodePage* page : {&kCp1252, &kCp936})
            QVERIFY(RtfReader::Read(text, *page).IsValid());
    }
}

void TestRtf::fixtureRichEditWestern() {
    const QString rtf = Fixture(QStringLiteral("richedit_cp1252.rtf"));
    QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1")));
    const QString arial = QStringLiteral("Arial");
    const QRgb yellow = qRgb(255, 255, 0);
    const RichText expected = Runs({
        {QStringLiteral("Caf\u00E9 \u20AC"), Format(arial, 240, qRgb(255, 0, 0))},
        {QStringLiteral("5"), Format(arial, 240, qRgb(0, 255, 0), true)},
        {QStringLiteral(" \u00BD"), Format(arial, 240, qRgb(0, 255, 0), false, true)},
        {QStringLiteral("[GIF_003]"), Format(arial, 240, yellow, false, false, true)},
        {QStringLiteral("\u4E2D\u6587{x}"), Format(QStringLiteral("Tahoma"), 140, yellow)},
        {QStringLiteral("\u9908"), Format(QStringLiteral("SimSun"), 240, yellow, false, false, false, 134)},
    });
    COMPARE_RICH(RtfReader::Read(rtf, kCp1252), expected);
}

void TestRtf::fixtureRichEditChinese() {
    // The same bytes read as a content string of a Chinese system (legacy page 936).
    const QString rtf = Fixture(QStringLiteral("richedit_cp936.rtf"), kCp936);
    const QString song = QStringLiteral("\u5B8B\u4F53");
    const RichText expected = Runs({
        {QStringLiteral("\u4E2D\u6587"), Format(song, 320, qRgb(255, 0, 0), false, false, false, 134)},
        {QStringLiteral("AB"), Format(QStringLiteral("Arial"), 240, qRgb(255, 0, 0))},
        {QStringLiteral("\uFF01"), Format(song, 240, qRgb(0, 0, 255), false, false, false, 134)},
    });
    COMPARE_RICH(RtfReader::Read(rtf, kCp936), expected);
    // \\ansicpg936 in the document decides even on a western system.
    COMPARE_RICH(RtfReader::Read(rtf, kCp1252), expected);
}

void TestRtf::fixtureOfficeSuite() {
    const RichText rich = RtfReader::Read(Fixture(QStringLiteral("libreoffice.rtf")), kCp1252);
    const QString serif = QStringLiteral("Liberation Serif");
    // \cf0 is the automatic colour.
    const RichText expected = Runs({
        {QStringLiteral("Red "), Format(serif, 240, qRgb(255, 0, 0))},
        {QStringLiteral("bold"), Auto(Format(serif, 240, 0, true))},
        {QStringLiteral(" caf\u00E9 "), Auto(Format(serif, 240, 0))},
        {QStringLiteral("slanted"), Auto(Format(serif, 240, 0, false, true, true))},
        {QStringLiteral("\u4E2D\u6587"), Auto(Format(QStringLiteral("Noto Sans CJK SC"), 320, 0))},
        {QStringLiteral("\r"), Auto(Format(serif, 240, 0))},
        {QStringLiteral("Second"), Format(serif, 240, qRgb(0, 128, 0))},
    });
    COMPARE_RICH(rich, expected);
}

// LibreOffice gives East Asian and complex-script runs their face and size with \af and \afs
// after \dbch and \rtlch only: each character takes those of its script (a space that of the
// character before it).
void TestRtf::fixtureAssociatedFonts() {
    const auto corpus = [](const char* name) {
        QFile file(QStringLiteral(VEXA_TEST_DATA_DIR "/corpus/rtf/") + QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? kCp1252.Decode(file.readAll()) : QString();
    };
    const QString serif = QStringLiteral("Liberation Serif");
    const QString hei = QStringLiteral("WenQuanYi Micro Hei");
    COMPARE_RICH(RtfReader::Read(corpus("lo-zh-cn.rtf"), kCp1252),
                 Runs({{QStringLiteral("Hi "), Auto(Format(serif, 240, 0))},
                       {QStringLiteral("\u4E2D\u6587\u4FE1\u606F"), Auto(Format(hei, 320, 0))}}));
    COMPARE_RICH(
        RtfReader::Read(corpus("lo-thai.rtf"), kCp1252),
        Runs({{QStringLiteral("\u0E44\u0E17\u0E22 "), Auto(Format(QStringLiteral("Garuda"), 280, 0))},
              {QStringLiteral("ok"), Format(serif, 240, qRgb(0, 255, 0))}}));
    // \hich and \loch name western text: its face and size stay those of \f and \fs.
    COMPARE_RICH(ReadLatin(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B;}}\\hich\\af1\\afs40\\loch\\f0 "
                                          "\\'e9\\dbch\\af1\\afs40 x\\u20013?}")),
                 Runs({{QStringLiteral("\u00E9x"), Auto(Format(QStringLiteral("A"), 240, 0))},
                       {QStringLiteral("\u4E2D"), Auto(Format(QStringLiteral("B"), 400, 0))}}));
}

void TestRtf::fixtureDocumentConverter() {
    const RichText rich = RtfReader::Read(Fixture(QStringLiteral("pandoc.rtf")), kCp1252);
    const QString helvetica = QStringLiteral("Helvetica");
    // pandoc sets no colour: everything is in the automatic colour.
    const RichText expected = Runs({
        {QStringLiteral("Plain "), Auto(Format(helvetica, 240, 0))},
        {QStringLiteral("bold"), Auto(Format(helvetica, 240, 0, true))},
        {QStringLiteral(" "), Auto(Format(helvetica, 240, 0))},
        {QStringLiteral("italic"), Auto(Format(helvetica, 240, 0, false, true))},
        {QStringLiteral(" "), Auto(Format(helvetica, 240, 0))},
        {QStringLiteral("under"), Auto(Format(helvetica, 240, 0, false, false, true))},
        {QStringLiteral(" caf\u00E9 \u4E2D\u6587\r"), Auto(Format(helvetica, 240, 0))},
        {QStringLiteral("code"), Auto(Format(QStringLiteral("Courier"), 240, 0))},
        {QStringLiteral(" \u201Cquoted\u201D"), Auto(Format(helvetica, 240, 0))},
    });
    COMPARE_RICH(rich, expected);
}

void TestRtf::writerGoldenDocument() {
    const RichText rich = Runs({
        {QStringLiteral("Hi "), Format(QStringLiteral("Arial"), 240, qRgb(255, 0, 0))},
        {QStringLiteral("b{\\}"), Format(QStringLiteral("Arial"), 240, qRgb(255, 0, 0), true)},
        {QStringLiteral("\u4E2D\r\t9"),
         Format(QStringLiteral("SimSun"), 330, qRgb(0, 255, 0), true, true, true)},
    });
    const QString expected = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
        "{\\f1\\fnil\\fcharset134 SimSun;}}\r\n{\\colortbl "
        ";\\red255\\green0\\blue0;\\red0\\green255\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Hi \\b b\\{\\\\\\}\\cf2\\i\\ul\\f1\\fs33\\u20013?\\par\\tab "
        "9\\par\r\n}\r\n");
    QCOMPARE(RtfWriter::Write(rich), expected);

    // Before literal text the fallback is a hex escape: some readers skip a whole run of text
    // as the fallback of \uN and would lose the text after a plain '?'.
    const QString fallback =
        RtfWriter::Write(Runs({{QStringLiteral("\u00E9x \u00E9"), Format(QString(), 240, 0)}}));
    QVERIFY(fallback.contains(QStringLiteral("\\u233\\'3fx \\u233?\\par")));
}

void TestRtf::writerEmptyDocumentIsComplete() {
    const QString rtf = RtfWriter::Write(RichText{});
    QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi")));
    QVERIFY(rtf.contains(QStringLiteral("\\viewkind4\\uc1\\pard")));
    QVERIFY(rtf.endsWith(QStringLiteral("\\par\r\n}\r\n")));
    QVERIFY(rtf.size() < 200);
    const RichText back = ReadLatin(rtf);
    QVERIFY(back.text.isEmpty());
    QVERIFY(back.IsValid());
}

void TestRtf::writerRoundTripKeepsEveryFormat() {
    const RichText rich = Runs({
        {QStringLiteral("Plain \\{braces}\t"), Format(QStringLiteral("Arial"), 240, qRgb(0, 0, 0))},
        {QStringLiteral("B"), Format(QStringLiteral("Arial"), 240, qRgb(0, 0, 0), true)},
        {QStringLiteral("I"), Format(QStringLiteral("Arial"), 240, qRgb(0, 0, 0), false, true)},
        {QStringLiteral("U"), Format(QStringLiteral("Arial"), 240, qRgb(0, 0, 0), false, false, true)},
        {QStringLiteral("\r"), Format(QStringLiteral("Arial"), 240, qRgb(0, 0, 0), false, false, true)},
        {QStringLiteral("caf\u00E9 \u20AC\u00A0\u00FF\u007F"),
         Format(QStringLiteral("Times New Roman"), 330, qRgb(1, 2, 3))},
        {QStringLiteral("\u4E2D\u6587[GIF_007]"),
         Format(QStringLiteral("SimSun"), 320, qRgb(255, 150, 0), true, false, false, 134)},
        {QStringLiteral("\u81FA\u7063"),
         Format(QStringLiteral("MingLiU"), 240, qRgb(160, 233, 0), false, true, false, 136)},
        {QStringLiteral("\u3042\uFF21"),
         Format(QStringLiteral("MS Gothic"), 200, qRgb(255, 255, 0), false, false, false, 128)},
        {QStringLiteral("\uD55C"),
         Format(QStringLiteral("Gulim"), 240, qRgb(0, 255, 0), true, true, true, 129)},
        {QString::fromUcs4(U"\U0001F600"), Format(QStringLiteral("Arial"), 20, qRgb(255, 255, 255))},
        {QStringLiteral("\r\r"), Format(QStringLiteral("Arial"), 240, qRgb(0, 0, 0))},
    });
    const QString rtf = RtfWriter::Write(rich);
    for (QChar c : rtf)
        QVERIFY2(c.unicode() < 0x80, "the document must be 7-bit");
    COMPARE_RICH(RtfReader::Read(rtf, kCp1252), rich);
    // A Chinese system reads the same document the same way.
    COMPARE_RICH(RtfReader::Read(rtf, kCp936), rich);
}

void TestRtf::writerRoundTripOfRandomTexts() {
    const QStringList faces{QStringLiteral("Arial"), QStringLiteral("SimSun"), QStringLiteral("Courier New"),
                            QStringLiteral("MS Gothic"), QString()};
    const QString characters = QStringLiteral("aZ 09;?\\{}\t\r\u00E9\u00A0\u20AC\u4E2D\uFF01\u0414[GIF_]");
    QRandomGenerator random(2026);
    for (int round = 0; round < 300; ++round) {
        RichText rich;
        const int runs = random.bounded(12);
        for (int r = 0; r < runs; ++r) {
            const QString face = faces.at(random.bounded(int(faces.size())));
            CharFormat format =
                Format(face, 10 * (1 + random.bounded(400)),
                       qRgb(random.bounded(256), random.bounded(256), random.bounded(256)), random.bounded(2),
                       random.bounded(2), random.bounded(2), RtfWriter::CharsetOfFace(face));
            QString text;
            const int length = random.bounded(1, 6);
            for (int k = 0; k < length; ++k)
                text += characters.at(random.bounded(int(characters.size())));
            rich.Append(text, format);
        }
        COMPARE_RICH(RtfReader::Read(RtfWriter::Write(rich), kCp1252), rich);
    }
}

void TestRtf::writerSurvivesLineBreakRemoval() {
    // The message file stores content strings without their carriage-return/line-feed pairs.
    const RichText rich = Runs({
        {QStringLiteral("one\rtwo\rthree"), Format(QStringLiteral("Arial"), 240, qRgb(255, 0, 0))},
        {QStringLiteral("\rfour"), Format(QStringLiteral("Arial"), 240, qRgb(255, 0, 0), true)},
    });
    QString stored = RtfWriter::Write(rich);
    stored.remove(QStringLiteral("\r\n"));
    COMPARE_RICH(ReadLatin(stored), rich);
}

void TestRtf::writerFaceNamesAndCharsets() {
    QCOMPARE(RtfWriter::CharsetOfFace(QStringLiteral("simsun")), 134);
    QCOMPARE(RtfWriter::CharsetOfFace(QStringLiteral("\u5B8B\u4F53")), 134);
    QCOMPARE(RtfWriter::CharsetOfFace(QStringLiteral("PMingLiU")), 136);
    QCOMPARE(RtfWriter::CharsetOfFace(QStringLiteral("Arial")), 0);
    // A CJK face without a charset in its format gets one, so its bytes are read in its page.
    const RichText rich =
        Runs({{QStringLiteral("x"), Format(QStringLiteral("\u5B8B\u4F53"), 240, qRgb(0, 0, 0))}});
    const QString rtf = RtfWriter::Write(rich);
    QVERIFY(rtf.contains(QStringLiteral("\\fcharset134 \\'cb\\'ce\\'cc\\'e5;")));
    QCOMPARE(ReadLatin(rtf).formats.at(0).charset, 134);
    QCOMPARE(ReadLatin(rtf).formats.at(0).face, QStringLiteral("\u5B8B\u4F53"));
    // Faces the charset's page cannot hold, and faces with table syntax in them, still travel.
    const RichText odd =
        Runs({{QStringLiteral("y"), Format(QStringLiteral("A;{b}\\ \u0414\u4E2D"), 240, qRgb(0, 0, 0))}});
    QCOMPARE(ReadLatin(RtfWriter::Write(odd)).formats.at(0).face, QStringLiteral("A;{b}\\ \u0414\u4E2D"));
}

void TestRtf::documentRoundTrip() {
    const RichText rich = Runs({
        {QStringLiteral("Red "), Format(QStringLiteral("Arial"), 240, qRgb(255, 0, 0))},
        {QStringLiteral("bold\r"), Format(QStringLiteral("Arial"), 330, qRgb(0, 255, 0), true)},
        {QStringLiteral("\u4E2D\u6587"),
         Format(QStringLiteral("SimSun"), 320, qRgb(255, 255, 0), false, true, true, 134)},
        // Automatic colour stays automatic (written as \cf0), explicit black stays black.
        {QStringLiteral(" auto"), Auto(Format(QStringLiteral("Arial"), 240, 0))},
        {QStringLiteral(" black"), Format(QStringLiteral("Arial"), 240, qRgb(0, 0, 0))},
    });
    QTextDocument document;
    RichTextDocument::SetRTF(document, RtfWriter::Write(rich), kCp1252);
    QCOMPARE(document.blockCount(), 2);
    QCOMPARE(document.toPlainText(), QStringLiteral("Red bold\n\u4E2D\u6587 auto black"));
    QVERIFY(!document.isUndoAvailable());
    COMPARE_RICH(RichTextDocument::ToRichText(document), rich);
    COMPARE_RICH(ReadLatin(RichTextDocument::GetRTF(document)), rich);
    QVERIFY(RichTextDocument::GetRTF(document).contains(QStringLiteral("\\cf0\\")));
}

void TestRtf::documentEmptyGivesShortRtf() {
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Arial"), 16));
    const QString rtf = RichTextDocument::GetRTF(document);
    QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1")));
    QVERIFY(rtf.endsWith(QStringLiteral("}\r\n")));
    QVERIFY(rtf.size() < 250);
    QVERIFY(rtf.contains(QStringLiteral("Arial;")));
    QVERIFY(rtf.contains(QStringLiteral("\\fs32")));
    QVERIFY(ReadLatin(rtf).text.isEmpty());

    // Setting an empty document empties a full one and keeps the format it was written in.
    QTextDocument full;
    full.setPlainText(QStringLiteral("old text"));
    RichTextDocument::SetRTF(full, rtf, kCp1252);
    QVERIFY(full.isEmpty());
    const QString again = RichTextDocument::GetRTF(full);
    QVERIFY(again.contains(QStringLiteral("Arial;")));
    QVERIFY(again.contains(QStringLiteral("\\fs32")));

    CharFormat endFormat;
    RtfReader::Read(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B;}}\\f0 x\\f1\\fs40\\b\\par}"), kCp1252,
                    &endFormat);
    QCOMPARE(endFormat, Auto(Format(QStringLiteral("B"), 400, 0, true)));
}

void TestRtf::documentFormatMapping() {
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Tahoma"), 10));
    QTextCursor cursor(&document);
    QTextCharFormat semi;
    semi.setFontWeight(600);
    cursor.insertText(QStringLiteral("s"), semi);
    QTextCharFormat medium;
    medium.setFontWeight(500);
    medium.setFontPointSize(7.5);
    cursor.insertText(QStringLiteral("m"), medium);
    cursor.insertText(QStringLiteral("a\u2028b"), QTextCharFormat());
    const RichText rich = RichTextDocument::ToRichText(document);
    QCOMPARE(rich.text, QStringLiteral("sma\rb"));
    QCOMPARE(rich.formats.at(0), Format(QStringLiteral("Tahoma"), 200, qRgb(0, 0, 0), true));
    QCOMPARE(rich.formats.at(1), Format(QStringLiteral("Tahoma"), 150, qRgb(0, 0, 0)));
    QCOMPARE(rich.formats.at(2), Format(QStringLiteral("Tahoma"), 200, qRgb(0, 0, 0)));
}

void TestRtf::asciiFilterRemovesAndMovesSelection_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("filtered");
    QTest::addColumn<int>("newStart");
    QTest::addColumn<int>("newEnd");
    QTest::newRow("typed at the end") << QStringLiteral("ab\u00E9") << 3 << 3 << "ab" << 2 << 2;
    QTest::newRow("pasted into empty") << QStringLiteral("a\u00F1b") << 3 << 3 << "ab" << 2 << 2;
    QTest::newRow("typed in the middle") << QStringLiteral("a\u00E9b") << 2 << 2 << "ab" << 1 << 1;
    QTest::newRow("pasted in the middle") << QStringLiteral("xa\u00F1by") << 4 << 4 << "xaby" << 3 << 3;
    QTest::newRow("selection around removed")
        << QStringLiteral("a\u4E2D\u6587bc") << 0 << 4 << "abc" << 0 << 2;
    QTest::newRow("tab stays, 127 goes") << QStringLiteral("a\tb\u007F") << 4 << 4 << "a\tb" << 3 << 3;
    QTest::newRow("positions past the end are clamped")
        << QStringLiteral("\u00E9a") << 50 << 60 << "a" << 1 << 1;
}

void TestRtf::asciiFilterRemovesAndMovesSelection() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, filtered);
    QFETCH(int, newStart);
    QFETCH(int, newEnd);
    QTextDocument document;
    document.setPlainText(text);
    QVERIFY(AsciiFilter::Apply(document, &start, &end));
    QCOMPARE(document.toPlainText(), filtered);
    QCOMPARE(start, newStart);
    QCOMPARE(end, newEnd);
}

void TestRtf::asciiFilterKeepsStructureAndFormats() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("a\u00E9"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("\u00A0b"), bold);
    cursor.insertText(QStringLiteral("\u2028c"));
    int start = 2;
    QVERIFY(AsciiFilter::Apply(document, &start, nullptr));
    QCOMPARE(document.toRawText(), QStringLiteral("a\u2029b\u2028c"));
    QCOMPARE(start, 1);
    QCOMPARE(document.blockCount(), 2);
    QCOMPARE(RichTextDocument::ToRichText(document).formats.at(2).bold, true);
    QVERIFY(!AsciiFilter::Apply(document, &start, nullptr));
    QCOMPARE(start, 1);
    // One removal is one undo step.
    document.undo();
    QCOMPARE(document.toRawText(), QStringLiteral("a\u00E9\u2029\u00A0b\u2028c"));
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
