#pragma once

#include "sim/DotRenderer.h"
#include "sim/PseudoTerminal.h"
#include "sim/SignDecoder.h"
#include "sim/SignResponder.h"
#include "sim/SimOptions.h"
#include "sim/TcpListener.h"

#include <QImage>
#include <array>
#include <cstdio>
#include <map>
#include <memory>

namespace vexa {

// The virtual sign line: a pseudo-terminal (or a TCP port) whose input runs through the model's decoder, with
// the responder's replies written back and every event printed as one line.
class SignSimulator {
public:
    // options as SimOptions::Parse returns them; an unknown model makes Run fail.
    SignSimulator(SimOptions options, std::FILE* out);
    ~SignSimulator();
    SignSimulator(const SignSimulator&) = delete;
    SignSimulator& operator=(const SignSimulator&) = delete;

    // Runs until SIGTERM/SIGINT or a hang-up; returns the exit status.
    int Run();

private:
    void Print(const QJsonObject& event);
    void Handle(const SimEvents& events, qint64 nowMs);
    void Reply(const SignResponder::Outcome& outcome);
    void Render(const QJsonObject& message);
    const QString& DataDir();
    void Animate(const QJsonObject& message, const QString& stem, const std::array<QImage, 2>& frames);
    bool ReadLine(qint64 nowMs, bool& hungUp);
    bool OpenLine(QString& error);
    QString PortName() const;
    int LineFd() const;
    void Trace(QByteArrayView chunk, qint64 nowMs);

    SimOptions options;
    std::FILE* out;
    const DisplayModel* model;
    PseudoTerminal terminal;
    TcpListener listener;
    int tracedBaud = -1;
    std::unique_ptr<SignDecoder> decoder;
    SignResponder responder;
    qint64 bytesRead = 0;
    bool stalled = false;
    bool quietReported = true;
    qint64 lastInputMs = 0;
    std::map<int, QImage> redPlanes;
    QString dataDir;                                     // found at the first character-code message
    std::map<int, std::array<QImage, 2>> receivedFrames; // frames 0 and 1 of a slot (id << 16 | slot)
};

} // namespace vexa
