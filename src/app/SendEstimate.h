#pragma once

#include "link/TransferPlan.h"

#include <QObject>
#include <QString>

class QTimer;

namespace vexa {

class CVexaApp;
class TransferRunner;

// The predicted duration of Send for the window's status bar. Before a send it is planned
// a moment after the rows, the model, the sign ticks or the 485 option changed: the rows are
// rendered and packed in memory (nothing is written), by the same rules a send follows.
// When a send starts, its duration is taken from the data it has just prepared.
class SendEstimate : public QObject {
    Q_OBJECT
public:
    static constexpr int SettleMs = 400;

    SendEstimate(CVexaApp& app, TransferRunner& runner, QObject* parent = nullptr);

    // What Send would write may have changed: plan it again a moment later.
    void Invalidate();
    // Send goes to every ticked sign (485) or to the open file's sign.
    void SetChain(bool chain);
    // Plans now what Send would write, if that is not known already.
    void Update();
    // "about 42 s" of Send now; empty until known, and when nothing would be sent.
    QString Text() const;

    // Durations of an operation that has just started, from the data it prepared: the
    // single send of the open file, the group operation handed to the engine, and a whole
    // chain (every ticked sign).
    QString OfStartedSend() const;
    QString OfStartedGroup() const;
    QString OfChain();

signals:
    void changed();

private:
    QString About(const TransferPlan& plan) const;

    CVexaApp& app;
    TransferRunner& runner;
    QTimer* settle = nullptr;
    bool chain = false;
    bool fresh = false;
    TransferPlan plan;
};

} // namespace vexa
