#include "app/TransferRunner.h"

#include "app/CVexaApp.h"
#include "core/ModelCatalogue.h"
#include "render/SendPreparation.h"

#include <QTimer>

namespace vexa {

TransferRunner::TransferRunner(CVexaApp& context, QObject* parent) : QObject(parent), app(context) {
    connect(&app.signLink, &SignLink::linkMessage, this, &TransferRunner::OnLinkMessage);
    prepare = [this](const DisplayModel& model, Payload& payload) {
        if (!app.glyphLibrary.IsLoaded())
            app.LoadGlyphLibrary();
        SendPreparation::PrepareMessageFile(model, app.messageTable, app.glyphLibrary, app.Paths(), payload);
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
    app.messageTable.SaveParams();
    prepare(*model, app.payload);
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
    chainRunning = true;
    SendToNextSign();
    return Start::Started;
}

void TransferRunner::StopChainAfterCurrent() { sendIndex = static_cast<int>(sendIds.size()); }

// Starts the sign at sendIndex. A sign that cannot start (its data declined by the size
// question) is passed over, so the chain never waits for a send that was not begun.
void TransferRunner::SendToNextSign() {
    while (sendIndex < sendIds.size()) {
        const int id = sendIds[sendIndex];
        app.signLink.currentId = id;
        app.messageTable.OpenMessageFile(app.Paths().WorkFilePath(id));
        emit signStarting(id, sendIndex, static_cast<int>(sendIds.size()));
        if (BeginTransfer() == Start::Started)
            return;
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
    if (app.signLink.IsBusy())
        return Start::Busy;
    for (CIdList::Entry& entry : app.idList.entries)
        entry.scanState = 2;
    return app.signLink.StartScan() ? Start::Started : Start::Busy;
}

void TransferRunner::OnLinkMessage(int message, qintptr, qintptr lParam) {
    if (message == SignLink::ProgressMessage && (lParam & 0xFFFF) == 1) {
        emit transferEnded(static_cast<int>(lParam >> 16));
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
    if (!app.signLink.SetClock()) {
        emit clockChecked(false);
        return;
    }
    QTimer::singleShot(ClockCheckDelayMs, this, [this] {
        app.signLink.ClosePort();
        // The clock counts as set only when its frame really left the port and the
        // engine holds the acknowledgement.
        emit clockChecked(app.signLink.ackFlag.load() != 0 && app.signLink.ClockFrameSent());
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
