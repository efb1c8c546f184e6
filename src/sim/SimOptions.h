#pragma once

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
