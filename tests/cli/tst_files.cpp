// Files the command line must never lose or damage: foreign files, killed writers,
// read-only files, symbolic links, long names, and a second writer at work.
#include "store/CMessageTable.h"
#include "store/FolderLock.h"
#include "store/ResourceFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cerrno>
#include <cstring>

using namespace vexa;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray err;
};

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList Temporaries(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral(".vexa-tmp-*")}, QDir::Files | QDir::Hidden);
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QStringList Args(const QStringList& args) const {
        return QStringList{QStringLiteral("--data-dir"), dir.path()} + args;
    }

    Run Vexa(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(VEXA_BIN_DIR "/vexa"), Args(args));
        if (!p.waitForFinished(60000))
            qWarning("vexa did not finish");
        return {p.exitCode(), p.readAllStandardError()};
    }

    QString NewFile(const QString& name) {
        const QString path = dir.filePath(name);
        WriteBytes(path, ResourceFiles::Read(QStringLiteral("FILES"), 242));
        return path;
    }

    static QStringList SetRow3(const QString& path) {
        return {QStringLiteral("set"),       path,
                QStringLiteral("--row"),     QStringLiteral("3"),
                QStringLiteral("--effect"),  QStringLiteral("5"),
                QStringLiteral("--content"), QStringLiteral("[ASCII]NEW")};
    }

private slots:
    void setRefusesFilesThatAreNotMessageFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01", 20);
        QByteArray noise(4096, '\0');
        for (char& c : noise)
            c = static_cast<char>(QRandomGenerator::global()->bounded(256));
        QTest::newRow("random") << noise;
        QTest::newRow("text") << QByteArray("[notes]\r\nline=1\r\n").repeated(1000);
    }
    void setRefusesFilesThatAreNotMessageFiles() {
        QFETCH(QByteArray, bytes);
        const QString path = dir.filePath(QStringLiteral("foreign.bin"));
        WriteBytes(path, bytes);
        const Run r = Vexa({QStringLiteral("set"), path, QStringLiteral("--row"), QStringLiteral("0"),
                            QStringLiteral("--effect"), QStringLiteral("1")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("not a message file"), r.err.constData());
        QCOMPARE(ReadBytes(path), bytes);
    }

    void setStartsAnEmptyOrMissingFile() {
        for (const bool empty : {true, false}) {
            const QString path =
                dir.filePath(empty ? QStringLiteral("empty.led") : QStringLiteral("absent.led"));
            if (empty)
                WriteBytes(path, QByteArray());
            QCOMPARE(Vexa({QStringLiteral("set"), path, QStringLiteral("--row"), QStringLiteral("1"),
                           QStringLiteral("--kind"), QStringLiteral("text")})
                         .exitCode,
                     0);
            CMessageTable table;
            QVERIFY(table.OpenMessageFile(path));
            QVERIFY(table.HoldsMessageTable());
            QCOMPARE(table.kind[1], 1);
        }
    }

    void killedWritersLeaveTheOldOrTheNewFile() {
        // Writers killed at random moments: the file is always the old or the new one, byte
        // for byte, and the temporaries they leave are cleaned by the next command.
        const QString path = NewFile(QStringLiteral("killed.led"));
        const QByteArray before = ReadBytes(path);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(Vexa(SetRow3(path)).exitCode, 0);
        const qint64 runMs = std::max<qint64>(clock.elapsed(), 5);
        const QByteArray after = ReadBytes(path);
        QVERIFY(after != before);

        int runs = 0, mixed = 0;
        clock.restart();
        while (runs < 300 && clock.elapsed() < 6000) {
            WriteBytes(path, before);
            QProcess writer;
            writer.start(QStringLiteral(VEXA_BIN_DIR "/vexa"), Args(SetRow3(path)));
            QVERIFY(writer.waitForStarted());
            QThread::usleep(QRandomGenerator::global()->bounded(static_cast<quint32>(runMs * 1200)));
            writer.kill();
            writer.waitForFinished();
            const QByteArray seen = ReadBytes(path);
            if (seen != before && seen != after)
                ++mixed;
            ++runs;
        }
        QCOMPARE(mixed, 0);
        QVERIFY(runs >= 20);
        QCOMPARE(Vexa(SetRow3(path)).exitCode, 0); // the next write into the folder cleans up
        QCOMPARE(Temporaries(dir.path()), QStringList());
    }

    // Names up to the system's 255 bytes are written (the temporary beside them has a short
    // name of its own), and a read leaves every other file alone, also one that looks like
    // a temporary of ours or of an older version.
    void longNamesAreWrittenAndReadsRemoveNothing() {
        const QString longName = QString(251, u'n') + QStringLiteral(".led");
        const QString path = NewFile(longName);
        QCOMPARE(Vexa(SetRow3(path)).exitCode, 0);
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        QCOMPARE(table.effect[3], 5);

        const QString demo = NewFile(QStringLiteral("demo.led"));
        const QStringList lookAlikes{QStringLiteral("demo.led.tmp-NOTES1"),
                                     QStringLiteral(".vexa-tmp-Notes1")};
        for (const QString& name : lookAlikes)
            WriteBytes(dir.filePath(name), "my notes");
        QCOMPARE(Vexa({QStringLiteral("info"), demo}).exitCode, 0);
        QCOMPARE(Vexa(SetRow3(demo)).exitCode, 0);
        for (const QString& name : lookAlikes)
            QCOMPARE(ReadBytes(dir.filePath(name)), QByteArray("my notes"));
    }

    // The editor and the command line on one work folder, two processes: a row the command
    // line changed is not taken back when the editor, which did not touch it, closes; and a
    // second editor learns which process holds the folder.
    void secondWriterKeepsItsChange() {
        if (!QFileInfo::exists(QStringLiteral(VEXA_BIN_DIR "/vexa-editor")))
            QSKIP("the editor is not part of this build");
        QTemporaryDir work;
        QProcess editor;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        editor.setProcessEnvironment(environment);
        editor.setWorkingDirectory(work.path());
        editor.start(QStringLiteral(VEXA_BIN_DIR "/vexa-editor"),
                     {QStringLiteral("--data-dir"), work.path()});
        QVERIFY(editor.waitForStarted());
        const QString workData = work.filePath(QStringLiteral("WorkData"));
        const QString lockPath = QDir(workData).filePath(QString::fromLatin1(FolderLock::FileName));
        QTRY_COMPARE_WITH_TIMEOUT(ReadBytes(lockPath).trimmed().toLongLong(), editor.processId(), 20000);
        FolderLock second(workData);
        QCOMPARE(second.Acquire(), FolderLock::Result::Held);
        QCOMPARE(second.HolderPid(), editor.processId());

        const QString file = QDir(workData).filePath(QStringLiteral("0.led"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(file), 10000);
        QProcess set;
        set.start(QStringLiteral(VEXA_BIN_DIR "/vexa"),
                  {QStringLiteral("--data-dir"), work.path(), QStringLiteral("set"), file,
                   QStringLiteral("--row"), QStringLiteral("2"), QStringLiteral("--effect"),
                   QStringLiteral("6"), QStringLiteral("--content"), QStringLiteral("[ASCII]FROM THE CLI")});
        QVERIFY(set.waitForFinished(30000));
        QCOMPARE(set.exitCode(), 0);
        editor.terminate(); // the window closes as from its menu, saving what it holds
        QVERIFY(editor.waitForFinished(20000));
        QCOMPARE(editor.exitCode(), 0);
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(file));
        QCOMPARE(table.effect[2], 6);
        QCOMPARE(table.ReadContent(2), QStringLiteral("[ASCII]FROM THE CLI"));
    }

    void readOnlyFileIsRefusedWithPathAndReason() {
        const QString path = NewFile(QStringLiteral("readonly.led"));
        const QByteArray before = ReadBytes(path);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const Run r = Vexa(SetRow3(path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("Open failed"), r.err.constData());
        QVERIFY(r.err.contains(path.toUtf8()));
        QVERIFY(r.err.contains(std::strerror(EACCES)));
        QCOMPARE(ReadBytes(path), before);
    }

    void symbolicLinkIsSavedThroughToItsTarget() {
        const QString target = NewFile(QStringLiteral("target.led"));
        const QString link = dir.filePath(QStringLiteral("link.led"));
        QVERIFY(QFile::link(target, link));
        QCOMPARE(Vexa(SetRow3(link)).exitCode, 0);
        QVERIFY(QFileInfo(link).isSymLink());
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(target));
        QCOMPARE(table.effect[3], 5);
        QCOMPARE(table.ReadContent(3), QStringLiteral("[ASCII]NEW"));
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
