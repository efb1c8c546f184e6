#include "editors/CDialogFace.h"

#include "editors/CWtxtDialog.h"
#include "render/ui/CEditWnd.h"
#include "render/ui/CFaceWnd.h"
#include "ui/DialogLook.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace vexa {

CDialogFace::CDialogFace(CEditWnd& field, const QString& folder, QWidget* parent)
    : CVexaDialog(TemplateId, parent), target(field), opened(field.State().Keep()) {
    setWindowTitle(Say(LanguageTexts::Text::PickerTitle));
    grid = new CFaceWnd(this, Grid);
    grid->SetCharacterNames(&CWtxtDialog::CharacterOf);
    grid->setAccessibleName(QStringLiteral("Characters"));
    grid->setAccessibleDescription(QStringLiteral("Arrow keys choose a character, Space inserts it."));
    grid->setMinimumSize(grid->sizeHint());
    auto* ok = new QPushButton(Say(LanguageTexts::Text::ButtonOk), this);
    DialogLook::SetControlId(ok, OkButton);
    ok->setAccessibleName(QStringLiteral("OK"));
    ok->hide();
    auto* done = new QPushButton(Say(LanguageTexts::Text::PickerDone), this);
    DialogLook::SetControlId(done, DoneButton);
    done->setAccessibleName(done->text());
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    DialogLook::SetControlId(cancel, CancelButton);
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    for (QPushButton* button : {ok, done, cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid, &CFaceWnd::picked, this, &CDialogFace::OnPicked);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(done);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    setTabOrder(grid, done);
    setTabOrder(done, cancel);

    grid->LoadFolder(folder);
    grid->setFocus(Qt::OtherFocusReason);
    ApplyDialogTexts();
}

void CDialogFace::OnPicked(int characterIndex) {
    lastPicked = characterIndex;
    target.InsertCode(characterIndex);
    // The owner's field has the focus again once the picker closes; this window keeps it
    // meanwhile, so arrow keys and Space go on picking.
    target.setFocus(Qt::OtherFocusReason);
}

// Cancel (the button, Escape, the close box) takes back what the picker inserted.
void CDialogFace::reject() {
    target.Restore(opened);
    CVexaDialog::reject();
}

void CDialogFace::keyPressEvent(QKeyEvent* event) {
    // Return is the hidden OK, which does nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    CVexaDialog::keyPressEvent(event);
}

void CDialogFace::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove())
        return;
    CVexaDialog::mousePressEvent(event);
}

} // namespace vexa
