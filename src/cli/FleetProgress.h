#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

namespace vexa {

class FleetRunner;

// The live view of a fleet operation on a terminal (stderr): one line per line of the
// fleet with the sign being worked on and its percent, redrawn in place at most ten times a
// second. When the fleet has more lines than the terminal rows, the running lines are shown
// with one line counting the others. Draws nothing when stderr is not a terminal.
class FleetProgress : public QObject {
    Q_OBJECT
public:
    explicit FleetProgress(FleetRunner& runner, QObject* parent = nullptr);
    ~FleetProgress() override;

    bool Enabled() const { return enabled; }
    // Draws every line's final state once more and stops; the report follows below.
    void Finish();
    // Takes the view off the screen until its next redraw, for output to the same terminal.
    void Erase();

    // The text of one line of the view (tests).
    static QString LineText(const FleetRunner& runner, int index);

private:
    void Draw();
    QStringList Rows() const;

    FleetRunner& runner;
    QTimer* redraw = nullptr;
    bool enabled = false;
    int shownRows = 0;
};

} // namespace vexa
