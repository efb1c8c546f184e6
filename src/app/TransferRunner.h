#pragma once

#include "link/SignLink.h"
#include "render/SendPreparation.h"
#include "store/LanguageTexts.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace vexa {

class CVexaApp;
class RowImages;
struct DisplayModel;
struct Payload;

// The main window's side of every transfer, without a window: the single-sign send
// (save, prepare, size check, start), the chain of ticked signs on an RS-485 line, group
// operations, the scan, and the clock and ID commands with their timed checks. The editor
// and the command line drive the link engine through it and show its outcomes.
class TransferRunner : public QObject {
    Q_OBJECT
public:
    static constexpr int ClockCheckDelayMs = 800;
    static constexpr int IdCheckDelayMs = 600;

    enum class Start {
        Started,
        Declined,     // the size question was answered No; nothing sent
        Busy,         // a transfer is still running
        NoModel,      // no catalogue model is set
        NoIdSelected, // a chain without ticked signs
        Unprepared,   // the file could not be read or a row not prepared; see Problems()
        Cancelled,    // the question about rows that will not look as previewed was answered No
    };

    // Asked when the data is over the model's limit: text is the question for the
    // language, excess the bytes over the limit. True goes on with the capped data.
    using SizeQuestion = std::function<bool(const QString& text, int excess)>;
    // Fills a payload from the rows of a message file (open in table). The default renders
    // them in the context's row images, the ones the main window shows, and writes their
    // bitmaps (Export); a plan renders them in row images of its own and writes nothing
    // (InMemory). Returns one text per row that could not be prepared; any stops the send.
    using Preparer = std::function<QStringList(const DisplayModel& model, CMessageTable& table,
                                               Payload& payload, SendPreparation::Bitmaps bitmaps)>;
    // Whether a plan asks the size question (as a send does) or takes the capped data as a
    // Yes would send them (an estimate nobody is asked about).
    enum class SizeAnswer { Ask, Capped };
    // Asked once before a Send, a chain or a Group Send when rows the signs receive will not
    // look as previewed, before anything is sent: lines name each such row (in a chain with
    // its sign's ID) and its findings. True sends all the same.
    using RowWarningQuestion = std::function<bool(const QStringList& lines)>;

    explicit TransferRunner(CVexaApp& app, QObject* parent = nullptr);
    ~TransferRunner() override;

    // The model for preparation and size check; empty takes the settings' model.
    void SetModelName(const QString& name) { modelName = name; }
    const DisplayModel* Model() const;
    void SetSizeQuestion(SizeQuestion question) { sizeQuestion = std::move(question); }
    void SetPreparer(Preparer preparer) { prepare = std::move(preparer); }
    // Without a question rows with warnings are sent without asking.
    void SetRowWarningQuestion(RowWarningQuestion question) { rowWarningQuestion = std::move(question); }
    // The warnings of the rows of the last preparation that the sign receives.
    const QList<SendPreparation::RowWarning>& Warnings() const { return warnings; }
    // After the last send the selected sign (NowSelID) is opened again; off for callers
    // that sent a file of their own.
    void SetReloadSelectedSign(bool reload) { reloadSelected = reload; }

    // Sends the open message file to the engine's currentId.
    Start BeginTransfer();
    // Sends every ticked sign of the sign list in ascending ID order, each from its own
    // work file, the next one starting when the previous send thread ended.
    Start StartChain();
    // Ends a chain after the sign now being sent.
    void StopChainAfterCurrent();
    bool ChainRunning() const { return chainRunning; }
    // Why the last BeginTransfer returned Unprepared.
    const QStringList& Problems() const { return problems; }
    void SetPlanWarnings(bool collect) { collectPlanWarnings = collect; }
    const QStringList& PlanWarnings() const { return planWarnings; }
    const QList<int>& SendIds() const { return sendIds; }
    // The outcome of every sign of the last chain, in the order they were sent.
    const QList<SignLink::IdResult>& ChainResults() const { return chainResults; }
    int SendIndex() const { return sendIndex; }

    // Saves the rows and fills the payload of the open message file, as the Group Send
    // command does before its dialog opens; NoModel without a model.
    Start PrepareGroupData();
    // Group operation of the engine's groupIds/groupCount/groupOperation, after the size
    // check (the payload was prepared before).
    Start StartGroupTransfer();
    // Marks every sign as not answered and probes the line; NoModel without a model (the
    // probes and their settings depend on it).
    Start StartScan();

    // Dry runs: what an operation would write and how long it would take, prepared as the
    // real one is (the same preparer, size question and frame builders) but with nothing
    // saved, written or opened, and the open message file left as it is. Problems() tells
    // why a plan is Unprepared. With SetPlanWarnings(true) a plan also collects the lines
    // the real send would ask about (rows that will not look as previewed; "ID 3: …"
    // lines for a chain), for PlanWarnings().
    Start PlanSend(TransferPlan& plan, SizeAnswer size = SizeAnswer::Ask); // the open file to currentId
    // Every ticked sign, each from its own work file. A sign that cannot be prepared or
    // whose data are declined is left out, as a chain passes it over; skipped gets one
    // "ID 3: reason" line for each that could not be prepared.
    Start PlanChain(TransferPlan& plan, QStringList* skipped = nullptr, SizeAnswer size = SizeAnswer::Ask);
    // A group operation for ids (SignLink::GroupOperation), messages from the open file.
    Start PlanGroup(const QList<int>& ids, int operation, TransferPlan& plan);
    TransferPlan PlanScan() const;
    TransferPlan PlanClock() const; // ends with the wait for the sign's acknowledgement
    TransferPlan PlanReadId() const;
    TransferPlan PlanSetId(int current, int next) const;

    // Clock and ID commands; the outcome arrives with clockChecked (a ClockResult::Outcome)
    // / idRead / idSet.
    void SynchronizeTime();
    void ReadId();
    void SetId(int current, int next);

    // Texts the command line prints: always English.
    static QString ResultText(int result) { return LanguageTexts().ResultText(result); }
    static QString NoIdSelectedText() { return LanguageTexts().Get(LanguageTexts::Text::NoIdSelected); }
    // The question before a send whose data exceed the model's limit by excess bytes.
    static QString SizeQuestionText(const LanguageTexts& texts, int excess);

signals:
    // A sign of a send (single or chain) starts: its ID, position and the number of signs.
    void signStarting(int id, int index, int total);
    // A sign of a chain was passed over without sending: its file could not be read or
    // its rows not prepared (the file is left as it is).
    void signFailed(int id, const QString& reason);
    // The engine's final report of a send or group operation: result 0 success, 1, 3 ...
    void transferEnded(int result);
    // Every send of a single send or a chain is over (after the 1128 of the last one).
    void sendsFinished();
    void clockChecked(int outcome);
    void idRead(bool ok, int id);
    void idSet(bool ok);

private:
    void OnLinkMessage(int message, qintptr wParam, qintptr lParam);
    void SendToNextSign();
    void FinishSends();
    bool AskAboutSize(int excess);
    Start PlanFile(CMessageTable& table, int id, SizeAnswer size, TransferPlan& plan);
    TransferPlan Named(TransferPlan plan) const;
    TransferPlan Awaiting(TransferPlan plan, int waitMs) const;
    RowImages& PlanRows();
    void CollectPlanWarnings(const DisplayModel& model, CMessageTable& table);
    // Collects the warnings of the prepared rows. False when the question was answered No.
    bool CheckWarnings(const DisplayModel& model, bool ask);
    // The warning lines of every sign of a chain, each prepared from its own file.
    QStringList ChainWarningLines(const DisplayModel& model);
    void ReopenSelectedSign();

    CVexaApp& app;
    QString modelName;
    SizeQuestion sizeQuestion;
    Preparer prepare;
    RowWarningQuestion rowWarningQuestion;
    QList<SendPreparation::RowWarning> warnings;
    bool reloadSelected = true;
    QList<int> sendIds;
    QList<SignLink::IdResult> chainResults;
    int sendIndex = 0;
    bool chainRunning = false;
    bool sendRunning = false;
    QStringList problems;
    bool collectPlanWarnings = false;
    QStringList planWarnings;
    std::unique_ptr<RowImages> planRows;
};

} // namespace vexa
