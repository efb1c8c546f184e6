#pragma once

#include "core/SignColours.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vexa {

// Command line of vexa-sim.
struct SimOptions {
    QString model;
    std::vector<int> ids{1};
    QString linkPath;
    // --listen: serve the line over raw TCP instead of a pseudo-terminal.
    QString listenHost;
    std::optional<int> listenPort;
    bool trace = false;
    bool json = false;
    QString renderDir;
    // With renderDir: also an animated PNG of what the sign shows of every message, played
    // from the decoded dots and parameters, on a sign signWidth columns wide (0: the
    // model's width).
    bool animate = false;
    int signWidth = 0;
    // The LED colour a single-colour sign's dots are drawn in.
    LedColour led = LedColour::Red;
    bool silent = false;
    bool garbage = false;
    std::optional<qint64> stallAfter;
    std::optional<qint64> hangupAfter;
    int quietMs = 1500;
    bool help = false;

    // Parses arguments (without the program name); on failure returns nullopt and sets error.
    static std::optional<SimOptions> Parse(const QStringList& arguments, QString& error);
    static QString Usage();
};

} // namespace vexa
