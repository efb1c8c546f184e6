#include "app/TransferRunner.h"

#include "app/CVexaApp.h"
#include "app/ClockResult.h"
#include "core/ModelCatalogue.h"
#include "render/SendPreparation.h"

#include <QTimer>

namespace vexa {

TransferRunner::TransferRunner(CVexaApp& context, QObject* parent) : QObject(parent), app(context) {
    connect(&app.signLink, &SignLink::linkMessage, this, &TransferRunner::OnLinkMessage);
    prepare = [this](const DisplayModel& model, Payload& payload) {
        if (!app.glyphLibrary.IsLoaded())
            app.LoadGlyphLibrary();
        return SendPreparation::PrepareMessageFile(model, app.messageTable, app.rowImages, payload,
                                                   &app.texts);
    };
}

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
    app.messageTable.SaveParams();
    problems = prepare(*model, app.payload);
    if (!problems.isEmpty())
        return Start::Unprepared;
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
    if (reloadSelected) {
        const int selected = app.settingsFile.NowSelID();
        app.signLink.currentId = selected;
        app.messageTable.OpenMessageFile(app.Paths().WorkFilePath(selected));
    }
    emit sendsFinished();
}

TransferRunner::Start TransferRunner::PrepareGroupData() {
    const DisplayModel* model = Model();
    if (!model)
        return Start::NoModel;
    if (app.signLink.IsBusy())
        return Start::Busy;
    app.messageTable.SaveParams();
    problems = prepare(*model, app.payload);
    return problems.isEmpty() ? Start::Started : Start::Unprepared;
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

void TransferRunner::SynchronizeTime() {
    app.signLink.SetClock();
    // A port that did not open is closed right after the command; the frame and the
    // sign's acknowledgement are judged when the wait is over.
    const bool opened = app.signLink.Port()->IsOpen();
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
