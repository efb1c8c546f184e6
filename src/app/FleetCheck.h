#pragma once

#include "store/FleetFile.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vexa {

// What a line's folder says about its signs, read the way `vexa` reads it for one line:
// the 485 option (the fleet file's Mode485 before the line's own), the selected sign, the
// ticked signs of the sign list and the signs the group dialog would tick.
struct FleetLineSigns {
    bool settingsRead = false;
    bool signListRead = false;
    bool signListPresent = false;
    bool settingsPresent = false;
    QString storedModel; // LedType of the line's System.set
    int mode485 = 0;
    int selected = 0;       // NowSelID
    QList<int> ticked;      // what `vexa send --485` sends, in that order
    QList<int> groupTicked; // what the group dialog ticks (power)
    QStringList names;      // by ID, 0..255

    static FleetLineSigns Read(const FleetLine& line, int codePage = 0);
    QString Name(int id) const { return names.value(id); }
    QString WorkFile(const FleetLine& line, int id) const;
};

// Validation of a fleet file: every folder, model and port name, each problem named with
// its line. Problems that make a line impossible to run (its section is incomplete, its
// folder or model unusable, its port name malformed or shared with another line) block it;
// the others (a device not plugged in now, a sign without a message file) are the line's
// operation's to report. Warnings point at what may be meant but looks odd.
class FleetCheck {
public:
    struct Finding {
        enum class Kind { Problem, Warning };
        QString line; // empty: the file itself
        QString text;
        Kind kind = Kind::Problem;
        bool blocksRun = false;
    };

    static QList<Finding> Check(const FleetFile& fleet);
    // The problems that stop this line from being run or opened, first the worst.
    static QStringList Blocking(const FleetFile& fleet, const FleetLine& line);

private:
    static void CheckLine(const FleetLine& line, QList<Finding>& findings);
    static void CheckShared(const FleetFile& fleet, QList<Finding>& findings);
};

} // namespace vexa
