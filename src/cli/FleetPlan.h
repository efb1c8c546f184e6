#pragma once

#include "store/FleetFile.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vexa {

// What one line of a fleet runs: the `vexa` command that does the operation for that line
// alone, exactly as an operator would type it, and the signs it addresses, in order.
struct FleetPlan {
    enum class Operation { Send, Clock, PowerOn, PowerOff, Scan };
    struct Options {
        bool dryRun = false;
        bool yes = false;  // send: data over the model's limit goes out capped
        bool save = false; // scan: store the answering signs in the line's sign list
        int codePage = 0;  // --codepage given to the fleet, else each line's own
    };
    struct Sign {
        int id = 0;
        QString name;
        bool allSigns = false; // the clock: one frame reaches every sign of the line at once
    };

    QStringList arguments; // vexa's arguments
    QList<Sign> signs;     // the clock: one entry for the whole line; the scan: the signs expected to answer
    QString problem;       // why the line has nothing to do (no sign ticked for a power command)
    QStringList names;     // the names of the line's signs by ID (for signs a scan finds)

    static FleetPlan For(const FleetLine& line, Operation operation, const Options& options);
    // "send", "clock", "power on", "power off", "scan"
    static QString Name(Operation operation);
};

} // namespace vexa
