#include "store/CMessageTable.h"
#include "store/ResourceFiles.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    Run Vexa(const QStringList& args) {
        QProcess p;
        p.setProgram(QStringLiteral(VEXA_BIN_DIR "/vexa"));
        p.setArguments(QStringList{QStringLiteral("--data-dir"), dir.path()} + args);
        p.start();
        if (!p.waitForFinished(30000))
            qWarning("vexa did not finish");
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }

private slots:
    void newWritesTheModelsTemplate() {
        const QString path = dir.filePath(QStringLiteral("p30.led"));
        const Run r = Vexa({QStringLiteral("new"), path, QStringLiteral("--model"), QStringLiteral("P30")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(ReadBytes(path), ResourceFiles::Read(QStringLiteral("FILES"), 242));

        const Run bad = Vexa({QStringLiteral("new"), path, QStringLiteral("--model"), QStringLiteral("P99")});
        QCOMPARE(bad.exitCode, 2);
        QVERIFY(bad.err.contains("unknown model"));
    }

    // The preview sheet shows a single-colour sign's dots in the LED colour asked for; the
    // exported bitmap keeps the colour the text was written in.
    void renderPreviewInTheSignsColour() {
        const QString path = dir.filePath(QStringLiteral("amber.led"));
        QCOMPARE(
            Vexa({QStringLiteral("new"), path, QStringLiteral("--model"), QStringLiteral("P13")}).exitCode,
            0);
        QCOMPARE(Vexa({QStringLiteral("set"), path, QStringLiteral("--row"), QStringLiteral("0"),
                       QStringLiteral("--send"), QStringLiteral("1"), QStringLiteral("--content"),
                       QStringLiteral("{\\rtf1{\\colortbl ;\\red0\\green0\\blue255;}\\cf1\\fs24 IIII}")})
                     .exitCode,
                 0);
        const QString png = dir.filePath(QStringLiteral("amber.png"));
        const QString out = dir.filePath(QStringLiteral("amber"));
        const Run r = Vexa({QStringLiteral("render"), path, QStringLiteral("--model"), QStringLiteral("P13"),
                            QStringLiteral("--out"), out, QStringLiteral("--preview"), png,
                            QStringLiteral("--sign-colour"), QStringLiteral("Amber")});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const auto colours = [](const QImage& image) {
            QSet<QRgb> found;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    found << (image.pixel(x, y) | 0xFF000000u);
            return found;
        };
        const QSet<QRgb> shown = colours(QImage(png));
        QVERIFY(shown.contains(0xFFFFB000u));
        QVERIFY(!shown.contains(0xFF0000FFu));
        QVERIFY(colours(QImage(out + QStringLiteral("/20060_0.bmp"))).contains(0xFF0000FFu));

        const Run bad = Vexa({QStringLiteral("render"), path, QStringLiteral("--out"), out,
                              QStringLiteral("--sign-colour"), QStringLiteral("purple")});
        QCOMPARE(bad.exitCode, 2);
        QVERIFY(bad.err.contains("unknown sign colour"));
    }

    void setThenInfoRoundTrip() {
        const QString path = dir.filePath(QStringLiteral("sign.led"));
        QCOMPARE(
            Vexa({QStringLiteral("new"), path, QStringLiteral("--model"), QStringLiteral("P13")}).exitCode,
            0);
        const Run set = Vexa({QStringLiteral("set"), path, QStringLiteral("--row"), QStringLiteral("2"),
                              QStringLiteral("--kind"), QStringLiteral("date"), QStringLiteral("--effect"),
                              QStringLiteral("5"), QStringLiteral("--speed"), QStringLiteral("2"),
                              QStringLiteral("--yoffset"), QStringLiteral("-3"), QStringLiteral("--send"),
                              QStringLiteral("1"), QStringLiteral("--content"),
                              QStringLiteral("[DATE_110000][ASCII]Héllo\r\n")});
        QCOMPARE(set.exitCode, 0);

        // The file is what the editor's own code writes.
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        QCOMPARE(table.FormatParams(2), QStringLiteral("30520001-300"));
        QCOMPARE(table.ReadContent(2), QStringLiteral("[DATE_110000][ASCII]Héllo"));

        const Run info = Vexa({QStringLiteral("info"), path, QStringLiteral("--json")});
        QCOMPARE(info.exitCode, 0);
        const QJsonArray rows = QJsonDocument::fromJson(info.out).object()[QStringLiteral("rows")].toArray();
        QCOMPARE(rows.size(), 10);
        const QJsonObject row2 = rows[2].toObject();
        QCOMPARE(row2[QStringLiteral("kind")].toInt(), 3);
        QCOMPARE(row2[QStringLiteral("effect")].toInt(), 5);
        QCOMPARE(row2[QStringLiteral("yOffset")].toInt(), -3);
        QCOMPARE(row2[QStringLiteral("sendFlag")].toInt(), 1);
        QCOMPARE(row2[QStringLiteral("content")].toString(), QStringLiteral("[DATE_110000][ASCII]Héllo"));
        QCOMPARE(rows[7].toObject()[QStringLiteral("speed")].toInt(), 7);
    }

    void outOfRangeValuesLeaveTheFileUntouched_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("speed 8") << QStringList{"--row", "1", "--speed", "8"};
        QTest::newRow("yoffset 9") << QStringList{"--row", "1", "--yoffset", "9"};
        QTest::newRow("kind word") << QStringList{"--row", "1", "--kind", "video"};
        QTest::newRow("row 10") << QStringList{"--row", "10", "--speed", "1"};
        QTest::newRow("no row") << QStringList{"--speed", "1"};
        QTest::newRow("time text") << QStringList{"--row", "0", "--time", "2s"};
    }
    void outOfRangeValuesLeaveTheFileUntouched() {
        QFETCH(QStringList, options);
        const QString path = dir.filePath(QStringLiteral("guard.led"));
        QCOMPARE(
            Vexa({QStringLiteral("new"), path, QStringLiteral("--model"), QStringLiteral("P01")}).exitCode,
            0);
        const QByteArray before = ReadBytes(path);
        const Run r = Vexa(QStringList{QStringLiteral("set"), path} + options);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(!r.err.isEmpty());
        QCOMPARE(ReadBytes(path), before);
    }

    void unreadableFileIsAnError() {
        const Run r = Vexa({QStringLiteral("info"), dir.filePath(QStringLiteral("none.led"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("cannot read"));
    }

    void modelsListsTheCatalogue() {
        const Run r = Vexa({QStringLiteral("models"), QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 0);
        const QJsonArray models = QJsonDocument::fromJson(r.out).object()[QStringLiteral("models")].toArray();
        QCOMPARE(models.size(), 36);
        QCOMPARE(models[2].toObject()[QStringLiteral("name")].toString(), QStringLiteral("P05"));
        QCOMPARE(models[2].toObject()[QStringLiteral("port")].toString(), QStringLiteral("9600,n,8,1"));
    }

    void everyVerbHasHelp() {
        const Run usage = Vexa({QStringLiteral("--help")});
        QCOMPARE(usage.exitCode, 0);
        for (const QByteArray& line : usage.out.split('\n')) {
            if (!line.startsWith("  ") || line.trimmed().isEmpty())
                continue;
            const QString verb = QString::fromUtf8(line.trimmed().split(' ').front());
            const Run help = Vexa({verb, QStringLiteral("--help")});
            QVERIFY2(help.exitCode == 0, qPrintable(verb));
            QVERIFY2(help.out.contains("Usage: vexa " + verb.toUtf8()), qPrintable(verb));
        }
        QCOMPARE(Vexa({QStringLiteral("frobnicate")}).exitCode, 2);
    }

    void codePageOption() {
        const QString path = dir.filePath(QStringLiteral("ansi.led"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[INFO]\r\nPARA_00=10000000000\r\nDATA_00=[ASCII]\xD6\xD0\r\n");
        f.close();
        const Run r = Vexa({QStringLiteral("--codepage"), QStringLiteral("936"), QStringLiteral("info"), path,
                            QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 0);
        const QJsonArray rows = QJsonDocument::fromJson(r.out).object()[QStringLiteral("rows")].toArray();
        QCOMPARE(rows[0].toObject()[QStringLiteral("content")].toString(), QStringLiteral("[ASCII]中"));
        QCOMPARE(
            Vexa({QStringLiteral("--codepage"), QStringLiteral("77777"), QStringLiteral("models")}).exitCode,
            2);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
