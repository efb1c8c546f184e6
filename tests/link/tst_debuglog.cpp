// Debug.Log shared by the programs started in one folder: appended to, line by line.
#include "link/DebugLog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vexa;

class TestDebugLog : public QObject {
    Q_OBJECT
private slots:
    // Two processes log into one folder at once (the editor and the command line): every
    // line lands whole at the end of the file, none over another, and no gap of NUL bytes
    // appears where one program's offset ran past the other's truncation.
    void twoProcessesAppendWholeLines() {
        QTemporaryDir folder;
        constexpr int kLines = 4000;
        int go[2];
        QCOMPARE(::pipe(go), 0);
        const QString padding(60, u'x');
        pid_t children[2];
        for (int c = 0; c < 2; ++c) {
            children[c] = ::fork();
            if (children[c] == 0) {
                char start = 0;
                [[maybe_unused]] const ssize_t got = ::read(go[0], &start, 1);
                DebugLog log(folder.path());
                for (int i = 0; i < kLines; ++i)
                    log.Write(QStringLiteral("%1 %2 %3").arg(c).arg(i).arg(padding));
                ::_exit(0);
            }
        }
        [[maybe_unused]] const ssize_t sent = ::write(go[1], "gg", 2);
        for (pid_t child : children) {
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        ::close(go[0]);
        ::close(go[1]);

        QFile file(QDir(folder.path()).filePath(QString::fromLatin1(DebugLog::FileName)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.contains('\0'));
        const QRegularExpression line(QStringLiteral("^([01]) (\\d+) x{60}$"));
        int counts[2] = {0, 0};
        for (const QString& text : QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch match = line.match(text);
            if (match.hasMatch())
                ++counts[match.captured(1).toInt()];
            else
                QVERIFY2(text == QLatin1String("Create Log File") || text.endsWith(QLatin1String(" /n")),
                         qPrintable(text));
        }
        QCOMPARE(counts[0], kLines);
        QCOMPARE(counts[1], kLines);
    }

    // A named pipe called Debug.Log is not a log: writing to it neither blocks nor fails.
    void namedPipeIsNoLog() {
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath(QString::fromLatin1(DebugLog::FileName));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        DebugLog log(folder.path());
        QVERIFY(!log.Open());
        log.Write(QStringLiteral("a line nobody reads"));
    }
};

QTEST_GUILESS_MAIN(TestDebugLog)
#include "tst_debuglog.moc"
