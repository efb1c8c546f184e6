#pragma once

#include "cli/CliEvents.h"
#include "cli/ProgressBar.h"

#include <QCommandLineOption>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace vexa {

class CliContext;
class CMessageTable;
class CSerialPort;
class CVexaApp;
class SignLink;
class TerminationWatcher;
class TransferRunner;
class VerbParser;

// What the link verbs share: the --model and --port options, the engine of the
// application context set up for them, progress on stderr, and waiting for the engine's
// reports with an event loop (the same wiring the editor uses). SIGINT, SIGTERM or SIGHUP
// stop the engine at its next frame, close the port and end the program with 128 + the
// signal, after saying which sign was being sent.
class LinkSession {
public:
    explicit LinkSession(CliContext& context);
    ~LinkSession();

    static void AddOptions(VerbParser& parser);
    // Applies --model (else the settings' model) and --port; prints what is wrong.
    bool Configure(const VerbParser& parser, const QString& verb);

    CVexaApp& App();
    SignLink& Link();
    TransferRunner& Runner();
    ProgressBar& Progress() { return progress; }
    CliEvents& Events() { return events; }
    const QString& ModelName() const { return modelName; }
    // The --port given (empty in a dry run without one).
    const QString& PortName() const { return portName; }

    // Runs the event loop until done() is true.
    void WaitUntil(const std::function<bool()>& done);
    // Opens the message file to send; false (said) when it cannot be read or holds no
    // message table, which is never sent (it would clear the sign).
    static bool OpenMessageFile(CMessageTable& table, const QString& path, const QString& verb);
    // Parses "1,2,3" into IDs within [low, high]; nothing (with error) when malformed.
    static std::optional<QList<int>> ParseIds(const QString& text, int low, int high, QString* error);

    static constexpr int RefusedBySize = 5;
    // What went wrong on the port, naming it: its own error text, or for a frame that did
    // not leave it the send limit. Empty when the port has nothing to say.
    static QString PortProblem(const CSerialPort& port, int result, int sendLimitMs);
    // Why an operation of the engine ended with result: PortProblem of the engine's port (for
    // a port that did not open, its device and reason).
    QString FailureReason(int result);

private:
    void ReportPortProblem(const QString& verb, int result);
    [[noreturn]] void Interrupt(int signalNumber);

    CliContext& context;
    std::unique_ptr<TransferRunner> runner;
    ProgressBar progress;
    CliEvents events;
    std::unique_ptr<TerminationWatcher> watcher;
    QString modelName;
    QString portName;
};

} // namespace vexa
