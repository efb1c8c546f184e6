#pragma once

#include <QObject>

class QSocketNotifier;

namespace vexa {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the UI thread, so that the program
// ends through its normal shutdown (parameters saved) instead of dying mid-write.
class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void OnReadable();

    QSocketNotifier* notifier = nullptr;
};

} // namespace vexa
