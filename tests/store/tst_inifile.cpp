#include "store/CIniFile.h"
#include "store/EncodedTextReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace vexa;

namespace {

QByteArray Utf16Le(const QString& text, bool bom = true) {
    QByteArray bytes = bom ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (const QChar c : text)
        bytes.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    return bytes;
}

QByteArray Utf16Be(const QString& text) {
    QByteArray bytes("\xFE\xFF", 2);
    for (const QChar c : text)
        bytes.append(static_cast<char>(c.unicode() >> 8)).append(static_cast<char>(c.unicode() & 0xFF));
    return bytes;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString Path(const QString& name) const { return dir.filePath(name); }

    CIniFile Loaded(const QByteArray& bytes, int codePage = 1252) {
        const QString path = Path(QStringLiteral("in.ini"));
        WriteBytes(path, bytes);
        CIniFile ini;
        ini.SetCodePage(LegacyCodePage(codePage));
        ini.filePath = path;
        if (!ini.LoadFile())
            qWarning("load failed");
        return ini;
    }

private slots:
    void encodingsAreDetectedAndDecoded_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("expected");
        const QString text = QStringLiteral("[K]\r\nname=Grüße 中文\r\n");
        QTest::newRow("utf-16le") << Utf16Le(text) << 1252 << QStringLiteral("Grüße 中文");
        QTest::newRow("utf-16be") << Utf16Be(text) << 1252 << QStringLiteral("Grüße 中文");
        QTest::newRow("utf-8 with mark")
            << (QByteArray("\xEF\xBB\xBF") + text.toUtf8()) << 1252 << QStringLiteral("Grüße 中文");
        // Without its mark UTF-8 is read as the legacy page: each byte a cp1252 character.
        QTest::newRow("utf-8 without mark") << QStringLiteral("[K]\r\nname=Grüße\r\n").toUtf8() << 1252
                                            << QStringLiteral("Gr\u00C3\u00BC\u00C3\u0178e");
        QTest::newRow("cp1252") << QByteArray("[K]\r\nname=caf\xE9 \x80\r\n") << 1252
                                << QStringLiteral("café €");
        // 0xD6D0 0xCEC4 is "中文" in cp936; the trail byte 0x5B ('[') of 0x815B belongs to its
        // character and must not end up as a bracket.
        QTest::newRow("cp936 double-byte")
            << QByteArray("[K]\r\nname=\xD6\xD0\xCE\xC4\x81\x5B\r\n") << 936 << QStringLiteral("中文\u4E55");
    }
    void encodingsAreDetectedAndDecoded() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, codePage);
        QFETCH(QString, expected);
        CIniFile ini = Loaded(bytes, codePage);
        QCOMPARE(ini.GetText(QStringLiteral("K"), QStringLiteral("name")), expected);
    }

    void detectionBranches() {
        int offset = -1;
        QCOMPARE(EncodedTextReader::Detect(QByteArray("\xFF"), &offset), TextEncoding::Ansi);
        QCOMPARE(offset, 0);
        QCOMPARE(EncodedTextReader::Detect(QByteArray("\xEF\xBB\xBF"), &offset), TextEncoding::Utf8);
        QCOMPARE(offset, 3);
        QCOMPARE(EncodedTextReader::Detect(QByteArray("\xEF\xBB"
                                                      "a"),
                                           &offset),
                 TextEncoding::Ansi);
        QCOMPARE(EncodedTextReader::Detect(QByteArray("\xEF\xBB"), &offset), TextEncoding::Ansi);
        QCOMPARE(EncodedTextReader::Detect(QByteArray("\xFF\xFE"), &offset), TextEncoding::Utf16Le);
        QCOMPARE(offset, 2);
        QCOMPARE(EncodedTextReader::Detect(QByteArray("\xFE\xFF"
                                                      "a"),
                                           &offset),
                 TextEncoding::Utf16Be);
        QCOMPARE(EncodedTextReader::Detect(QByteArray("ab"), &offset), TextEncoding::Ansi);
    }

    void oddTrailingByteOfUtf16IsDropped() {
        QByteArray bytes = Utf16Le(QStringLiteral("[K]\r\na=1\r\n"));
        bytes.append('\x41');
        CIniFile ini = Loaded(bytes);
        QCOMPARE(ini.GetText(QStringLiteral("K"), QStringLiteral("a")), QStringLiteral("1"));
    }

    void lineRules() {
        CIniFile ini;
        ini.LoadText(QStringLiteral("[A]\r\nx=1\r\ny=2"));
        QCOMPARE(ini.GetText(QStringLiteral("A"), QStringLiteral("x")), QStringLiteral("1"));
        QCOMPARE(ini.ValueIndex(ini.KeyIndex(QStringLiteral("A")), QStringLiteral("y")), -1);

        ini.LoadText(QStringLiteral("[B]\r\na = b\r\nk=v=w\r\n[[C]]\r\n[]]\r\nq=9\r\n"));
        QCOMPARE(ini.GetText(QStringLiteral("B"), QStringLiteral("a ")), QStringLiteral(" b"));
        QCOMPARE(ini.GetText(QStringLiteral("B"), QStringLiteral("a")), QString());
        QCOMPARE(ini.lastError, QStringLiteral("Unable to locate specified value."));
        QCOMPARE(ini.GetText(QStringLiteral("B"), QStringLiteral("k")), QStringLiteral("v=w"));
        // A header line alone adds nothing; "[]]" names the empty key, which takes q.
        QCOMPARE(ini.KeyIndex(QStringLiteral("C")), -1);
        QCOMPARE(ini.GetText(QString(), QStringLiteral("q")), QStringLiteral("9"));
        QCOMPARE(ini.GetText(QStringLiteral("Nope"), QStringLiteral("q")), QString());
        QCOMPARE(ini.lastError, QStringLiteral("Unable to locate specified key."));
    }

    void headerOfOneCharacterIsAValueLine() {
        CIniFile ini;
        ini.LoadText(QStringLiteral("[K]\r\n[\r\n"));
        // "[" has no "=": it lands on the empty value name with the text after its first character.
        const int k = ini.KeyIndex(QStringLiteral("K"));
        QCOMPARE(ini.ValueIndex(k, QString()), 0);
        QCOMPARE(ini.KeyCount(), 1);
    }

    void namesAreCaseSensitive() {
        CIniFile ini;
        ini.LoadText(QStringLiteral("[Info]\r\nPARA_00=1\r\n"));
        QCOMPARE(ini.KeyIndex(QStringLiteral("INFO")), -1);
        QCOMPARE(ini.GetText(QStringLiteral("Info"), QStringLiteral("para_00")), QString());
    }

    void mergeOnLoadAndRepeatedNames() {
        CIniFile ini;
        ini.LoadText(QStringLiteral("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[A]\r\nx=9\r\n"));
        QCOMPARE(ini.KeyNames(), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(ini.ValueNames(0), QStringList({QStringLiteral("x"), QStringLiteral("y")}));
        QCOMPARE(ini.ValueTexts(0), QStringList({QStringLiteral("9"), QStringLiteral("2")}));
        ini.LoadText(QStringLiteral("[B]\r\nz=4\r\nw=5\r\n"));
        QCOMPARE(ini.GetText(QStringLiteral("B"), QStringLiteral("z")), QStringLiteral("4"));
        QCOMPARE(ini.GetText(QStringLiteral("A"), QStringLiteral("y")), QStringLiteral("2"));
    }

    void saveWritesGoldenBytes() {
        CIniFile ini;
        ini.LoadText(QStringLiteral("\r\n[A]\r\nx=1\r\n\r\n[Empty]\r\n[B]\r\ny=\r\n"));
        ini.PutInteger(QStringLiteral("A"), QStringLiteral("n"), -42, true);
        ini.filePath = Path(QStringLiteral("golden.ini"));
        QVERIFY(ini.SaveFile());
        // The blank line before the first header made the empty-named key: written as "[]"
        // with no values; the blank line in A is never written; Empty has no values at all.
        const QString expected = QStringLiteral("[]\r\n[A]\r\nx=1\r\nn=-42\r\n[B]\r\ny=\r\n");
        QCOMPARE(ReadBytes(ini.filePath), Utf16Le(expected));
    }

    void putRespectsCreate() {
        CIniFile ini;
        QVERIFY(!ini.PutText(QStringLiteral("K"), QStringLiteral("v"), QStringLiteral("t"), false));
        QVERIFY(ini.PutText(QStringLiteral("K"), QStringLiteral("v"), QStringLiteral("t"), true));
        QVERIFY(!ini.PutText(QStringLiteral("K"), QStringLiteral("w"), QStringLiteral("t"), false));
        QVERIFY(ini.PutText(QStringLiteral("K"), QStringLiteral("v"), QStringLiteral("u"), false));
        QCOMPARE(ini.GetText(QStringLiteral("K"), QStringLiteral("v")), QStringLiteral("u"));
        QCOMPARE(ini.ValueIndex(-1, QStringLiteral("v")), -1);
    }

    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("int") << QStringLiteral("42") << 42.0;
        QTest::newRow("neg") << QStringLiteral("-7abc") << -7.0;
        QTest::newRow("space sign") << QStringLiteral("  +3.5e2x") << 350.0;
        QTest::newRow("fraction") << QStringLiteral(".25") << 0.25;
        QTest::newRow("none") << QStringLiteral("abc") << 0.0;
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("dangling exponent") << QStringLiteral("5e") << 5.0;
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(CIniFile::LeadingNumber(text), value);
    }

    void integerTruncationIsClamped() {
        QCOMPARE(CIniFile::TruncateToInt(3.9), 3);
        QCOMPARE(CIniFile::TruncateToInt(-3.9), -3);
        QCOMPARE(CIniFile::TruncateToInt(1e300), 2147483647);
        QCOMPARE(CIniFile::TruncateToInt(-1e300), -2147483647 - 1);
    }

    void filesLongerThan25000CharactersAreReadWhole() {
        QString text = QStringLiteral("[K]\r\n");
        for (int i = 0; i < 3000; ++i)
            text += QStringLiteral("VALUE_%1=%2\r\n").arg(i).arg(QString(20, u'x'));
        QVERIFY(text.size() > 25000 * 3);
        CIniFile ini = Loaded(Utf16Le(text));
        QCOMPARE(ini.GetText(QStringLiteral("K"), QStringLiteral("VALUE_2999")), QString(20, u'x'));
        QCOMPARE(ini.ValueNames(0).size(), 3000);
    }

    void oversizedFileIsRefusedAndModelKept() {
        const QString path = Path(QStringLiteral("huge.ini"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(EncodedTextReader::MaxFileBytes + 1));
        }
        CIniFile ini;
        QStringList reports;
        ini.SetErrorReporter([&](const QString&, const QString& text, const QString&) { reports << text; });
        ini.PutText(QStringLiteral("K"), QStringLiteral("v"), QStringLiteral("kept"), true);
        ini.filePath = path;
        QVERIFY(!ini.LoadFile());
        QCOMPARE(ini.GetText(QStringLiteral("K"), QStringLiteral("v")), QStringLiteral("kept"));
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.front().contains(QStringLiteral("16 MiB")));
    }

    void missingFileLeavesModelUnchanged() {
        CIniFile ini;
        ini.PutText(QStringLiteral("K"), QStringLiteral("v"), QStringLiteral("1"), true);
        ini.filePath = Path(QStringLiteral("absent.ini"));
        QVERIFY(!ini.LoadFile());
        QCOMPARE(ini.KeyCount(), 1);
    }

    void failedSaveKeepsOldFileAndReports() {
        // A write that fails half way (here: the file-size limit, as a full disk would) must
        // leave the previous file exactly as it was.
        const QString path = Path(QStringLiteral("keep.ini"));
        const QByteArray old = Utf16Le(QStringLiteral("[K]\r\nold=1\r\n"));
        WriteBytes(path, old);
        CIniFile ini;
        QStringList reports;
        ini.SetErrorReporter([&](const QString& caption, const QString& text, const QString&) {
            reports << caption + u':' + text;
        });
        ini.filePath = path;
        QVERIFY(ini.LoadFile());
        ini.PutText(QStringLiteral("K"), QStringLiteral("new"), QString(500, u'x'), true);

        struct rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit small = saved;
        small.rlim_cur = 256;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = ini.SaveFile();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!ok);
        QCOMPARE(reports, QStringList{QStringLiteral("Error:Close failed")});
        QCOMPARE(ReadBytes(path), old);
        const QStringList left =
            QDir(dir.path()).entryList({QStringLiteral("keep.ini*")}, QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{QStringLiteral("keep.ini")});
    }

    void saveIntoMissingFolderReportsOpenFailed() {
        CIniFile ini;
        QStringList reports;
        ini.SetErrorReporter([&](const QString&, const QString& text, const QString&) { reports << text; });
        ini.filePath = Path(QStringLiteral("no/such/folder/f.ini"));
        ini.PutText(QStringLiteral("K"), QStringLiteral("v"), QStringLiteral("1"), true);
        QVERIFY(!ini.SaveFile());
        QCOMPARE(reports, QStringList{QStringLiteral("Open failed")});
    }

    void saveReplacesAtomically() {
        // The save goes through a temporary file renamed over the target: a reader never sees
        // a half-written file, and no temporary file is left behind.
        const QString path = Path(QStringLiteral("atomic.ini"));
        WriteBytes(path, Utf16Le(QStringLiteral("[K]\r\nv=old\r\n")));
        CIniFile ini;
        ini.filePath = path;
        QVERIFY(ini.LoadFile());
        ini.PutText(QStringLiteral("K"), QStringLiteral("v"), QStringLiteral("new"), true);
        QVERIFY(ini.SaveFile());
        QCOMPARE(ReadBytes(path), Utf16Le(QStringLiteral("[K]\r\nv=new\r\n")));
        const QStringList left =
            QDir(dir.path()).entryList({QStringLiteral("atomic.ini*")}, QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{QStringLiteral("atomic.ini")});
    }

    void loadSaveRoundTripConvertsToUtf16() {
        CIniFile ini = Loaded(QByteArray("[K]\r\nv=caf\xE9\r\n"));
        ini.filePath = Path(QStringLiteral("converted.ini"));
        QVERIFY(ini.SaveFile());
        QCOMPARE(ReadBytes(ini.filePath), Utf16Le(QStringLiteral("[K]\r\nv=café\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
