#include "link/ui/CDialogIDSet.h"

#include "ui/DialogLook.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace vexa {

namespace {

QComboBox* IdBox(QWidget* parent, int controlId, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (int id = 1; id <= IdCommandModel::ListCount; ++id)
        box->addItem(QString::number(id));
    box->setCurrentIndex(0);
    box->setAccessibleName(name);
    box->lineEdit()->setAccessibleName(name);
    DialogLook::SetControlId(box, controlId);
    return box;
}

} // namespace

CDialogIDSet::CDialogIDSet(SignLink& link, QWidget* parent)
    : CVexaDialog(TemplateNumber, parent), model(link) {
    setWindowTitle(QStringLiteral("ID modify "));
    firstId = IdBox(this, FirstIdBox, QStringLiteral("Present ID"));
    secondId = IdBox(this, SecondIdBox, QStringLiteral("New ID"));
    auto* firstLabel = new QLabel(QStringLiteral("ID"), this);
    firstLabel->setBuddy(firstId);
    auto* secondLabel = new QLabel(Say(LanguageTexts::Text::NewIdLabel), this);
    secondLabel->setBuddy(secondId);
    readButton = new QPushButton(QStringLiteral("Read"), this);
    DialogLook::SetControlId(readButton, ReadButton);
    setButton = new QPushButton(QStringLiteral("Set"), this);
    DialogLook::SetControlId(setButton, SetButton);
    readButton->setAutoDefault(false);
    setButton->setAutoDefault(false);
    connect(readButton, &QPushButton::clicked, this, &CDialogIDSet::OnRead);
    connect(setButton, &QPushButton::clicked, this, &CDialogIDSet::OnSet);

    auto* grid = new QGridLayout(this);
    grid->addWidget(firstLabel, 0, 0);
    grid->addWidget(firstId, 0, 1);
    grid->addWidget(readButton, 0, 2);
    grid->addWidget(secondLabel, 1, 0);
    grid->addWidget(secondId, 1, 1);
    grid->addWidget(setButton, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    ApplyDialogTexts();
}

void CDialogIDSet::reject() {
    if (!pending)
        CVexaDialog::reject();
}

void CDialogIDSet::SetControlsEnabled(bool enabled) {
    pending = !enabled;
    for (QWidget* w : {static_cast<QWidget*>(firstId), static_cast<QWidget*>(secondId),
                       static_cast<QWidget*>(readButton), static_cast<QWidget*>(setButton)})
        w->setEnabled(enabled);
}

// The fixed text of the outcome, and below it why a command failed.
void CDialogIDSet::Tell(const QString& text, const QString& reason) {
    QMessageBox box(reason.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
                    DialogLook::ProgramTitle(), text, QMessageBox::Ok, this);
    box.setInformativeText(reason);
    box.exec();
}

void CDialogIDSet::OnRead() {
    SetControlsEnabled(false);
    model.StartRead();
    QTimer::singleShot(IdCommandModel::ReplyWaitMs, this, [this] {
        const IdCommandModel::ReadOutcome outcome = model.FinishRead(Texts());
        if (outcome.ok && outcome.id >= 1 && outcome.id <= IdCommandModel::ListCount)
            firstId->setCurrentIndex(outcome.id - 1);
        SetControlsEnabled(true);
        Tell(IdCommandModel::ReadText(outcome.ok, Texts()), outcome.reason);
    });
}

void CDialogIDSet::OnSet() {
    const int current = IdCommandModel::ParseId(firstId->currentText());
    const int next = IdCommandModel::ParseId(secondId->currentText());
    const QString refusal = IdCommandModel::CheckSet(current, next, Texts());
    if (!refusal.isEmpty()) {
        Tell(refusal);
        return;
    }
    SetControlsEnabled(false);
    model.StartSet(current, next);
    QTimer::singleShot(IdCommandModel::ReplyWaitMs, this, [this] {
        const IdCommandModel::ReadOutcome outcome = model.FinishSet(Texts());
        SetControlsEnabled(true);
        Tell(IdCommandModel::SetText(outcome.ok, Texts()), outcome.reason);
    });
}

} // namespace vexa
