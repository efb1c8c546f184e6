#include "app/SendEstimate.h"

#include "app/CVexaApp.h"
#include "app/TransferRunner.h"

#include <QTimer>
#include <algorithm>

namespace vexa {

SendEstimate::SendEstimate(CVexaApp& context, TransferRunner& transfers, QObject* parent)
    : QObject(parent), app(context), runner(transfers), settle(new QTimer(this)) {
    settle->setSingleShot(true);
    settle->setInterval(SettleMs);
    connect(settle, &QTimer::timeout, this, [this] {
        // A running transfer owns the line and the rows; plan when it is over.
        if (app.signLink.IsBusy())
            settle->start();
        else
            Update();
    });
}

void SendEstimate::Invalidate() {
    fresh = false;
    settle->start();
}

void SendEstimate::SetChain(bool sendsChain) {
    if (chain == sendsChain)
        return;
    chain = sendsChain;
    Invalidate();
}

void SendEstimate::Update() {
    if (fresh)
        return;
    settle->stop();
    TransferPlan next;
    const TransferRunner::Start start =
        chain ? runner.PlanChain(next, nullptr, TransferRunner::SizeAnswer::Capped)
              : runner.PlanSend(next, TransferRunner::SizeAnswer::Capped);
    plan = start == TransferRunner::Start::Started ? next : TransferPlan();
    fresh = true;
    emit changed();
}

QString SendEstimate::About(const TransferPlan& planned) const {
    const TransferPlan::Totals totals = planned.Sum();
    return totals.frames > 0 ? TransferPlan::AboutText(totals.predictedMs, &app.texts) : QString();
}

QString SendEstimate::Text() const {
    return fresh ? About(plan) : QString();
}

QString SendEstimate::OfStartedSend() const {
    return About(app.signLink.PlanSend(app.payload, app.messageTable, app.signLink.currentId.load()));
}

QString SendEstimate::OfStartedGroup() const {
    const SignLink& link = app.signLink;
    QList<int> ids;
    for (int i = 0; i < std::clamp(link.groupCount, 0, SignLink::MaxGroupIds); ++i)
        ids.append(link.groupIds[static_cast<size_t>(i)]);
    return About(link.PlanGroup(app.payload, app.messageTable, ids, link.groupOperation));
}

QString SendEstimate::OfChain() {
    SetChain(true);
    Update();
    return Text();
}

} // namespace vexa
