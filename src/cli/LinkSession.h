#pragma once

#include "cli/ProgressBar.h"

#include <QCommandLineOption>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace vexa {

class CliContext;
class CSerialPort;
class CVexaApp;
class SignLink;
class TransferRunner;
class VerbParser;

// What the link verbs share: the --model and --port options, the engine of the
// application context set up for them, progress on stderr, and waiting for the engine's
// reports with an event loop (the same wiring the editor uses).
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
    const QString& ModelName() const { return modelName; }

    // Runs the event loop until done() is true.
    void WaitUntil(const std::function<bool()>& done);
    // Parses "1,2,3" into IDs within [low, high]; nothing (with error) when malformed.
    static std::optional<QList<int>> ParseIds(const QString& text, int low, int high, QString* error);

    static constexpr int RefusedBySize = 5;
    // What went wrong on the port, naming it: its own error text, or for a frame that did
    // not leave it the send limit. Empty when the port has nothing to say.
    static QString PortProblem(const CSerialPort& port, int result, int sendLimitMs);

private:
    void ReportPortProblem(const QString& verb, int result);

    CliContext& context;
    std::unique_ptr<TransferRunner> runner;
    ProgressBar progress;
    QString modelName;
};

} // namespace vexa
