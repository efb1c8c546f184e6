#include "link/SignLink.h"

#include "core/ModelCatalogue.h"
#include "link/FamilyFrameSource.h"
#include "link/PosixSerialPort.h"
#include "link/SerialPortFactory.h"
#include "link/WritePacing.h"
#include "link/families/LinkFamilies.h"
#include "link/families/SendInputsAccess.h"
#include "store/CIdList.h"
#include "store/CMessageTable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLoggingCategory>
#include <QThread>
#include <algorithm>
#include <chrono>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace vexa {

Q_LOGGING_CATEGORY(lcLink, "vexa.link", QtWarningMsg)

namespace {
constexpr int kReaderPollMs = 100;

// The worker's pauses end when they are due: the kernel's default timer slack (50 us a
// sleep) would otherwise add up over the many pauses of a send.
void PreciseSleeps() {
#ifdef __linux__
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}
} // namespace

// What a worker needs of a send: the rows' data and parameters as they were when the
// send started, so later edits in the window cannot change a running transfer.
struct SignLink::SendJob {
    Payload payload;
    SendInputs inputs;
};

SignLink::SignLink(QObject* parent)
    : QObject(parent), ownPort(std::make_unique<PosixSerialPort>()),
      frames(std::make_shared<FamilyFrameSource>()) {
    SetPort(ownPort.get());
    port->SetBufferSizes(CSerialPort::DefaultInBufferSize, CSerialPort::DefaultOutBufferSize);
    portSettings = QString::fromLatin1(CSerialPort::StartupSettings);
    port->SetSettings(portSettings);
    // Replies that arrive outside the reader thread's polling reach ProcessReply through
    // the port's receive notification.
    port->SetReceiveNotification(true);
}

SignLink::~SignLink() {
    Stop();
}

void SignLink::Stop() {
    stopping = true;
    WaitForWorker();
    StopReader();
    if (port)
        port->SetReceiveNotification(false);
}

void SignLink::SetPort(CSerialPort* serialPort) {
    if (port)
        disconnect(port, nullptr, this, nullptr);
    port = serialPort ? serialPort : ownPort.get();
    connect(port, &CSerialPort::readyRead, this, &SignLink::ReceivePending);
}

void SignLink::SetPortName(const QString& name) {
    if (port != ownPort.get() || SerialPortFactory::Serves(*ownPort, name)) {
        pendingPortName.clear();
        port->SetPortName(name);
        return;
    }
    if (busy.load()) {
        pendingPortName = name;
        return;
    }
    AdoptPortFor(name);
}

// Replaces the engine's own port by one of the kind the name needs, with the same settings.
void SignLink::AdoptPortFor(const QString& name) {
    pendingPortName.clear();
    std::unique_ptr<CSerialPort> next = SerialPortFactory::Create(name);
    next->SetBufferSizes(CSerialPort::DefaultInBufferSize, CSerialPort::DefaultOutBufferSize);
    next->SetSettings(portSettings);
    ownPort->SetReceiveNotification(false);
    ownPort->Close();
    const std::unique_ptr<CSerialPort> previous = std::move(ownPort);
    ownPort = std::move(next);
    SetPort(ownPort.get());
    port->SetReceiveNotification(!stopping);
}

void SignLink::AdoptPendingPort() {
    if (!pendingPortName.isEmpty() && port == ownPort.get())
        AdoptPortFor(pendingPortName);
}

void SignLink::SetFrameSource(std::shared_ptr<const FrameSource> source) {
    frames = std::move(source);
}

void SignLink::SetTimings(const LinkTimings& value) {
    timings = value;
}

// ---------------------------------------------------------------- model

bool SignLink::ApplyModel(const QString& modelName) {
    const DisplayModel* model = ModelCatalogue::Find(modelName);
    if (model)
        SetFrom(*model);
    portSettings = ModelCatalogue::PortSettingsFor(rows, modelName);
    port->SetSettings(portSettings);
    return model != nullptr;
}

// ---------------------------------------------------------------- reports

void SignLink::Report(int message, qintptr wParam, qintptr lParam) {
    if (stopping)
        return;
    if (delivery == Delivery::Direct || QThread::currentThread() == thread()) {
        emit linkMessage(message, wParam, lParam);
        return;
    }
    const auto type = message == SendEndedMessage ? Qt::QueuedConnection : Qt::BlockingQueuedConnection;
    QMetaObject::invokeMethod(
        this,
        [this, message, wParam, lParam] {
            if (!stopping)
                emit linkMessage(message, wParam, lParam);
        },
        type);
}

// ---------------------------------------------------------------- write primitive

void SignLink::Pause(int ms) const {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool SignLink::WriteFrame(const QByteArray& bytes, int pauseAfterMs) {
    const QString hex = DebugLog::Hex(bytes);
    debugLog.Write(hex);
    qCDebug(lcLink).noquote() << hex;
    if (!port->Write(bytes)) {
        qCInfo(lcLink).noquote() << "write failed:" << port->ErrorString();
        return false;
    }
    Report(ProgressMessage, progress.load(), 0);
    if (!WaitDrained()) {
        Pause(WritePacing::SettleMs);
        debugLog.Write(QStringLiteral("Error:GetTxFinished()==0"));
        return false;
    }
    // The settle time, the short pause and the caller's pause follow one another with
    // nothing sent between them: one sleep, so the wake-up latency is paid once a frame.
    Pause(WritePacing::PauseAfterFrameMs(rows, pauseAfterMs));
    return true;
}

bool SignLink::WaitSent() {
    const bool drained = WaitDrained();
    Pause(WritePacing::SettleMs);
    return drained;
}

bool SignLink::WaitDrained() {
    using Clock = std::chrono::steady_clock;
    sendTimedOut = 0;
    watchdogRunning = 1;
    const Clock::time_point start = Clock::now();
    bool portError = false;
    for (;;) {
        const int waiting = port->OutputWaiting();
        if (waiting == 0)
            break;
        if (waiting < 0) {
            portError = true;
            qCInfo(lcLink).noquote() << "output count failed:" << port->ErrorString();
            break;
        }
        // Stop() ends the wait too: a stalled line must not hold it for the whole send limit.
        if (stopping || Clock::now() - start > std::chrono::milliseconds(timings.sendLimitMs)) {
            sendTimedOut = 1;
            break;
        }
        Pause(timings.pollMs);
    }
    watchdogRunning = 0;
    return !sendTimedOut && !portError;
}

bool SignLink::Execute(const FrameSequence& sequence) {
    for (const FrameStep& step : sequence) {
        if (stopping)
            return false;
        if (step.progress >= 0)
            progress = step.progress;
        if (step.bytes.isEmpty())
            Pause(step.pauseAfterMs);
        else if (!WriteFrame(step.bytes, step.pauseAfterMs))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- port handling

bool SignLink::EnsureOpen() {
    if (port->IsOpen() || port->Open()) {
        std::lock_guard lock(outcomeMutex);
        lastOpenFailure.clear();
        return true;
    }
    LogOpenFailure();
    return false;
}

void SignLink::LogOpenFailure() {
    // A network port's reason already starts with its name.
    const QString reason = port->ErrorString();
    const QString name = port->PortName();
    const QString detail =
        !name.isEmpty() && reason.startsWith(name) ? reason : name + QStringLiteral(": ") + reason;
    qCInfo(lcLink).noquote() << "open failed:" << detail;
    if (family == static_cast<int>(LinkFamily::PagedBlocks))
        debugLog.Write(QString::asprintf("Open failure, Error code:%d ", port->LastError()) +
                       port->ErrorString());
    // Every family notes which device failed and why, so the log explains the message box.
    debugLog.Write(QStringLiteral("Open COM Port Failure! ") + detail);
    std::lock_guard lock(outcomeMutex);
    lastOpenFailure = detail;
}

QString SignLink::LastOpenFailure() const {
    std::lock_guard lock(outcomeMutex);
    return lastOpenFailure;
}

QList<SignLink::IdResult> SignLink::GroupResults() const {
    std::lock_guard lock(outcomeMutex);
    return groupResults;
}

QString SignLink::OpenFailureText(const char* function, int error) {
    return QString::asprintf("Open failure, error code=%d\nError function:%s ", error, function);
}

bool SignLink::OpenForCommand(const char* function) {
    commandOpened = 0;
    if (!busy.load())
        AdoptPendingPort();
    if (!EnsureOpen()) {
        const int error = port->LastError();
        emit openFailure(OpenFailureText(function, error), QString::fromLatin1(function), error);
        return false;
    }
    port->DiscardInput();
    commandOpened = 1;
    return true;
}

int SignLink::CloseDelayFor(LinkFamily linkFamily) {
    switch (linkFamily) {
    case LinkFamily::SlotTrailer:
        return 0;
    case LinkFamily::PagedBlocks:
    case LinkFamily::AddressedBlocks:
        return 500;
    default:
        return 200;
    }
}

void SignLink::ClosePortAfter(int delayMs) {
    Pause(delayMs);
    port->Close();
}

int SignLink::ClosePort() {
    if (!port->IsOpen())
        return ResultOk;
    return port->Close() ? ResultOk : ResultCloseFailed;
}

// ---------------------------------------------------------------- workers

bool SignLink::StartWorker(std::function<void()> body) {
    if (busy.exchange(true))
        return false;
    if (worker.joinable())
        worker.join(); // the previous worker has already cleared busy and is returning
    AdoptPendingPort();
    worker = std::thread([this, body = std::move(body)] {
        PreciseSleeps();
        body();
        { std::lock_guard lock(workerDoneMutex); }
        workerDone.notify_all();
    });
    return true;
}

void SignLink::WaitForWorker() {
    const bool ownThread = QThread::currentThread() == thread();
    while (busy.load()) {
        if (ownThread)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::unique_lock lock(workerDoneMutex);
        workerDone.wait_for(lock, std::chrono::milliseconds(2), [this] { return !busy.load(); });
    }
    if (worker.joinable())
        worker.join();
    if (ownThread)
        QCoreApplication::sendPostedEvents(this); // deliver a queued 1128
}

SendInputs SignLink::MakeSendInputs(const Payload* payload, const CMessageTable* table, int id) const {
    SendInputs inputs;
    inputs.family = static_cast<LinkFamily>(family);
    inputs.rows = rows;
    inputs.slotCount = slotCount;
    inputs.pageWidth = pageWidth;
    inputs.effectListSet = effectListSet;
    inputs.currentId = id;
    inputs.address485 = address485 != 0;
    inputs.payload = payload;
    if (table) {
        for (int j = 0; j < Payload::RowCount; ++j) {
            SlotParams& s = SendInputsAccess::Slot(inputs, j);
            const auto row = static_cast<size_t>(j);
            // The stored index goes on the wire as it stands, also when the model's list
            // is shorter (a file written under another model): each family's builder
            // decides what such an index means to its signs.
            s.effect = table->effect[row];
            s.speed = table->speed[row];
            s.holdTime = table->holdTime[row];
            s.marquee = table->marquee[row];
            s.blink = table->blink[row];
            s.sendFlag = table->sendFlag[row];
        }
    }
    return inputs;
}

bool SignLink::StartSend() {
    if (!frames)
        return false;
    auto job = std::make_shared<SendJob>();
    if (messageData)
        job->payload = *messageData;
    job->inputs = MakeSendInputs(&job->payload, rowParams, currentId.load());
    return StartWorker([this, job] { RunSend(job); });
}

void SignLink::RunSend(const std::shared_ptr<SendJob>& job) {
    debugLog.Write(QStringLiteral("SendData:") + DebugLog::TimeStamp(QDateTime::currentDateTime()));
    ClearReplies();
    const int result = RunSendSequence(job->inputs);
    lastResult = result;
    if (result != ResultOk)
        Report(ProgressMessage, 0, static_cast<qintptr>(result) * 65536 + 1);
    busy = false;
    Report(SendEndedMessage, 0, 0);
    qCDebug(lcLink) << "SendData End";
}

int SignLink::RunSendSequence(const SendInputs& inputs) {
    if (!EnsureOpen())
        return ResultOpenFailed;
    const bool withReader = inputs.family == LinkFamily::AddressedBlocks;
    if (withReader)
        StartReader();
    const bool sent = Execute(frames->MessageSequence(inputs));
    if (withReader)
        StopReader();
    if (!sent)
        return ResultSendFailed;
    progress = 100;
    Report(ProgressMessage, 100, 1);
    ClosePortAfter(CloseDelayFor(static_cast<LinkFamily>(family)));
    return ResultOk;
}

bool SignLink::StartGroup() {
    if (!frames)
        return false;
    const int count = std::clamp(groupCount, 0, MaxGroupIds);
    std::vector<int> ids(groupIds.begin(), groupIds.begin() + count);
    auto job = std::make_shared<SendJob>();
    if (messageData)
        job->payload = *messageData;
    job->inputs = MakeSendInputs(&job->payload, rowParams, currentId.load());
    // Group messages always go out as addressed blocks, one ID after the other.
    job->inputs.family = LinkFamily::AddressedBlocks;
    const int operation = groupOperation;
    return StartWorker([this, job, ids = std::move(ids), operation] { RunGroup(job, ids, operation); });
}

void SignLink::RunGroup(const std::shared_ptr<SendJob>& job, std::vector<int> ids, int operation) {
    ClearReplies();
    QList<IdResult> results;
    const auto publish = [this, &results] {
        std::lock_guard lock(outcomeMutex);
        groupResults = results;
    };
    publish();
    if (!EnsureOpen()) {
        for (int id : ids)
            results.append({id, ResultOpenFailed});
        publish();
        lastResult = ResultOpenFailed;
        Report(ProgressMessage, 0, 65536 + 1);
        busy = false;
        return;
    }
    const int count = static_cast<int>(ids.size());
    const int savedId = currentId.load();
    progress = 0;
    int successes = 0;
    for (int i = 0; i < count && !stopping; ++i) {
        const int id = ids[static_cast<size_t>(i)];
        currentId = id;
        ackFlag = 0;
        const bool ok = Execute(GroupSteps(job->inputs, id, i, count, operation));
        if (ok)
            ++successes;
        results.append({id, ok ? ResultOk : ResultSendFailed});
    }
    publish();
    currentId = savedId;
    lastResult = successes < count ? ResultSendFailed : ResultOk;
    progress = 100;
    Report(ProgressMessage, 100, 1);
    ClosePortAfter(GroupCloseDelayMs);
    if (successes < count)
        Report(GroupFailedMessage, successes, count);
    busy = false;
}

bool SignLink::StartScan() {
    if (!frames)
        return false;
    return StartWorker([this] { RunScan(); });
}

void SignLink::RunScan() {
    if (!EnsureOpen()) {
        lastResult = ResultOpenFailed;
        Report(ScanProgressMessage, 100, 1);
        Report(ScanFinishedMessage, 0, 0);
        busy = false;
        return;
    }
    StartReader();
    bool sent = true;
    for (const FrameStep& probe : frames->ScanSequence()) {
        if (stopping)
            break;
        if (probe.progress >= 0)
            progress = probe.progress;
        // A dead line would otherwise cost the send limit for every one of the probes.
        if (!probe.bytes.isEmpty() && !WriteFrame(probe.bytes)) {
            sent = false;
            break;
        }
        Report(ScanProgressMessage, progress.load(), 0);
        Pause(probe.pauseAfterMs);
    }
    StopReader();
    lastResult = sent ? ResultOk : ResultSendFailed;
    Pause(ScanCloseDelayMs);
    if (sent)
        port->Close();
    Report(ScanProgressMessage, 100, 1);
    Report(ScanFinishedMessage, 0, 0);
    busy = false;
}

// ---------------------------------------------------------------- commands

int SignLink::SetClock() {
    ClearReplies(); // each command judges only the replies to its own frame
    ackFlag = 0;
    clockSent = 0;
    commandOpened = 0;
    if (!frames || !OpenForCommand("SendCheckTime"))
        return 1;
    // ackFlag stays 0 until the sign's acknowledgement sets it, so that a silent line is
    // never taken for a set clock.
    const bool sent =
        WriteFrame(frames->ClockStep(static_cast<LinkFamily>(family), QDateTime::currentDateTime()).bytes);
    clockSent = sent ? 1 : 0;
    return 1;
}

int SignLink::ReadId() {
    ClearReplies();
    readIdDone = 0;
    if (!frames || !OpenForCommand("SendReadID"))
        return 1;
    WriteFrame(frames->ReadIdStep(static_cast<LinkFamily>(family)).bytes);
    return 1;
}

int SignLink::SetId(int current, int next) {
    ClearReplies();
    setIdDone = 0;
    if (!frames || !OpenForCommand("SwithcID"))
        return 1;
    WriteFrame(frames->SetIdStep(static_cast<LinkFamily>(family), current, next).bytes);
    return 1;
}

// ---------------------------------------------------------------- plans

FrameSequence SignLink::GroupSteps(const SendInputs& base, int id, int index, int count,
                                   int operation) const {
    if (operation == GroupSendMessages) {
        SendInputs inputs = base;
        inputs.currentId = id;
        inputs.groupIndex = index;
        inputs.groupCount = count;
        return frames->MessageSequence(inputs);
    }
    FrameStep step = frames->PowerStep(id, operation == GroupPowerOn);
    step.progress = (index + 1) * (100 / std::max(1, count));
    return {step};
}

TransferPlan SignLink::EmptyPlan() const {
    TransferPlan plan;
    const LinkFamilies::Family* row = LinkFamilies::Find(static_cast<LinkFamily>(family));
    plan.family = row ? QString::fromLatin1(row->name) : QString();
    plan.line = SerialSettings::Parse(portSettings).value_or(SerialSettings{});
    plan.rows = rows;
    plan.pollMs = timings.pollMs;
    return plan;
}

TransferPlan SignLink::PlanSend(const Payload& payload, const CMessageTable& table, int id) const {
    TransferPlan plan = EmptyPlan();
    if (!frames)
        return plan;
    const SendInputs inputs = MakeSendInputs(&payload, &table, id);
    plan.parts.append({id & 0xFF, frames->MessageSequence(inputs),
                       CloseDelayFor(static_cast<LinkFamily>(family)), QStringLiteral("the port closes")});
    return plan;
}

TransferPlan SignLink::PlanGroup(const Payload& payload, const CMessageTable& table, const QList<int>& ids,
                                 int operation) const {
    TransferPlan plan = EmptyPlan();
    if (!frames)
        return plan;
    SendInputs base = MakeSendInputs(&payload, &table, currentId.load());
    base.family = LinkFamily::AddressedBlocks; // as StartGroup sends them
    const int count = static_cast<int>(std::min<qsizetype>(ids.size(), MaxGroupIds));
    for (int i = 0; i < count; ++i) {
        const int id = ids.at(i);
        plan.parts.append({id & 0xFF, GroupSteps(base, id, i, count, operation), 0, QString()});
    }
    if (!plan.parts.isEmpty()) {
        plan.parts.last().afterMs = GroupCloseDelayMs;
        plan.parts.last().afterLabel = QStringLiteral("the port closes");
    }
    return plan;
}

TransferPlan SignLink::PlanScan() const {
    TransferPlan plan = EmptyPlan();
    if (frames)
        plan.parts.append({0, frames->ScanSequence(), ScanCloseDelayMs, QStringLiteral("the port closes")});
    return plan;
}

TransferPlan SignLink::PlanClock(const QDateTime& localTime) const {
    TransferPlan plan = EmptyPlan();
    if (frames)
        plan.parts.append({0, {frames->ClockStep(static_cast<LinkFamily>(family), localTime)}, 0, QString()});
    return plan;
}

TransferPlan SignLink::PlanReadId() const {
    TransferPlan plan = EmptyPlan();
    if (frames)
        plan.parts.append({0, {frames->ReadIdStep(static_cast<LinkFamily>(family))}, 0, QString()});
    return plan;
}

TransferPlan SignLink::PlanSetId(int current, int next) const {
    TransferPlan plan = EmptyPlan();
    if (frames)
        plan.parts.append({current & 0xFF,
                           {frames->SetIdStep(static_cast<LinkFamily>(family), current, next)},
                           0,
                           QString()});
    return plan;
}

// ---------------------------------------------------------------- reader and replies

void SignLink::StartReader() {
    StopReader();
    readerRunning = 1;
    reader = std::thread(&SignLink::ReaderLoop, this);
}

void SignLink::StopReader() {
    {
        // Cleared under the wake mutex so the reader cannot miss the notification
        // between testing the flag and starting its sleep.
        std::lock_guard lock(readerWakeMutex);
        readerRunning = 0;
    }
    readerWake.notify_all();
    if (reader.joinable())
        reader.join();
}

void SignLink::ReaderLoop() {
    while (readerRunning.load()) {
        {
            std::lock_guard lock(replyMutex);
            ReceivePendingLocked();
        }
        std::unique_lock lock(readerWakeMutex);
        readerWake.wait_for(lock, std::chrono::milliseconds(kReaderPollMs),
                            [this] { return readerRunning.load() == 0; });
    }
    qCDebug(lcLink) << "ReadMSCOMMThreadFunc End!";
}

void SignLink::ReceivePending() {
    std::lock_guard lock(replyMutex);
    ReceivePendingLocked();
}

void SignLink::ReceivePendingLocked() {
    if (!port->IsOpen() || port->InputWaiting() <= 0)
        return;
    const QByteArray chunk = port->ReadPending(CSerialPort::MaxReadChunk);
    if (!chunk.isEmpty())
        ProcessReplyLocked(chunk.constData(), static_cast<int>(chunk.size()));
}

int SignLink::ProcessReply(const char* chunk, int length) {
    std::lock_guard lock(replyMutex);
    return ProcessReplyLocked(chunk, length);
}

int SignLink::ProcessReplyLocked(const char* chunk, int length) {
    qCDebug(lcLink) << "ProcessReadData";
    if (!chunk || length <= 0)
        return 0;
    const int held = replyBuffer.Accumulate(chunk, length);
    const QString line = QString::asprintf("Read(%d)-(%d):", length, held) +
                         DebugLog::Hex(QByteArray::fromRawData(chunk, length));
    qCDebug(lcLink).noquote() << line;
    debugLog.Write(line);

    const ReplyBuffer::Outcome outcome = replyBuffer.Classify();
    switch (outcome.reply) {
    case ReplyBuffer::Reply::None:
        if (outcome.mismatch)
            debugLog.Write(QString::asprintf("Error: m_nDataLen == %d, data not equal ", held));
        return 0;
    case ReplyBuffer::Reply::Ack:
        ackFlag = 1;
        setIdDone = 1;
        readIdDone = 1;
        break;
    case ReplyBuffer::Reply::IdReply:
        setIdDone = 1;
        readIdDone = 1;
        currentId = outcome.id;
        break;
    case ReplyBuffer::Reply::ScanReply:
        readIdDone = 1;
        currentId = outcome.id;
        if (signList) {
            CIdList::Entry& entry = signList->entries[static_cast<size_t>(outcome.id)];
            entry.scanState = 1;
            if (entry.groupMask == 0) {
                entry.groupMask |= 1u;
                entry.checkMask |= 1u;
            }
        }
        break;
    case ReplyBuffer::Reply::ClockAck:
    case ReplyBuffer::Reply::GenericAck:
        ackFlag = 1;
        break;
    }
    return 1;
}

int SignLink::ReplyCount() const {
    std::lock_guard lock(replyMutex);
    return replyBuffer.Count();
}

QByteArray SignLink::ReplyBytes() const {
    std::lock_guard lock(replyMutex);
    return replyBuffer.Contents();
}

void SignLink::ClearReplies() {
    std::lock_guard lock(replyMutex);
    replyBuffer.Clear();
}

} // namespace vexa
