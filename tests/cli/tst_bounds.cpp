// Hostile sizes and file kinds that must neither hang the command line nor make its work
// or its memory grow beyond reason: named pipes in image lists, huge INI files, overlong rows.
#include "store/CMessageTable.h"
#include "store/ResourceFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vexa;

namespace {

struct Run {
    bool finished = false;
    int exitCode = -1;
    QByteArray err;
};

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray Utf16Le(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

} // namespace

class TestBounds : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Runs vexa; one that has not finished within the limit is killed and counts as hung.
    Run Vexa(const QStringList& args, int limitMs = 60000) {
        QProcess p;
        p.start(QStringLiteral(VEXA_BIN_DIR "/vexa"),
                QStringList{QStringLiteral("--data-dir"), dir.path()} + args);
        const bool finished = p.waitForFinished(limitMs);
        if (!finished) {
            p.kill();
            p.waitForFinished();
        }
        return {finished, p.exitCode(), p.readAllStandardError()};
    }

    QString MessageFile(const QString& name, const QString& row0) {
        const QString path = dir.filePath(name);
        WriteBytes(path, ResourceFiles::Read(QStringLiteral("FILES"), 242));
        CMessageTable table;
        [&] { QVERIFY(table.OpenMessageFile(path)); }();
        table.sendFlag[0] = 1;
        table.StoreContent(0, row0);
        [&] { QVERIFY(table.SaveParams()); }();
        return path;
    }

    // The peak memory, in kB, of one `vexa info FILE` run as a child of its own.
    long PeakKbOfInfo(const QString& file) {
        const QByteArray program = VEXA_BIN_DIR "/vexa";
        const QByteArray data = QFile::encodeName(dir.path()), path = QFile::encodeName(file);
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            ::execl(program.constData(), "vexa", "--data-dir", data.constData(), "info", path.constData(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0)
            return -1;
        return usage.ru_maxrss;
    }

private slots:
    void smallSectionsCostASmallMultipleOfTheFile() {
        // One-value sections in the legacy code page are the dearest content per byte: the
        // reader once took 170 times the file's size for them.
        QByteArray bytes("[INFO]\r\n");
        for (int section = 0; bytes.size() < 4 * 1024 * 1024; ++section)
            bytes += QStringLiteral("[S%1]\r\nv=1\r\n").arg(section, 6, 10, QLatin1Char('0')).toLatin1();
        const QString big = dir.filePath(QStringLiteral("sections.led"));
        WriteBytes(big, bytes);
        const QString small = MessageFile(QStringLiteral("small.led"), QString());
        const long base = PeakKbOfInfo(small), peak = PeakKbOfInfo(big);
        QVERIFY(base > 0 && peak > 0);
        const double multiple = (peak - base) * 1024.0 / bytes.size();
        QVERIFY2(multiple <= 12, qPrintable(QString::number(multiple)));
    }

    void namedPipeInAnImageListIsSkipped() {
        const QString fifo = dir.filePath(QStringLiteral("pipe.png"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString path = MessageFile(QStringLiteral("fifo.led"), fifo + u';');
        const QStringList model{QStringLiteral("--model"), QStringLiteral("P30")};
        const Run pack = Vexa(QStringList{QStringLiteral("pack"), path} + model, 20000);
        QVERIFY(pack.finished);
        QCOMPARE(pack.exitCode, 0);
        const Run render = Vexa(QStringList{QStringLiteral("render"), path, QStringLiteral("--out"),
                                            dir.filePath(QStringLiteral("out"))} +
                                    model,
                                20000);
        QVERIFY(render.finished);
        QCOMPARE(render.exitCode, 0);
    }

    void hugeIniFilesLoadInLinearTime() {
        // 100 000 keys and 100 000 values in one key: a lookup by scanning took minutes.
        QString text = QStringLiteral("[INFO]\r\n");
        for (int row = 0; row < CMessageTable::RowCount; ++row)
            text += CMessageTable::ParaName(row) + QStringLiteral("=10000000000\r\n");
        for (int i = 0; i < 100000; ++i)
            text += QStringLiteral("V%1=x\r\n").arg(i);
        for (int i = 0; i < 100000; ++i)
            text += QStringLiteral("[K%1]\r\nv=1\r\n").arg(i);
        const QString path = dir.filePath(QStringLiteral("huge.led"));
        WriteBytes(path, Utf16Le(text));
        QVERIFY(Vexa({QStringLiteral("info"), path}).finished);
        const Run set = Vexa({QStringLiteral("set"), path, QStringLiteral("--row"), QStringLiteral("1"),
                              QStringLiteral("--effect"), QStringLiteral("3")});
        QVERIFY(set.finished);
        QCOMPARE(set.exitCode, 0);
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        QCOMPARE(table.effect[1], 3);
        QCOMPARE(table.messageFile.KeyCount(), 100001); // every key kept, in order
        QCOMPARE(table.messageFile.KeyNames().last(), QStringLiteral("K99999"));
    }

    void overlongRowIsRefusedNamingTheRow() {
        const QString path =
            MessageFile(QStringLiteral("long.led"), QStringLiteral("[ASCII]") + QString(2000000, u'A'));
        const Run r = Vexa({QStringLiteral("pack"), path, QStringLiteral("--model"), QStringLiteral("P30")});
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("row 0") && r.err.contains("2000000 characters"), r.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestBounds)
#include "tst_bounds.moc"
