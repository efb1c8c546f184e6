#include "render/RtfReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace vexa;

namespace {

const LegacyCodePage kCp1252(1252);
const LegacyCodePage kCp936(936);

RichText ReadLatin(const QString& rtf) { return RtfReader::Read(rtf, kCp1252); }

// The fixtures are stored as the bytes other programs write; content strings hold those
// bytes converted with the legacy code page.
[[maybe_unused]] QString Fixture(const QString& name, const LegacyCodePage& page = kCp1252) {
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
};

void TestRtf::readerDefaultsWithoutFormatting() {
    const RichText rich = ReadLatin(QStringLiteral("{\\rtf1\\ansi Hello}"));
    QCOMPARE(rich.text, QStringLiteral("Hello"));
    QVERIFY(rich.IsValid());
    QVERIFY(SameFormat(rich, 0, 5, Format(QString(), 240, qRgb(0, 0, 0))));

    const RichText withDefaultFont = ReadLatin(
        QStringLiteral("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 Arial;}{\\f1\\fswiss Tahoma;}}x\\plain y}"));
    QCOMPARE(withDefaultFont.text, QStringLiteral("xy"));
    QVERIFY(SameFormat(withDefaultFont, 0, 2, Format(QStringLiteral("Tahoma"), 240, qRgb(0, 0, 0))));
}

void TestRtf::readerTextEscapesAndSpecialCharacters_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("text");
    QTest::newRow("braces and backslash") << "a\\{b\\}c\\\\d" << "a{b}c\\d";
    QTest::newRow("delimiting space is eaten") << "\\b bold\\b0  two" << "bold two";
    QTest::newRow("file line breaks are not text") << "a\r\nb\nc\rd" << "abcd";
    QTest::newRow("par and line end lines") << "a\\par b\\line c" << "a\rb\rc";
    QTest::newRow("closing paragraph mark dropped") << "a\\par " << "a";
    QTest::newRow("empty paragraph kept") << "a\\par\\par " << "a\r";
    QTest::newRow("tab") << "a\\tab b\tc" << "a\tb\tc";
    QTest::newRow("no-break space and hyphens") << "a\\~b\\-c\\_d" << "a\u00A0bc\u2011d";
    QTest::newRow("quotes and dashes")
        << "\\lquote x\\rquote \\ldblquote y\\rdblquote \\emdash\\endash\\bullet"
        << "\u2018x\u2019\u201Cy\u201D\u2014\u2013\u2022";
    QTest::newRow("escaped line break is a paragraph") << "a\\\nb" << "a\rb";
    QTest::newRow("unknown words vanish") << "a\\foo12 b\\zzz-3c" << "abc";
    QTest::newRow("upper case ends a word") << "\\parWorld" << "\rWorld";
    QTest::newRow("minus without digits is text") << "\\b-x" << "-x";
    QTest::newRow("hex byte") << "caf\\'e9 \\'80" << "caf\u00E9 \u20AC";
    QTest::newRow("hex upper case digits") << "\\'C9\\'e9" << "\u00C9\u00E9";
    QTest::newRow("NUL bytes ignored") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << "ab";
    QTest::newRow("literal text beyond bytes") << "\u4E2D\u6587" << "\u4E2D\u6587";
    QTest::newRow("field result is text")
        << "{\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul link}}} after" << "link after";
}

void TestRtf::readerTextEscapesAndSpecialCharacters() {
    QFETCH(QString, body);
    QFETCH(QString, text);
    const RichText rich = ReadLatin(QStringLiteral("{\\rtf1\\ansi ") + body + u'}');
    QCOMPARE(rich.text, text);
    QVERIFY(rich.IsValid());
}

void TestRtf::readerEffectsFollowGroups() {
    const RichText rich =
        ReadLatin(QStringLiteral("{\\rtf1 a{\\b b{\\i c\\ul d\\ulnone e}\\b0 f}g\\i1 h\\i0\\uldb i\\ulc2 j\\plain k}"));
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
        "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman{\\*\\falt Times};}\\f2\\fswiss Verdana;\\f3 Courier New;}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red300\\green-4\\blue7;}"
        "\\cf1\\fs20 a\\f1\\cf2\\fs33 b\\f2\\cf3 c\\f3\\cf0 d\\f9\\cf99 e}");
    const RichText rich = ReadLatin(rtf);
    QCOMPARE(rich.text, QStringLiteral("abcde"));
    QCOMPARE(rich.formats.at(0), Format(QStringLiteral("Arial"), 200, qRgb(255, 0, 0)));
    QCOMPARE(rich.formats.at(1), Format(QStringLiteral("Times New Roman"), 330, qRgb(0, 255, 0)));
    QCOMPARE(rich.formats.at(2), Format(QStringLiteral("Verdana"), 330, qRgb(255, 0, 7)));
    QCOMPARE(rich.formats.at(3), Format(QStringLiteral("Courier New"), 330, qRgb(0, 0, 0)));
    // An unknown font number falls back to the default font, an unknown colour to black.
    QCOMPARE(rich.formats.at(4), Format(QStringLiteral("Arial"), 330, qRgb(0, 0, 0)));

    // A colour table without the empty first entry: \cf0 is its first colour.
    const RichText first =
        ReadLatin(QStringLiteral("{\\rtf1{\\colortbl\\red0\\green0\\blue255;\\red9\\green9\\blue9;}\\cf0 x}"));
    QCOMPARE(first.formats.at(0).colour, qRgb(0, 0, 255));
}

void TestRtf::readerUnicodeWithFallbacks() {
    const RichText rich = ReadLatin(QStringLiteral(
        "{\\rtf1\\ansi\\uc1 \\u20013?\\u-26360?x{\\uc2\\u233\\'e9\\'e9y}\\u233 ?z\\uc0\\u8364 w\\uc1{\\u66\\'41}v}"));
    // \u-26360 is U+9908; \uc2 skips two \'hh fallbacks; after "\u233 " the fallback is '?'.
    QCOMPARE(rich.text, QStringLiteral("\u4E2D\u9908x\u00E9y\u00E9z\u20ACwBv"));

    // Fallback skipping stops at a group end and never eats the text after it.
    const RichText cut = ReadLatin(QStringLiteral("{\\rtf1{\\uc5\\u20013}abc}"));
    QCOMPARE(cut.text, QStringLiteral("\u4E2Dabc"));
    // A huge \uc is clamped instead of swallowing the document.
    const RichText clamped = ReadLatin(QStringLiteral("{\\rtf1\\uc2000000000\\u65 0123456789012345678901234}"));
    QCOMPARE(clamped.text, QStringLiteral("A678901234"));
    // Surrogate pairs are written as two units.
    const RichText pair = ReadLatin(QStringLiteral("{\\rtf1\\u-10179?\\u-8704?}"));
    QCOMPARE(pair.text, QString::fromUcs4(U"\U0001F600"));
}

void TestRtf::readerCodePagesOfFonts() {
    // GB2312 font: two \'hh bytes make one character; the face name is in the font's code page.
    const QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
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
    QTest::newRow("long number") << QStringLiteral("{\\rtf1\\fs") + QString(100000, u'9') + QStringLiteral(" x}")
                                 << "x";
    QString blob;
    QRandomGenerator random(99);
    blob.reserve(10 * 1024 * 1024);
    blob += QStringLiteral("{\\rtf1 ");
    while (blob.size() < 10 * 1024 * 1024)
        blob += QChar(static_cast<char16_t>(random.bounded(256)));
    QTest::newRow("10 MB of bytes") << blob << "";
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
        "{\\*\\generator Msftedit 5.41;}\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Hi \\b\\f1\\'d6\\'d0\\b0\\u20013?"
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

QTEST_GUILESS_MAIN(TestRtf)
#include "tst_rtf.moc"
