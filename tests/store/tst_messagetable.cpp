#include "store/CMessageTable.h"
#include "store/ResourceFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Utf16Le(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text)
        bytes.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    return bytes;
}

// The template file built from its parameter strings, as the message-file layout prescribes.
QByteArray ExpectedTemplate(const QStringList& params) {
    QString text = QStringLiteral("[INFO]\r\n");
    for (int row = 0; row < 10; ++row)
        text +=
            QStringLiteral("PARA_%1=%2\r\nDATA_%1=\r\n").arg(row, 2, 10, QLatin1Char('0')).arg(params[row]);
    return Utf16Le(text);
}

} // namespace

class TestMessageTable : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void parameterStringBothWays_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("params");
        QTest::addColumn<QString>("formatted");
        QTest::newRow("negative offset")
            << QStringLiteral("10520000-300") << QList<int>{1, 5, 2, 0, 0, 0, 0, -3, 0, 0}
            << QStringLiteral("10520000-300");
        QTest::newRow("send offset blink")
            << QStringLiteral("105200010801") << QList<int>{1, 5, 2, 0, 0, 0, 1, 8, 0, 1}
            << QStringLiteral("105200010801");
        QTest::newRow("template, 11 characters")
            << QStringLiteral("10110000000") << QList<int>{1, 1, 1, 0, 0, 0, 0, 0, 0, 0}
            << QStringLiteral("101100000000");
        QTest::newRow("empty") << QString() << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}
                               << QStringLiteral("000000000000");
        QTest::newRow("garbage pieces read as 0")
            << QStringLiteral("3x7ab-c+1zz") << QList<int>{3, 0, 0, 0, 0, 0, 0, 1, 0, 0}
            << QStringLiteral("300000000100");
        QTest::newRow("date row, every field")
            << QStringLiteral("307541010-811") << QList<int>{3, 7, 5, 4, 1, 0, 1, 0, 8, 1}
            << QStringLiteral("307541010081");
    }
    void parameterStringBothWays() {
        QFETCH(QString, text);
        QFETCH(QList<int>, params);
        QFETCH(QString, formatted);
        CMessageTable table;
        table.ParseParams(text, 4);
        for (int f = 0; f < CMessageTable::ParamCount; ++f)
            QCOMPARE(table.Param(f)[4], params[f]);
        QCOMPARE(table.FormatParams(4), formatted);
    }

    void templatesAreByteExact() {
        const QStringList t177 = {"10000000000", "10110000000", "10220000000", "10330000000", "10440000000",
                                  "10550000000", "10660000000", "10770000000", "10000000000", "10110000000"};
        QStringList t242 = t177.mid(0, 7);
        t242 << "10070000000"
             << "10100000000"
             << "10210000000";
        QCOMPARE(ResourceFiles::Read(QStringLiteral("FILES"), 177), ExpectedTemplate(t177));
        QCOMPARE(ResourceFiles::Read(QStringLiteral("FILES"), 242), ExpectedTemplate(t242));
        QCOMPARE(ResourceFiles::Read(QStringLiteral("FILES"), 243), ExpectedTemplate(t242));
        QCOMPARE(ResourceFiles::Read(QStringLiteral("FILES"), 177).size(), 638);
        QVERIFY(ResourceFiles::Read(QStringLiteral("FILES"), 178).isEmpty());
        QVERIFY(!ResourceFiles::WriteResourceFile(QStringLiteral("FILES"), 178, dir.filePath("x.led")));
    }

    void templateOpensAsTenEmptyTextRows() {
        const QString path = dir.filePath(QStringLiteral("t.led"));
        QVERIFY(ResourceFiles::WriteResourceFile(QStringLiteral("FILES"), 177, path));
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        for (int row = 0; row < 10; ++row) {
            QCOMPARE(table.kind[row], 1);
            QCOMPARE(table.effect[row], row < 8 ? row : row - 8);
            QCOMPARE(table.speed[row], row < 8 ? row : row - 8);
            QCOMPARE(table.sendFlag[row], 0);
            QCOMPARE(table.ReadContent(row), QString());
        }
        // Only what changed is written: unchanged rows keep the template's eleven characters,
        // a changed row is written with twelve.
        const QByteArray before = ReadBytes(path);
        QVERIFY(table.SaveParams());
        QCOMPARE(ReadBytes(path), before);
        table.blink[7] = 1;
        QVERIFY(table.SaveParams());
        QVERIFY(ReadBytes(path).contains(Utf16Le(QStringLiteral("PARA_07=107700000001\r\n")).mid(2)));
        QVERIFY(ReadBytes(path).contains(Utf16Le(QStringLiteral("PARA_06=10660000000\r\n")).mid(2)));
    }

    void contentWithCrLfIsStoredWithoutIt() {
        const QString path = dir.filePath(QStringLiteral("c.led"));
        QVERIFY(ResourceFiles::WriteResourceFile(QStringLiteral("FILES"), 177, path));
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        QVERIFY(table.WriteContent(2, QStringLiteral("a\r\nb\rc\nd\r\r\n\ne")));
        CMessageTable reread;
        QVERIFY(reread.OpenMessageFile(path));
        // A lone CR or LF stays; no CR LF pair survives, not even one formed by a removal.
        QCOMPARE(reread.ReadContent(2), QStringLiteral("ab\rc\nde"));
        QCOMPARE(reread.ReadContent(3), QString());

        // In RTF a line break ends the control word before it: it becomes a space there,
        // and only there (not after text, an escaped backslash or a space).
        QVERIFY(table.WriteContent(
            4, QStringLiteral("{\\rtf1\\loch\r\nauto\\fs24\r\n12\\\\x\r\ny \\b \r\nz\\par\r\r\n\n}")));
        QVERIFY(reread.OpenMessageFile(path));
        QCOMPARE(reread.ReadContent(4), QStringLiteral("{\\rtf1\\loch auto\\fs24 12\\\\xy \\b z\\par }"));
    }

    void unreadableFileOpensAsZeros() {
        CMessageTable table;
        table.kind.fill(3);
        QVERIFY(!table.OpenMessageFile(dir.filePath(QStringLiteral("missing.led"))));
        for (int row = 0; row < 10; ++row)
            QCOMPARE(table.kind[row], 0);
        QCOMPARE(table.ReadContent(0), QString());
    }

    void noValueLeaksFromOneSignToTheNext() {
        const QString a = dir.filePath(QStringLiteral("1.led"));
        const QString b = dir.filePath(QStringLiteral("2.led"));
        QFile fa(a);
        QVERIFY(fa.open(QIODevice::WriteOnly));
        fa.write(Utf16Le(QStringLiteral("[INFO]\r\nPARA_00=101000010000\r\nDATA_00=secret of sign 1\r\n")));
        fa.close();
        QFile fb(b);
        QVERIFY(fb.open(QIODevice::WriteOnly));
        fb.write(Utf16Le(QStringLiteral("[INFO]\r\nPARA_00=101000000000\r\n")));
        fb.close();

        CMessageTable table;
        QVERIFY(table.OpenMessageFile(a));
        QCOMPARE(table.ReadContent(0), QStringLiteral("secret of sign 1"));
        QVERIFY(table.OpenMessageFile(b));
        QCOMPARE(table.ReadContent(0), QString());
        QVERIFY(table.SaveParams());
        QVERIFY(!ReadBytes(b).contains(Utf16Le(QStringLiteral("secret")).mid(2)));
    }

    void unreadableReloadKeepsTheContentsForTheNextSave() {
        const QString path = dir.filePath(QStringLiteral("flaky.led"));
        QVERIFY(ResourceFiles::WriteResourceFile(QStringLiteral("FILES"), 177, path));
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        QVERIFY(table.WriteContent(1, QStringLiteral("[ASCII]keep")));
        // The file vanishes for a moment (replaced by another program, a network share...).
        const QString aside = path + QStringLiteral(".aside");
        QVERIFY(QFile::rename(path, aside));
        QCOMPARE(table.ReadContent(1), QString());
        QVERIFY(table.SaveParams());
        CMessageTable reread;
        QVERIFY(reread.OpenMessageFile(path));
        QCOMPARE(reread.ReadContent(1), QStringLiteral("[ASCII]keep"));
    }

    void withoutPathNothingIsWritten() {
        CMessageTable table;
        QVERIFY(!table.SaveParams());
        QVERIFY(!table.WriteContent(0, QStringLiteral("x")));
    }

    void longContentsSurviveASave() {
        // Rows of long rich text push a file past 25000 characters; all of it must survive.
        const QString path = dir.filePath(QStringLiteral("long.led"));
        QVERIFY(ResourceFiles::WriteResourceFile(QStringLiteral("FILES"), 177, path));
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        for (int row = 0; row < 10; ++row)
            QVERIFY(table.WriteContent(row, QString(6000, QChar(u'a' + row))));
        CMessageTable reread;
        QVERIFY(reread.OpenMessageFile(path));
        QVERIFY(reread.SaveParams());
        for (int row = 0; row < 10; ++row)
            QCOMPARE(reread.ReadContent(row), QString(6000, QChar(u'a' + row)));
    }
};

QTEST_GUILESS_MAIN(TestMessageTable)
#include "tst_messagetable.moc"
