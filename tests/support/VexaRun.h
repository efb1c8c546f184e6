#pragma once

// Runs the `vexa` command the way an operator's script does, for the tests of the command
// line on a real (simulated) line.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace vexa::test {

// What one run of `vexa` gave: its exit code (-1 when it crashed or was killed), what it
// printed, and how long it took.
struct VexaRun {
    int exit = -1;
    QString out;
    QString err;
    qint64 ms = 0;

    // vexa's arguments with its own data folder.
    static QStringList Arguments(const QString& dataDir, const QStringList& args) {
        return QStringList{QStringLiteral("--data-dir"), dataDir} + args;
    }

    // Waits for a vexa started elsewhere, killing it after limitMs ("timed out" in err).
    static VexaRun Finish(QProcess& process, int limitMs) {
        VexaRun run;
        if (!process.waitForFinished(limitMs)) {
            process.kill();
            process.waitForFinished();
            run.err = QStringLiteral("timed out");
            return run;
        }
        run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    // Runs vexa with the data folder dataDir in workDir (where Debug.Log lands).
    static VexaRun Of(const QString& workDir, const QString& dataDir, const QStringList& args,
                      int limitMs = 120000) {
        QProcess process;
        process.setWorkingDirectory(workDir);
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral(VEXA_BIN_DIR "/vexa"), Arguments(dataDir, args));
        VexaRun run = Finish(process, limitMs);
        run.ms = clock.elapsed();
        return run;
    }

    // Writes a message file for model at path through `vexa new` and `vexa set`: row 1 holds
    // content as text, ticked for sending, with effect 3 at speed 2. The path, or empty
    // when vexa refused.
    static QString NewMessageFile(const QString& workDir, const QString& dataDir, const QString& path,
                                  const QString& model, const QString& content) {
        if (Of(workDir, dataDir, {QStringLiteral("new"), QStringLiteral("--model"), model, path}).exit != 0)
            return {};
        const VexaRun set =
            Of(workDir, dataDir,
               {QStringLiteral("set"), path, QStringLiteral("--row"), QStringLiteral("1"),
                QStringLiteral("--content"), content, QStringLiteral("--kind"), QStringLiteral("text"),
                QStringLiteral("--send"), QStringLiteral("1"), QStringLiteral("--effect"),
                QStringLiteral("3"), QStringLiteral("--speed"), QStringLiteral("2")});
        return set.exit == 0 ? path : QString();
    }
};

} // namespace vexa::test
