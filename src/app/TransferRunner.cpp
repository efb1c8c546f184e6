#include "app/TransferRunner.h"

#include "app/CVexaApp.h"
#include "app/ClockResult.h"
#include "core/ModelCatalogue.h"
#include "render/SendPreparation.h"

#include <QDateTime>
#include <QTimer>

namespace vexa {

TransferRunner::TransferRunner(CVexaApp& context, QObject* parent) : QObject(parent), app(context) {
    connect(&app.signLink, &SignLink::linkMessage, this, &TransferRunner::OnLinkMessage);
    prepare = [this](const DisplayModel& model, CMessageTable& table, Payload& payload,
                     SendPreparation::Bitmaps bitmaps) {
        const bool inMemory = bitmaps == SendPreparation::Bitmaps::InMemory;
        // A library the window opened reads its folders when first needed: the same glyphs.
        if (!app.glyphLibrary.IsLoaded() && (!inMemory || app.glyphLibrary.DataDir().isEmpty()))
            app.LoadGlyphLibrary();
        RowImages& rows = inMemory ? PlanRows() : app.rowImages;
        return SendPreparation::PrepareMessageFile(model, table, rows, payload, &app.texts, bitmaps);
    };
}

TransferRunner::~TransferRunner() = default;

const DisplayModel* TransferRunner::Model() const {
    return ModelCatalogue::Find(modelName.isEmpty() ? app.ModelName() : modelName);
}

QString TransferRunner::SizeQuestionText(const LanguageTexts& texts, int excess) {
    return texts.DataOver(SendPreparation::ExcessWords(excess));
}

bool TransferRunner::AskAboutSize(int excess) {
    if (excess <= 0)
        return true;
    return sizeQuestion && sizeQuestion(SizeQuestionText(app.texts, excess), excess);
}

bool TransferRunner::CheckWarnings(const DisplayModel& model, bool ask) {
    warnings = SendPreparation::Warnings(model, app.rowImages.Pointers(), app.messageTable);
    if (!ask || warnings.isEmpty() || !rowWarningQuestion)
        return true;
    return rowWarningQuestion(SendPreparation::WarningLines(warnings, &app.texts));
}

QStringList TransferRunner::ChainWarningLines(const DisplayModel& model) {
    QStringList lines;
    for (const int id : std::as_const(sendIds)) {
        app.messageTable.OpenMessageFile(app.Paths().WorkFilePath(id));
        // A sign whose file cannot be read or prepared is reported when its turn comes.
        if (!app.messageTable.Loaded() ||
            !prepare(model, app.messageTable, app.payload, SendPreparation::Bitmaps::Export).isEmpty())
            continue;
        CheckWarnings(model, false);
        for (const QString& line : SendPreparation::WarningLines(warnings, &app.texts))
            lines << QStringLiteral("ID %1: %2").arg(id).arg(line);
    }
    return lines;
}

void TransferRunner::ReopenSelectedSign() {
    if (!reloadSelected)
        return;
    const int selected = app.SelectedSign();
    app.signLink.currentId = selected;
    app.messageTable.OpenMessageFile(app.Paths().WorkFilePath(selected));
}

TransferRunner::Start TransferRunner::BeginTransfer() {
    const DisplayModel* model = Model();
    if (!model)
        return Start::NoModel;
    if (app.signLink.IsBusy())
        return Start::Busy;
    problems.clear();
    if (!app.messageTable.Loaded()) {
        // Nothing of a file that could not be read is sent, nor written back.
        problems << QStringLiteral("cannot read %1").arg(app.messageTable.LoadError());
        return Start::Unprepared;
    }
    if (!app.messageTable.HoldsMessageTable()) {
        // Its rows would all go out empty and clear the sign.
        problems << QStringLiteral("%1 is not a message file").arg(app.messageTable.MessageFilePath());
        return Start::Unprepared;
    }
    app.messageTable.SaveParams();
    problems = prepare(*model, app.messageTable, app.payload, SendPreparation::Bitmaps::Export);
    if (!problems.isEmpty())
        return Start::Unprepared;
    if (!CheckWarnings(*model, !chainRunning)) // a chain asked before its first sign
        return Start::Cancelled;
    if (!AskAboutSize(SendPreparation::LimitDataSize(*model, app.messageTable, app.payload)))
        return Start::Declined;
    app.signLink.messageData = &app.payload;
    app.signLink.rowParams = &app.messageTable;
    if (!app.signLink.StartSend())
        return Start::Busy;
    sendRunning = true;
    return Start::Started;
}

TransferRunner::Start TransferRunner::StartChain() {
    if (!Model())
        return Start::NoModel;
    if (app.signLink.IsBusy())
        return Start::Busy;
    sendIds = app.idList.TickedIds();
    if (sendIds.isEmpty())
        return Start::NoIdSelected;
    sendIndex = 0;
    chainResults.clear();
    if (rowWarningQuestion) {
        const QStringList lines = ChainWarningLines(*Model());
        if (!lines.isEmpty() && !rowWarningQuestion(lines)) {
            ReopenSelectedSign();
            return Start::Cancelled;
        }
    }
    chainRunning = true;
    SendToNextSign();
    return Start::Started;
}

void TransferRunner::StopChainAfterCurrent() {
    sendIndex = static_cast<int>(sendIds.size());
}

// Starts the sign at sendIndex. A sign that cannot start (its file unreadable or missing,
// a row not prepared, its data declined by the size question) is passed over, so the chain
// never waits for a send that was not begun; the first two are reported per sign.
void TransferRunner::SendToNextSign() {
    while (sendIndex < sendIds.size()) {
        const int id = sendIds[sendIndex];
        app.signLink.currentId = id;
        app.messageTable.OpenMessageFile(app.Paths().WorkFilePath(id));
        emit signStarting(id, sendIndex, static_cast<int>(sendIds.size()));
        const Start start = BeginTransfer();
        if (start == Start::Started)
            return;
        if (start == Start::Unprepared)
            emit signFailed(id, problems.join(QStringLiteral("; ")));
        ++sendIndex;
    }
    FinishSends();
}

void TransferRunner::FinishSends() {
    chainRunning = false;
    sendRunning = false;
    ReopenSelectedSign();
    emit sendsFinished();
}

TransferRunner::Start TransferRunner::PrepareGroupData() {
    const DisplayModel* model = Model();
    if (!model)
        return Start::NoModel;
    if (app.signLink.IsBusy())
        return Start::Busy;
    app.messageTable.SaveParams();
    problems = prepare(*model, app.messageTable, app.payload, SendPreparation::Bitmaps::Export);
    if (!problems.isEmpty())
        return Start::Unprepared;
    return CheckWarnings(*model, true) ? Start::Started : Start::Cancelled;
}

TransferRunner::Start TransferRunner::StartGroupTransfer() {
    const DisplayModel* model = Model();
    if (!model)
        return Start::NoModel;
    if (app.signLink.IsBusy())
        return Start::Busy;
    if (!AskAboutSize(SendPreparation::LimitDataSize(*model, app.messageTable, app.payload)))
        return Start::Declined;
    app.signLink.messageData = &app.payload;
    app.signLink.rowParams = &app.messageTable;
    return app.signLink.StartGroup() ? Start::Started : Start::Busy;
}

TransferRunner::Start TransferRunner::StartScan() {
    if (!Model())
        return Start::NoModel;
    if (app.signLink.IsBusy())
        return Start::Busy;
    for (CIdList::Entry& entry : app.idList.entries)
        entry.scanState = 2;
    return app.signLink.StartScan() ? Start::Started : Start::Busy;
}

void TransferRunner::OnLinkMessage(int message, qintptr, qintptr lParam) {
    if (message == SignLink::ProgressMessage && (lParam & 0xFFFF) == 1) {
        const int result = static_cast<int>(lParam >> 16);
        if (chainRunning && sendRunning)
            chainResults.append({app.signLink.currentId.load(), result});
        emit transferEnded(result);
        return;
    }
    if (message != SignLink::SendEndedMessage || !sendRunning)
        return;
    ++sendIndex;
    if (chainRunning && sendIndex < sendIds.size())
        SendToNextSign();
    else
        FinishSends();
}

// ---------------------------------------------------------------- dry runs

RowImages& TransferRunner::PlanRows() {
    if (!planRows)
        planRows = std::make_unique<RowImages>(app.glyphLibrary, app.Paths(), app.CodePage());
    planRows->SetCodePage(app.CodePage()); // as the context's own row images follow it
    return *planRows;
}

TransferPlan TransferRunner::Named(TransferPlan plan) const {
    const DisplayModel* model = Model();
    plan.model = model ? QString::fromLatin1(model->name) : QString();
    return plan;
}

// A message file as BeginTransfer would send it to sign id, without saving or writing.
TransferRunner::Start TransferRunner::PlanFile(CMessageTable& table, int id, SizeAnswer size,
                                               TransferPlan& plan) {
    const DisplayModel* model = Model();
    if (!model)
        return Start::NoModel;
    problems.clear();
    if (!table.Loaded()) {
        problems << QStringLiteral("cannot read %1").arg(table.LoadError());
        return Start::Unprepared;
    }
    if (!table.HoldsMessageTable()) {
        // A real send refuses it: its rows would all go out empty and clear the sign.
        problems << QStringLiteral("%1 is not a message file").arg(table.MessageFilePath());
        return Start::Unprepared;
    }
    Payload payload;
    problems = prepare(*model, table, payload, SendPreparation::Bitmaps::InMemory);
    if (!problems.isEmpty())
        return Start::Unprepared;
    CollectPlanWarnings(*model, table);
    const int excess = SendPreparation::LimitDataSize(*model, table, payload);
    if (size == SizeAnswer::Ask && !AskAboutSize(excess))
        return Start::Declined;
    plan.Append(app.signLink.PlanSend(payload, table, id));
    return Start::Started;
}

void TransferRunner::CollectPlanWarnings(const DisplayModel& model, CMessageTable& table) {
    if (collectPlanWarnings)
        planWarnings << SendPreparation::WarningLines(
            SendPreparation::Warnings(model, PlanRows().Pointers(), table), &app.texts);
}

TransferRunner::Start TransferRunner::PlanSend(TransferPlan& plan, SizeAnswer size) {
    planWarnings.clear();
    plan = Named(app.signLink.EmptyPlan());
    return PlanFile(app.messageTable, app.signLink.currentId.load(), size, plan);
}

TransferRunner::Start TransferRunner::PlanChain(TransferPlan& plan, QStringList* skipped, SizeAnswer size) {
    plan = Named(app.signLink.EmptyPlan());
    if (!Model())
        return Start::NoModel;
    const QList<int> ids = app.idList.TickedIds();
    if (ids.isEmpty())
        return Start::NoIdSelected;
    QStringList chainWarnings;
    for (int id : ids) {
        CMessageTable table;
        table.messageFile.SetCodePage(LegacyCodePage(app.CodePage()));
        table.OpenMessageFile(app.Paths().WorkFilePath(id));
        planWarnings.clear();
        if (PlanFile(table, id, size, plan) == Start::Unprepared && skipped)
            *skipped << QStringLiteral("ID %1: %2").arg(id).arg(problems.join(QStringLiteral("; ")));
        for (const QString& line : std::as_const(planWarnings))
            chainWarnings << QStringLiteral("ID %1: %2").arg(id).arg(line);
    }
    planWarnings = chainWarnings;
    return Start::Started;
}

TransferRunner::Start TransferRunner::PlanGroup(const QList<int>& ids, int operation, TransferPlan& plan) {
    const DisplayModel* model = Model();
    if (!model)
        return Start::NoModel;
    problems.clear();
    planWarnings.clear();
    Payload payload;
    if (operation == SignLink::GroupSendMessages) {
        if (!app.messageTable.Loaded()) {
            problems << QStringLiteral("cannot read %1").arg(app.messageTable.LoadError());
            return Start::Unprepared;
        }
        problems = prepare(*model, app.messageTable, payload, SendPreparation::Bitmaps::InMemory);
        if (!problems.isEmpty())
            return Start::Unprepared;
        CollectPlanWarnings(*model, app.messageTable);
        if (!AskAboutSize(SendPreparation::LimitDataSize(*model, app.messageTable, payload)))
            return Start::Declined;
    }
    plan = Named(app.signLink.PlanGroup(payload, app.messageTable, ids, operation));
    return Start::Started;
}

TransferPlan TransferRunner::PlanScan() const {
    return Named(app.signLink.PlanScan());
}

// A command's plan ends with the wait before its outcome is judged.
TransferPlan TransferRunner::Awaiting(TransferPlan plan, int waitMs) const {
    plan = Named(std::move(plan));
    if (!plan.parts.isEmpty()) {
        plan.parts.last().afterMs = waitMs;
        plan.parts.last().afterLabel = QStringLiteral("the sign's answer is awaited");
    }
    return plan;
}

TransferPlan TransferRunner::PlanClock() const {
    return Awaiting(app.signLink.PlanClock(QDateTime::currentDateTime()), ClockCheckDelayMs);
}

TransferPlan TransferRunner::PlanReadId() const {
    return Awaiting(app.signLink.PlanReadId(), IdCheckDelayMs);
}

TransferPlan TransferRunner::PlanSetId(int current, int next) const {
    return Awaiting(app.signLink.PlanSetId(current, next), IdCheckDelayMs);
}

// ---------------------------------------------------------------- clock and ID commands

void TransferRunner::SynchronizeTime() {
    app.signLink.SetClock();
    // A port that did not open is closed right after the command; the frame and the
    // sign's acknowledgement are judged when the wait is over. A line that opened and
    // was lost afterwards (a server that hangs up) did open.
    const bool opened = app.signLink.CommandPortOpened();
    QTimer::singleShot(opened ? ClockCheckDelayMs : 0, this, [this, opened] {
        app.signLink.ClosePort();
        emit clockChecked(
            ClockResult::Judge(opened, app.signLink.ClockFrameSent(), app.signLink.ackFlag.load() != 0));
    });
}

void TransferRunner::ReadId() {
    app.signLink.ReadId();
    QTimer::singleShot(IdCheckDelayMs, this, [this] {
        app.signLink.ClosePort();
        emit idRead(app.signLink.readIdDone.load() != 0, app.signLink.currentId.load());
    });
}

void TransferRunner::SetId(int current, int next) {
    app.signLink.SetId(current, next);
    QTimer::singleShot(IdCheckDelayMs, this, [this] {
        app.signLink.ClosePort();
        emit idSet(app.signLink.setIdDone.load() != 0);
    });
}

} // namespace vexa
