#include "link/ui/CDialogGroup.h"

#include "link/GroupSendModel.h"
#include "link/SignLink.h"
#include "link/TreeOptionsState.h"
#include "link/ui/CTreeOptionsCtrl.h"
#include "ui/DialogLook.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa {

CDialogGroup::CDialogGroup(SystemSettings& settings, const CIdList& list, SignLink& engine,
                           GroupStart groupStart, QWidget* parent)
    : CVexaDialog(TemplateNumber, parent), link(engine), start(std::move(groupStart)) {
    setWindowTitle(Say(LanguageTexts::Text::GroupSendTitle));
    tree = new CTreeOptionsCtrl(this);
    DialogLook::SetControlId(tree, SignTree);
    tree->setAccessibleName(QStringLiteral("Signs"));
    tree->setMinimumSize(tree->fontMetrics().horizontalAdvance(QStringLiteral("255.WWWWWWWWWW")),
                         tree->fontMetrics().height() * 14);

    const auto button = [this](const QString& text, int id) {
        auto* b = new QPushButton(text, this);
        DialogLook::SetControlId(b, id);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* powerOn = button(QStringLiteral("Power ON"), PowerOnButton);
    QPushButton* powerOff = button(QStringLiteral("Power OFF"), PowerOffButton);
    QPushButton* sendAll = button(QStringLiteral("Send All"), SendAllButton);
    QPushButton* sendSelected = button(QStringLiteral("Send Selected"), SendSelectedButton);
    QPushButton* all = button(QStringLiteral("All"), AllButton);
    QPushButton* noAll = button(QStringLiteral("No All"), NoAllButton);
    QPushButton* reverse = button(QStringLiteral("Reverse"), ReverseButton);
    actions = {powerOn, powerOff, sendAll, sendSelected};
    connect(powerOn, &QPushButton::clicked, this, [this] { StartOperation(SignLink::GroupPowerOn); });
    connect(powerOff, &QPushButton::clicked, this, [this] { StartOperation(SignLink::GroupPowerOff); });
    // Both send buttons send to the ticked signs.
    connect(sendAll, &QPushButton::clicked, this, [this] { StartOperation(SignLink::GroupSendMessages); });
    connect(sendSelected, &QPushButton::clicked, this,
            [this] { StartOperation(SignLink::GroupSendMessages); });
    connect(all, &QPushButton::clicked, this, [this] { SetTicks(Ticks::All); });
    connect(noAll, &QPushButton::clicked, this, [this] { SetTicks(Ticks::None); });
    connect(reverse, &QPushButton::clicked, this, [this] { SetTicks(Ticks::Reverse); });

    auto* power = new QGroupBox(QStringLiteral("Power"), this);
    DialogLook::SetControlId(power, PowerGroup);
    auto* powerLayout = new QVBoxLayout(power);
    powerLayout->addWidget(powerOn);
    powerLayout->addWidget(powerOff);
    auto* send = new QGroupBox(QStringLiteral("Send"), this);
    DialogLook::SetControlId(send, SendGroup);
    auto* sendLayout = new QVBoxLayout(send);
    sendLayout->addWidget(sendAll);
    sendLayout->addWidget(sendSelected);
    auto* side = new QVBoxLayout;
    side->addWidget(power);
    side->addWidget(send);
    side->addStretch();
    auto* ticks = new QHBoxLayout;
    ticks->addWidget(all);
    ticks->addWidget(noAll);
    ticks->addWidget(reverse);
    auto* left = new QVBoxLayout;
    left->addWidget(tree, 1);
    left->addLayout(ticks);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);

    FillTree(settings, list);
    ApplyDialogTexts();
    tree->setFocus();
}

void CDialogGroup::FillTree(SystemSettings& settings, const CIdList& list) {
    root = new QTreeWidgetItem(tree, QStringList{Say(LanguageTexts::Text::GroupTreeRoot)});
    tree->SetItemImage(root, TreeOptionsState::Group);
    for (const GroupSendModel::Child& child : GroupSendModel::Children(settings, list)) {
        auto* item = new QTreeWidgetItem(root, QStringList{child.text});
        tree->SetItemImage(item, child.ticked ? TreeOptionsState::CheckOn : TreeOptionsState::CheckOff);
    }
    root->setExpanded(true);
    tree->setCurrentItem(root);
}

QList<int> CDialogGroup::TickedIds() const {
    QList<int> ids;
    for (int i = 0; i < root->childCount(); ++i) {
        const QTreeWidgetItem* child = root->child(i);
        const int id = tree->IsTicked(child) ? GroupSendModel::IdOfText(child->text(0)) : 0;
        if (id > 0)
            ids.append(id);
    }
    return ids;
}

void CDialogGroup::StartOperation(int operation) {
    const QList<int> ids = TickedIds();
    if (ids.isEmpty())
        return;
    GroupSendModel::HandToLink(link, ids, operation);
    if (start)
        start();
}

void CDialogGroup::SetTicks(Ticks ticks) {
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem* child = root->child(i);
        bool ticked = ticks == Ticks::All;
        if (ticks == Ticks::Reverse)
            ticked = !tree->IsTicked(child);
        tree->SetItemImage(child, ticked ? TreeOptionsState::CheckOn : TreeOptionsState::CheckOff);
    }
}

void CDialogGroup::SetActionsEnabled(bool enabled) {
    for (QPushButton* b : std::as_const(actions))
        b->setEnabled(enabled);
}

} // namespace vexa
