// Failures the command line must report as failures: bitmaps that could not be written,
// pictures over the limits, parameters out of range in a file.
#include "store/CMessageTable.h"
#include "store/ResourceFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace vexa;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    Run Vexa(const QStringList& args, qint64 fileSizeLimit = 0) {
        QProcess p;
        if (fileSizeLimit > 0) {
            // As a full disk: every write beyond the limit fails.
            p.setChildProcessModifier([fileSizeLimit] {
                std::signal(SIGXFSZ, SIG_IGN);
                struct rlimit limit {};
                limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(fileSizeLimit);
                setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        p.start(QStringLiteral(VEXA_BIN_DIR "/vexa"),
                QStringList{QStringLiteral("--data-dir"), dir.path()} + args);
        if (!p.waitForFinished(60000))
            qWarning("vexa did not finish");
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }

    // A P30 message file whose row 0 is sent with the given content.
    QString MessageFile(const QString& name, const QString& content) {
        const QString path = dir.filePath(name);
        WriteBytes(path, ResourceFiles::Read(QStringLiteral("FILES"), 242));
        CMessageTable table;
        [&] { QVERIFY(table.OpenMessageFile(path)); }();
        table.sendFlag[0] = 1;
        table.StoreContent(0, content);
        [&] { QVERIFY(table.SaveParams()); }();
        return path;
    }

private slots:
    void unwritableImageFolderStopsPackAndSend() {
        const QString path = MessageFile(QStringLiteral("hello.led"), QStringLiteral("[ASCII]HELLO"));
        const QString imageDir = dir.filePath(QStringLiteral("Image"));
        WriteBytes(imageDir, "a file where the folder should be");
        const Run pack =
            Vexa({QStringLiteral("pack"), path, QStringLiteral("--model"), QStringLiteral("P30")});
        QCOMPARE(pack.exitCode, 1);
        QVERIFY2(pack.err.contains("row 0") && pack.err.contains(imageDir.toUtf8()), pack.err.constData());
        QVERIFY(!pack.out.contains("set0"));

        const Run send = Vexa({QStringLiteral("send"), path, QStringLiteral("--model"), QStringLiteral("P30"),
                               QStringLiteral("--port"), dir.filePath(QStringLiteral("no-port"))});
        QCOMPARE(send.exitCode, 7); // nothing sent: the data could not be prepared
        QVERIFY2(send.err.contains("not sent") && send.err.contains(imageDir.toUtf8()), send.err.constData());
        QFile::remove(imageDir);
    }

    void fullDiskRenderListsOnlyWhatItWrote() {
        const QString path = MessageFile(QStringLiteral("full.led"), QStringLiteral("[ASCII]HELLO WORLD"));
        const QString out = dir.filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(out));
        const Run r = Vexa({QStringLiteral("render"), path, QStringLiteral("--model"), QStringLiteral("P30"),
                            QStringLiteral("--out"), out, QStringLiteral("--json")},
                           256);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("cannot write") && r.err.contains(out.toUtf8()), r.err.constData());
        const QJsonArray rows = QJsonDocument::fromJson(r.out).object()[QStringLiteral("rows")].toArray();
        QCOMPARE(rows.size(), 10);
        QCOMPARE(rows[0].toObject()[QStringLiteral("exported")].toArray().size(), 0);
    }

    void oversizedPictureRefusesPackLikeRender() {
        const QString huge = dir.filePath(QStringLiteral("huge.png"));
        QImage picture(20000, 1, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(huge));
        const QString path = MessageFile(QStringLiteral("huge.led"), huge + u';');
        const Run pack =
            Vexa({QStringLiteral("pack"), path, QStringLiteral("--model"), QStringLiteral("P30")});
        QCOMPARE(pack.exitCode, 1);
        QVERIFY2(pack.err.contains("row 0") && pack.err.contains(huge.toUtf8()), pack.err.constData());
    }

    void outOfRangeParametersAreLimitedAndSaid() {
        const QString path = MessageFile(QStringLiteral("range.led"), QString());
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        table.messageFile.PutText(CMessageTable::InfoKey, CMessageTable::ParaName(4),
                                  QStringLiteral("19999000-900"), true);
        QVERIFY(table.messageFile.SaveFile());
        const Run r = Vexa({QStringLiteral("info"), path, QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("PARA_04 effect 99"), r.err.constData());
        const QJsonObject row =
            QJsonDocument::fromJson(r.out).object()[QStringLiteral("rows")].toArray()[4].toObject();
        QCOMPARE(row[QStringLiteral("effect")].toInt(), 7);
        QCOMPARE(row[QStringLiteral("speed")].toInt(), 7);
        QCOMPARE(row[QStringLiteral("holdTime")].toInt(), 5);
        QCOMPARE(row[QStringLiteral("yOffset")].toInt(), -8);
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
