#include "render/ContentGrammar.h"

#include <QRandomGenerator>
#include <QTest>

using namespace vexa;

Q_DECLARE_METATYPE(vexa::ContentKind)

class TestContentGrammar : public QObject {
    Q_OBJECT

private slots:
    void kindIsDecidedByExactTags_data();
    void kindIsDecidedByExactTags();
    void bitmapFontTextLosesOnlyTrailingWhiteSpace();
    void animationTokens_data();
    void animationTokens();
    void animationTokenTextRoundTrips();
    void integerConversionFollowsCRules_data();
    void integerConversionFollowsCRules();
    void glyphCodeLists_data();
    void glyphCodeLists();
    void glyphCodesTextIsReadBack();
    void dateFlagsAndEmbeddedText_data();
    void dateFlagsAndEmbeddedText();
    void dateTagTextRoundTrips();
    void imageListsNeedTheirSemicolon_data();
    void imageListsNeedTheirSemicolon();
    void randomStringsNeverReadOutOfRange();
};

void TestContentGrammar::kindIsDecidedByExactTags_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<ContentKind>("kind");
    QTest::newRow("empty") << QString() << ContentKind::Blank;
    QTest::newRow("white space only") << QStringLiteral(" \t\r\n\u00A0\u3000") << ContentKind::Blank;
    QTest::newRow("rtf") << QStringLiteral("{\\rtf1\\ansi x}") << ContentKind::Rtf;
    QTest::newRow("rtf tag alone") << QStringLiteral("{\\rtf") << ContentKind::Rtf;
    QTest::newRow("rtf upper case is no rtf") << QStringLiteral("{\\RTF1}") << ContentKind::ImageList;
    QTest::newRow("rtf after a space") << QStringLiteral(" {\\rtf1}") << ContentKind::ImageList;
    QTest::newRow("bitmap font") << QStringLiteral("[ASCII]AB") << ContentKind::BitmapFont;
    QTest::newRow("bitmap font empty") << QStringLiteral("[ASCII]") << ContentKind::BitmapFont;
    QTest::newRow("lower case ascii is an image list")
        << QStringLiteral("[ascii]ABC") << ContentKind::ImageList;
    QTest::newRow("glyph codes") << QStringLiteral("[DASCII]65,") << ContentKind::GlyphCodes;
    QTest::newRow("date") << QStringLiteral("[DATE_110000]") << ContentKind::Date;
    QTest::newRow("date tag only") << QStringLiteral("[DATE_") << ContentKind::Date;
    QTest::newRow("truncated tag") << QStringLiteral("[ASCII") << ContentKind::ImageList;
    QTest::newRow("image list") << QStringLiteral("C:/a.bmp;") << ContentKind::ImageList;
}

void TestContentGrammar::kindIsDecidedByExactTags() {
    QFETCH(QString, content);
    QFETCH(ContentKind, kind);
    QCOMPARE(ContentGrammar::KindOf(content), kind);
    QCOMPARE(ContentGrammar::Parse(content).kind, kind);
}

void TestContentGrammar::bitmapFontTextLosesOnlyTrailingWhiteSpace() {
    QCOMPARE(ContentGrammar::Parse(QStringLiteral("[ASCII]AB  ")).text, QStringLiteral("AB"));
    QCOMPARE(ContentGrammar::Parse(QStringLiteral("[ASCII]  AB")).text, QStringLiteral("  AB"));
    QCOMPARE(ContentGrammar::Parse(QStringLiteral("[ASCII]A B\t\r\n\v\f\u00A0")).text, QStringLiteral("A B"));
    QCOMPARE(ContentGrammar::Parse(QStringLiteral("[ASCII]   ")).text, QString());
    QCOMPARE(ContentGrammar::Parse(ContentGrammar::BitmapFontText(QStringLiteral(" [x] "))).text,
             QStringLiteral(" [x]"));
    QCOMPARE(ContentGrammar::Parse(QStringLiteral("[DASCII]65, 66 \r\n")).text, QStringLiteral("65, 66"));
}

void TestContentGrammar::animationTokens_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("isToken");
    QTest::addColumn<int>("number");
    QTest::newRow("plain") << QStringLiteral("[GIF_007]") << 0 << true << 7;
    QTest::newRow("inside text") << QStringLiteral("ab[GIF_031]cd") << 2 << true << 31;
    QTest::newRow("short form is no token") << QStringLiteral("[GIF_7]") << 0 << false << 0;
    QTest::newRow("short form with text after") << QStringLiteral("[GIF_7]xx") << 0 << false << 0;
    QTest::newRow("letters read as 0") << QStringLiteral("[GIF_abc]") << 0 << true << 0;
    QTest::newRow("digits then letters") << QStringLiteral("[GIF_1x9]") << 0 << true << 1;
    QTest::newRow("leading space and sign") << QStringLiteral("[GIF_ -5]") << 0 << true << -5;
    QTest::newRow("lower case gif") << QStringLiteral("[gif_007]") << 0 << false << 0;
    QTest::newRow("cut at end") << QStringLiteral("[GIF_007") << 0 << false << 0;
    QTest::newRow("not at bracket") << QStringLiteral("x[GIF_007]") << 0 << false << 0;
    QTest::newRow("negative position") << QStringLiteral("[GIF_007]") << -1 << false << 0;
    QTest::newRow("position past end") << QStringLiteral("[GIF_007]") << 9 << false << 0;
    QTest::newRow("last fitting position") << QStringLiteral("xx[GIF_123]") << 2 << true << 123;
}

void TestContentGrammar::animationTokens() {
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(bool, isToken);
    QFETCH(int, number);
    int read = -999;
    QCOMPARE(ContentGrammar::ReadAnimationToken(text, position, &read), isToken);
    if (isToken)
        QCOMPARE(read, number);
    else
        QCOMPARE(read, -999); // the number is left alone when there is no token
}

void TestContentGrammar::animationTokenTextRoundTrips() {
    for (int n : {0, 7, 31, 64, 999}) {
        const QString token = ContentGrammar::AnimationTokenText(n);
        QCOMPARE(token.size(), ContentGrammar::AnimationTokenLength);
        int read = -1;
        QVERIFY(ContentGrammar::ReadAnimationToken(token, 0, &read));
        QCOMPARE(read, n);
    }
    QCOMPARE(ContentGrammar::AnimationTokenText(7), QStringLiteral("[GIF_007]"));
}

void TestContentGrammar::integerConversionFollowsCRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("digits") << QStringLiteral("65") << 65;
    QTest::newRow("leading zeros") << QStringLiteral("007") << 7;
    QTest::newRow("leading white space") << QStringLiteral(" \t 42") << 42;
    QTest::newRow("plus sign") << QStringLiteral("+12") << 12;
    QTest::newRow("minus sign") << QStringLiteral("-12") << -12;
    QTest::newRow("stops at non-digit") << QStringLiteral("12ab3") << 12;
    QTest::newRow("sign without digits") << QStringLiteral("-") << 0;
    QTest::newRow("space after sign") << QStringLiteral("- 3") << 0;
    QTest::newRow("trailing space") << QStringLiteral("9 ") << 9;
    QTest::newRow("overflow clamps") << QStringLiteral("99999999999999999999") << 2147483647;
    QTest::newRow("underflow clamps") << QStringLiteral("-99999999999999999999") << int(-2147483647 - 1);
    QTest::newRow("full-width digits are no digits") << QStringLiteral("\uFF11") << 0;
}

void TestContentGrammar::integerConversionFollowsCRules() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(ContentGrammar::ToInteger(text), value);
}

void TestContentGrammar::glyphCodeLists_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<QList<quint32>>("codes");
    QTest::newRow("none") << QStringLiteral("[DASCII]") << QList<quint32>{};
    QTest::newRow("final comma") << QStringLiteral("[DASCII]65,66,") << QList<quint32>{65, 66};
    QTest::newRow("no final comma") << QStringLiteral("[DASCII]65,66") << QList<quint32>{65, 66};
    QTest::newRow("run of commas") << QStringLiteral("[DASCII]65,,66") << QList<quint32>{65, 66};
    QTest::newRow("leading commas") << QStringLiteral("[DASCII],,,65") << QList<quint32>{65};
    QTest::newRow("space piece is zero") << QStringLiteral("[DASCII]65, ,66") << QList<quint32>{65, 0, 66};
    QTest::newRow("garbage piece is zero") << QStringLiteral("[DASCII]x,8193") << QList<quint32>{0, 8193};
    QTest::newRow("negative wraps") << QStringLiteral("[DASCII]-1,") << QList<quint32>{0xFFFFFFFFu};
    QTest::newRow("trailing white space") << QStringLiteral("[DASCII]1,2,\r\n ") << QList<quint32>{1, 2};
}

void TestContentGrammar::glyphCodeLists() {
    QFETCH(QString, content);
    QFETCH(QList<quint32>, codes);
    QCOMPARE(ContentGrammar::Parse(content).glyphCodes, codes);
}

void TestContentGrammar::glyphCodesTextIsReadBack() {
    const QList<quint32> codes{65, 66, (2u << 11) | 65u, (6u << 13) | 193u, 0xFFFFFFFFu};
    const QString text = ContentGrammar::GlyphCodesText(codes);
    QVERIFY(text.startsWith(QStringLiteral("[DASCII]65,66,")));
    QVERIFY(text.endsWith(QStringLiteral(",-1,")));
    QCOMPARE(ContentGrammar::Parse(text).glyphCodes, codes);
    QCOMPARE(ContentGrammar::GlyphCodesText({}), QStringLiteral("[DASCII]"));
}

void TestContentGrammar::dateFlagsAndEmbeddedText_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("flags"); // six characters '1'/'0'
    QTest::addColumn<ContentKind>("embeddedKind");
    QTest::addColumn<QString>("embedded");
    QTest::newRow("year and month with rtf")
        << QStringLiteral("[DATE_110000]{\\rtf1 x}") << "110000" << ContentKind::Rtf << "{\\rtf1 x}";
    QTest::newRow("time and seconds with ascii")
        << QStringLiteral("[DATE_000011][ASCII]Time:  ") << "000011" << ContentKind::BitmapFont << "Time:";
    QTest::newRow("seconds flag alone is still read")
        << QStringLiteral("[DATE_000001][ASCII]X") << "000001" << ContentKind::BitmapFont << "X";
    QTest::newRow("no closing bracket")
        << QStringLiteral("[DATE_111111") << "000000" << ContentKind::Blank << "";
    QTest::newRow("tag only") << QStringLiteral("[DATE_") << "000000" << ContentKind::Blank << "";
    QTest::newRow("short flags") << QStringLiteral("[DATE_11]") << "110000" << ContentKind::Blank << "";
    QTest::newRow("long flags use six")
        << QStringLiteral("[DATE_00000011]") << "000000" << ContentKind::Blank << "";
    QTest::newRow("non-digits are off")
        << QStringLiteral("[DATE_x9 -1a]") << "010010" << ContentKind::Blank << "";
    QTest::newRow("other text is no text")
        << QStringLiteral("[DATE_100000]hello") << "100000" << ContentKind::Blank << "";
    QTest::newRow("glyph codes are not embedded")
        << QStringLiteral("[DATE_100000][DASCII]65,") << "100000" << ContentKind::Blank << "";
    QTest::newRow("first bracket wins")
        << QStringLiteral("[DATE_1]1][ASCII]A") << "100000" << ContentKind::Blank << "";
}

void TestContentGrammar::dateFlagsAndEmbeddedText() {
    QFETCH(QString, content);
    QFETCH(QString, flags);
    QFETCH(ContentKind, embeddedKind);
    QFETCH(QString, embedded);
    const ParsedContent parsed = ContentGrammar::Parse(content);
    QCOMPARE(parsed.kind, ContentKind::Date);
    QString read;
    for (bool on : parsed.dateFlags)
        read += on ? u'1' : u'0';
    QCOMPARE(read, flags);
    QCOMPARE(parsed.embeddedKind, embeddedKind);
    QCOMPARE(parsed.embedded, embedded);
}

void TestContentGrammar::dateTagTextRoundTrips() {
    const DateFlags flags{true, false, true, false, true, true};
    const QString tag = ContentGrammar::DateTagText(flags);
    QCOMPARE(tag, QStringLiteral("[DATE_101011]"));
    QCOMPARE(ContentGrammar::Parse(tag + QStringLiteral("[ASCII]A")).dateFlags, flags);
}

void TestContentGrammar::imageListsNeedTheirSemicolon_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("no final semicolon")
        << QStringLiteral("C:\\a.bmp;D:\\b.png") << QStringList{QStringLiteral("C:\\a.bmp")};
    QTest::newRow("final semicolon") << QStringLiteral("C:\\a.bmp;D:\\b.png;")
                                     << QStringList{QStringLiteral("C:\\a.bmp"), QStringLiteral("D:\\b.png")};
    QTest::newRow("no semicolon at all") << QStringLiteral("/img/a.png") << QStringList{};
    QTest::newRow("lower case tag names nothing") << QStringLiteral("[ascii]ABC") << QStringList{};
    QTest::newRow("paths keep their spaces")
        << QStringLiteral(" /a b.png ;") << QStringList{QStringLiteral(" /a b.png ")};
}

void TestContentGrammar::imageListsNeedTheirSemicolon() {
    QFETCH(QString, content);
    QFETCH(QStringList, paths);
    const ParsedContent parsed = ContentGrammar::Parse(content);
    QCOMPARE(parsed.imagePaths, paths);
    if (!paths.isEmpty())
        QCOMPARE(ContentGrammar::Parse(ContentGrammar::ImageListText(paths)).imagePaths, paths);
}

void TestContentGrammar::randomStringsNeverReadOutOfRange() {
    // Short strings built from the grammar's own characters reach every boundary of every
    // reader; Qt's range assertions fire in debug builds if any read goes past the end.
    QRandomGenerator random(4711);
    const QString alphabet = QStringLiteral("[]{}\\rtfASCIDTE_GIF0123456789,; -\t\u00A0\u4E2D");
    for (int round = 0; round < 5000; ++round) {
        QString text;
        const QStringList tags{QStringLiteral("[DATE_"), QStringLiteral("[ASCII]"),
                               QStringLiteral("[DASCII]"), QStringLiteral("[GIF_"), QString()};
        text += tags.at(random.bounded(int(tags.size())));
        const int length = random.bounded(14);
        for (int k = 0; k < length; ++k)
            text += alphabet.at(random.bounded(int(alphabet.size())));
        const ParsedContent parsed = ContentGrammar::Parse(text);
        QVERIFY(parsed.text.size() <= text.size());
        for (qsizetype i = -2; i < text.size() + 2; ++i)
            ContentGrammar::ReadAnimationToken(text, i);
    }
}

QTEST_GUILESS_MAIN(TestContentGrammar)
#include "tst_contentgrammar.moc"
