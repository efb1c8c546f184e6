#include "link/ui/CDialogID.h"

#include "store/CIdList.h"
#include "ui/DialogLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa {

namespace {

QComboBox* IdBox(QWidget* parent, int controlId) {
    auto* box = new QComboBox(parent);
    for (int id = 1; id <= IdEditorModel::ListCount; ++id)
        box->addItem(QString::number(id));
    box->setCurrentIndex(0);
    DialogLook::SetControlId(box, controlId);
    return box;
}

} // namespace

CDialogID::CDialogID(IdEditorModel editorModel, QWidget* parent)
    : CVexaDialog(TemplateNumber, parent), model(std::move(editorModel)) {
    setWindowTitle(QStringLiteral("ID Editor"));
    auto* idLabel = new QLabel(QStringLiteral("ID"), this);
    firstId = IdBox(this, FirstIdBox);
    idLabel->setBuddy(firstId);
    firstId->setAccessibleName(QStringLiteral("ID"));
    nameLabel = new QLabel(QStringLiteral("Name"), this);
    DialogLook::SetControlId(nameLabel, NameLabel);
    nameEdit = new QLineEdit(this);
    DialogLook::SetControlId(nameEdit, NameEdit);
    nameEdit->setMaxLength(CIdList::MaxNameLength);
    nameEdit->setAccessibleName(QStringLiteral("Name"));
    nameLabel->setBuddy(nameEdit);
    secondLabel = new QLabel(QStringLiteral("ID2"), this);
    DialogLook::SetControlId(secondLabel, SecondIdLabel);
    secondId = IdBox(this, SecondIdBox);
    secondId->setAccessibleName(QStringLiteral("Last ID"));
    secondLabel->setBuddy(secondId);
    autoAdd = new QCheckBox(QStringLiteral("Auto Add"), this);
    DialogLook::SetControlId(autoAdd, AutoAddBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    DialogLook::SetControlId(buttons->button(QDialogButtonBox::Ok), OkButton);
    DialogLook::SetControlId(buttons->button(QDialogButtonBox::Cancel), CancelButton);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDialogID::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(autoAdd, &QCheckBox::toggled, this, &CDialogID::OnAutoAdd);

    auto* grid = new QGridLayout;
    grid->addWidget(idLabel, 0, 0);
    grid->addWidget(firstId, 0, 1);
    grid->addWidget(nameLabel, 1, 0);
    grid->addWidget(nameEdit, 1, 1);
    grid->addWidget(secondLabel, 2, 0);
    grid->addWidget(secondId, 2, 1);
    grid->addWidget(autoAdd, 3, 1);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Initialisation: the mode decides what is shown and what can change.
    secondId->hide();
    secondLabel->hide();
    firstId->setCurrentIndex(model.InitialId() - 1);
    nameEdit->setText(model.InitialName());
    if (model.Style() == IdEditorModel::ModifyStyle) {
        firstId->setEnabled(false);
        autoAdd->hide();
    }
    ApplyDialogTexts();
    nameEdit->setFocus();
    nameEdit->selectAll();
}

void CDialogID::OnAutoAdd(bool checked) {
    secondId->setVisible(checked);
    secondLabel->setVisible(checked);
    nameEdit->setVisible(!checked);
    nameLabel->setVisible(!checked);
}

void CDialogID::accept() {
    const auto acceptWith = [this](bool renameConfirmed) {
        return model.Accept(firstId->currentIndex() + 1, secondId->currentIndex() + 1, nameEdit->text(),
                            autoAdd->isChecked(), renameConfirmed);
    };
    IdEditorModel::Outcome outcome = acceptWith(false);
    if (!outcome.question.isEmpty()) {
        if (QMessageBox::question(this, DialogLook::ProgramTitle(), outcome.question,
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        outcome = acceptWith(true);
    }
    if (!outcome.message.isEmpty()) {
        const QString caption = outcome.caption.isEmpty() ? DialogLook::ProgramTitle() : outcome.caption;
        if (outcome.warning)
            QMessageBox::warning(this, caption, outcome.message);
        else
            QMessageBox::information(this, caption, outcome.message);
    }
    if (outcome.accepted)
        QDialog::accept();
}

} // namespace vexa
