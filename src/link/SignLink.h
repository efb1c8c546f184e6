#pragma once

#include "core/ModelParams.h"
#include "core/Payload.h"
#include "link/CSerialPort.h"
#include "link/DebugLog.h"
#include "link/FrameSource.h"
#include "link/ReplyBuffer.h"
#include "link/TransferPlan.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace vexa {

class CIdList;
class CMessageTable;
enum class LinkFamily : int;

// Timing limits of the write primitive; the defaults are those of the wire.
struct LinkTimings {
    int sendLimitMs = 8000; // longest wait for one frame to leave the port
    int pollMs = 100;       // period of the output-count poll and of the watchdog
};

// The one object that talks to signs: model parameters, target ID, the write primitive,
// the send, group and scan worker threads, the reply parser and Debug.Log. Outcomes are
// reported with linkMessage() carrying the numbers of the window messages 1124-1129.
//
// Delivery: linkMessage() is always emitted in the thread this object lives in. From a
// worker thread the "sent" messages (1124, 1125, 1127, 1129) block the worker until the
// receivers have run; 1128 is queued. Connect with a plain (automatic) connection. The
// owning thread must run an event loop while a worker is active.
//
// The model members (rows, slotCount, family, pageWidth, ...) are those of ModelParams;
// ApplyModel sets them.
class SignLink : public QObject, public ModelParams {
    Q_OBJECT
public:
    enum Message {
        ProgressMessage = 1124,    // wParam percent, lParam 0; or end: lParam low word 1, high word result
        GroupFailedMessage = 1125, // wParam successes, lParam IDs in the group
        ScanFinishedMessage = 1127,
        SendEndedMessage = 1128,    // posted when a send thread ended
        ScanProgressMessage = 1129, // wParam percent, lParam 1 at the end
    };
    enum Result {
        ResultOk = 0,
        ResultOpenFailed = 1,
        ResultCloseFailed = 2,
        ResultSendFailed = 3,
        ResultReadFailed = 4
    };
    enum GroupOperation { GroupPowerOn = 0, GroupPowerOff = 1, GroupSendMessages = 2 };
    // Delivery of linkMessage(): Marshalled as described above, or Direct in the
    // emitting thread (benchmarks and tools without an event loop).
    enum class Delivery { Marshalled, Direct };

    static constexpr int MaxGroupIds = 512;

    // Outcome of one ID of a group operation: ResultOk when all its frames were written,
    // ResultSendFailed when one was not, ResultOpenFailed when the port did not open.
    struct IdResult {
        int id = 0;
        int result = ResultOk;
    };
    static constexpr int ScanCloseDelayMs = 100;
    static constexpr int GroupCloseDelayMs = 500;

    explicit SignLink(QObject* parent = nullptr);
    ~SignLink() override;

    // --- members the owner and the editors read or set ---
    const Payload* messageData = nullptr;     // set before a send
    const CMessageTable* rowParams = nullptr; // set before a send
    CIdList* signList = nullptr;              // scan replies mark entries here
    std::atomic<int> ackFlag{1};
    std::atomic<int> progress{0};
    std::atomic<int> currentId{1};
    std::atomic<int> setIdDone{1};
    std::atomic<int> readIdDone{1};
    int address485 = 0;
    std::array<int, MaxGroupIds> groupIds{};
    int groupOperation = GroupPowerOn;
    int groupCount = 0;

    // Flags shared with the worker threads.
    std::atomic<int> readerRunning{0};
    std::atomic<int> watchdogRunning{0};
    std::atomic<int> sendTimedOut{0};

    // --- wiring ---
    // The serial port; the engine owns one made for the port name until another one is set (the
    // caller keeps ownership of ports it sets). The port's readyRead() feeds ProcessReply
    // on this object's thread; the engine's own port has its notification turned on.
    CSerialPort* Port() const { return port; }
    void SetPort(CSerialPort* serialPort);
    // Port to open: a device ("/dev/ttyUSB0", "ttyUSB0", a pseudo-terminal path) or a line
    // behind a device server ("tcp://HOST:PORT", "rfc2217://HOST:PORT"). When the engine's own
    // port is of another kind it is replaced (after the running worker, if one runs).
    void SetPortName(const QString& name);
    // Replaces the family frame builders (tests).
    void SetFrameSource(std::shared_ptr<const FrameSource> source);
    void SetTimings(const LinkTimings& timings);
    LinkTimings Timings() const { return timings; }
    void SetDelivery(Delivery mode) { delivery = mode; }
    void SetLogFolder(const QString& folder) { debugLog.SetFolder(folder); }
    // Creates Debug.Log now (it is otherwise created with its first line).
    bool OpenDebugLog() { return debugLog.Open(); }
    QString DebugLogPath() const { return debugLog.FilePath(); }

    // --- operations ---
    // Copies the model's parameters; false (nothing changed but the port settings,
    // which follow rows) for an unknown name.
    bool ApplyModel(const QString& modelName);
    // The port settings string of the current rows, as ApplyModel gives it to the port.
    QString PortSettings() const { return portSettings; }

    // Worker operations; false when a worker is still running (nothing started).
    bool StartSend();
    bool StartGroup();
    bool StartScan();
    bool IsBusy() const { return busy.load(); }
    // The per-ID outcomes of the last group operation, in the order the IDs were sent.
    // Complete when its final 1124 is reported.
    QList<IdResult> GroupResults() const;
    // Device and system reason when the port of the latest operation did not open
    // ("/dev/ttyUSB0: No such file or directory"); empty once a port opens.
    QString LastOpenFailure() const;
    bool LastOpenFailed() const { return !LastOpenFailure().isEmpty(); }
    // Result of the last send, group or scan worker: 0, 1 (port not opened) or 3 (a frame
    // not sent; for a group, some IDs failed).
    int LastResult() const { return lastResult.load(); }
    // Blocks until the running worker (if any) has ended, processing this thread's
    // events meanwhile when called from it.
    void WaitForWorker();
    // Ends the running worker at its next frame, stops the reader and waits for both;
    // no messages are reported any more. Called before the engine's partners go away.
    void Stop();

    // Commands on the caller's thread; they return 1 (their outcome is judged from the
    // flags afterwards). SetClock also notes whether the clock frame left the port; its
    // ackFlag stays 0 until the sign acknowledges the clock.
    int SetClock();
    int ReadId();
    int SetId(int current, int next);
    bool ClockFrameSent() const { return clockSent.load() != 0; }
    // True when the port of the last command opened (whatever became of it afterwards: a
    // server may hang up right after taking the frame).
    bool CommandPortOpened() const { return commandOpened.load() != 0; }
    int ClosePort();

    // What each operation would write and how long it would take, built exactly as its
    // worker builds it, with the model and address485 of the engine; no port is opened.
    // A send of payload with the rows of table to sign id:
    TransferPlan PlanSend(const Payload& payload, const CMessageTable& table, int id) const;
    // A group operation (GroupOperation) for ids; the payload only for GroupSendMessages.
    TransferPlan PlanGroup(const Payload& payload, const CMessageTable& table, const QList<int>& ids,
                           int operation) const;
    TransferPlan PlanScan() const;
    // A plan with the engine's model and line settings and no steps yet.
    TransferPlan EmptyPlan() const;
    TransferPlan PlanClock(const QDateTime& localTime) const;
    TransferPlan PlanReadId() const;
    TransferPlan PlanSetId(int current, int next) const;

    // Writes a frame, waits until the port has sent it, then pauses for the settle time,
    // the short pause of models below 16 rows and pauseAfterMs, all in one sleep.
    bool WriteFrame(const QByteArray& bytes, int pauseAfterMs = 0);
    // Waits until the port has sent its output, then for the settle time.
    bool WaitSent();

    // Collects reply bytes and applies a recognised reply; 1 when one was consumed.
    int ProcessReply(const char* chunk, int length);
    int ProcessReply(const QByteArray& chunk) {
        return ProcessReply(chunk.constData(), static_cast<int>(chunk.size()));
    }
    int ReplyCount() const;
    QByteArray ReplyBytes() const;
    void ClearReplies();

    // Texts of the open failures of the clock and ID commands.
    static QString OpenFailureText(const char* function, int error);
    // The pause after a send before the port closes, in ms, for the signs of that family.
    static int CloseDelayFor(LinkFamily family);

public slots:
    // Takes the port's pending input (at most 1024 bytes) into ProcessReply.
    void ReceivePending();

signals:
    void linkMessage(int message, qintptr wParam, qintptr lParam);
    // An open failure of a clock or ID command, to be shown with the application title:
    // the English text, and the command and error code it names.
    void openFailure(const QString& text, const QString& function, int error);

private:
    struct SendJob;

    void Report(int message, qintptr wParam, qintptr lParam);
    bool StartWorker(std::function<void()> body);
    bool EnsureOpen();
    bool OpenForCommand(const char* function);
    void LogOpenFailure();
    void ClosePortAfter(int delayMs);
    bool Execute(const FrameSequence& sequence);
    bool WaitDrained();
    SendInputs MakeSendInputs(const Payload* payload, const CMessageTable* table, int id) const;
    // The steps of one ID of a group operation: its message send or its power frame.
    FrameSequence GroupSteps(const SendInputs& base, int id, int index, int count, int operation) const;
    void RunSend(const std::shared_ptr<SendJob>& job);
    int RunSendSequence(const SendInputs& inputs);
    void RunGroup(const std::shared_ptr<SendJob>& job, std::vector<int> ids, int operation);
    void RunScan();
    void StartReader();
    void StopReader();
    void ReaderLoop();
    void ReceivePendingLocked();
    int ProcessReplyLocked(const char* chunk, int length);
    void Pause(int ms) const;
    void AdoptPortFor(const QString& name);
    void AdoptPendingPort();

    CSerialPort* port = nullptr;
    std::unique_ptr<CSerialPort> ownPort;
    QString pendingPortName; // a name of another kind given while a worker ran (owner thread)
    std::shared_ptr<const FrameSource> frames; // the protocol families unless replaced
    LinkTimings timings;
    Delivery delivery = Delivery::Marshalled;
    QString portSettings;
    DebugLog debugLog;

    mutable std::mutex replyMutex;
    mutable std::mutex outcomeMutex; // groupResults and lastOpenFailure: worker writes, UI reads
    QList<IdResult> groupResults;
    QString lastOpenFailure;
    ReplyBuffer replyBuffer;

    std::thread worker;
    std::thread reader;
    std::mutex readerWakeMutex;         // guards the reader's sleep between polls
    std::condition_variable readerWake; // ends that sleep at once when the reader stops
    std::atomic<bool> busy{false};
    std::mutex workerDoneMutex;         // guards the wait of WaitForWorker
    std::condition_variable workerDone; // wakes that wait when a worker returns
    std::atomic<bool> stopping{false};
    std::atomic<int> clockSent{0};
    std::atomic<int> commandOpened{0};
    std::atomic<int> lastResult{ResultOk};
};

} // namespace vexa
