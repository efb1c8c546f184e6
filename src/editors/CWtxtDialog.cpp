#include "editors/CWtxtDialog.h"

#include "PalettePictures.h"
#include "editors/CDialogFace.h"
#include "editors/CSmallIconComboBox.h"
#include "editors/EditorPreview.h"
#include "render/ui/CEditWnd.h"
#include "render/ui/CImageWnd.h"
#include "ui/ArrowKeyGroup.h"
#include "ui/DialogLook.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexa {

namespace {

constexpr int PaletteColumns = 33;

} // namespace

CWtxtDialog::CWtxtDialog(int rowIndex, CMessageTable& table, const GlyphTextEditorModel::Setup& setup,
                         const QString& folder, QWidget* parent)
    : CVexaDialog(TemplateId, parent), model(table, rowIndex, setup), pickerFolder(folder) {
    setWindowTitle(QStringLiteral("Text Editor"));
    runPicker = [](CWtxtDialog& dialog) {
        CDialogFace picker(*dialog.editField, dialog.pickerFolder, &dialog);
        picker.exec();
    };
    BuildControls();
    model.LoadRow();
    ShowFontAndColour();
    preview->Refresh();
    editField->update();
    ApplyDialogTexts();
    editField->setFocus(Qt::OtherFocusReason);
}

void CWtxtDialog::BuildControls() {
    const auto frame = EditorPreview::MakeFrame(this, PreviewGroup, PreviewWindow, model.Preview(),
                                                EditorPreview::GlyphLargeDot, PaletteColumns * 26,
                                                EditorPlayback::RowOf(model));
    auto* previewGroup = frame.group;
    preview = frame.window;

    auto* editGroup =
        DialogLook::Tag(new QGroupBox(QStringLiteral("Edit"), this), EditGroup, QStringLiteral("Edit"));
    fontList = DialogLook::Tag(new QComboBox(editGroup), FontList, QStringLiteral("Font"));
    fontList->addItems(GlyphTextEditorModel::FontNames);
    fontList->setCurrentIndex(0);
    colourList = DialogLook::Tag(new CSmallIconComboBox(editGroup), ColourList, QStringLiteral("Colour"));
    for (int icon : ColourIcons)
        colourList->AddIcon(icon);
    colourList->setCurrentIndex(0);
    pickerButton =
        DialogLook::Tag(new QPushButton(editGroup), PickerButton, QStringLiteral("Character picker"));
    pickerButton->setIcon(
        QIcon(PalettePictures::SpecialPath(PalettePictures::SpecialNumberOf(QStringLiteral("ä")))));
    pickerButton->setIconSize(QSize(24, 24));
    pickerButton->setToolTip(Say(LanguageTexts::Text::CharacterPickerTip));
    editField = DialogLook::Tag(new CEditWnd(editGroup), EditField, QStringLiteral("Text"));
    editField->SetState(&model.Edit());
    editField->SetCharacterNames(&CWtxtDialog::CharacterOf);
    editField->setMinimumHeight(4 * GlyphEditModel::MinLineHeight + 8);
    pasteNote = new QLabel(editGroup);
    pasteNote->setAccessibleName(QStringLiteral("Paste note"));
    pasteNote->hide();

    auto* choices = new QHBoxLayout;
    choices->addWidget(fontList);
    choices->addWidget(colourList);
    choices->addWidget(pickerButton);
    choices->addStretch();
    auto* editLayout = new QVBoxLayout(editGroup);
    editLayout->addLayout(choices);
    editLayout->addWidget(BuildPalette());
    editLayout->addWidget(editField, 1);
    editLayout->addWidget(pasteNote);

    auto* ok = DialogLook::Tag(new QPushButton(QStringLiteral("OK"), this), OkButton, QStringLiteral("OK"));
    auto* cancel = DialogLook::Tag(new QPushButton(QStringLiteral("Cancel"), this), CancelButton,
                                   QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    for (QPushButton* button : {ok, cancel, pickerButton})
        button->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(previewGroup);
    layout->addWidget(editGroup, 1);
    layout->addLayout(buttons);

    connect(fontList, &QComboBox::activated, this, &CWtxtDialog::OnFontChosen);
    connect(colourList, &QComboBox::activated, this, &CWtxtDialog::OnColourChosen);
    connect(pickerButton, &QPushButton::clicked, this, &CWtxtDialog::OpenPicker);
    connect(editField, &CEditWnd::changed, this, &CWtxtDialog::OnFieldChanged);
    connect(editField, &CEditWnd::pasteStopped, this, [this](int limit) {
        pasteNote->setText(Say(LanguageTexts::Text::PasteStopped).arg(limit));
        pasteNote->show();
    });
    connect(ok, &QPushButton::clicked, this, &CWtxtDialog::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(editField, fontList);
    setTabOrder(fontList, colourList);
    setTabOrder(colourList, pickerButton);
    QWidget* last = pickerButton;
    QList<QAbstractButton*> palette;
    for (int k = 0; k < GlyphTextEditorModel::PaletteSize; ++k) {
        auto* button = static_cast<QAbstractButton*>(Control(FirstPaletteButton + k));
        setTabOrder(last, button);
        last = button;
        palette << button;
    }
    setTabOrder(last, ok);
    setTabOrder(ok, cancel);
    new ArrowKeyGroup(palette, PaletteColumns, this); // the palette is one tab stop

    // Return never closes this dialog, whichever control has the focus; Escape cancels.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

QWidget* CWtxtDialog::BuildPalette() {
    auto* palette = new QWidget(this);
    auto* grid = new QGridLayout(palette);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    for (int k = 0; k < GlyphTextEditorModel::PaletteSize; ++k) {
        const QString letter = PalettePictures::SpecialCharacter(k);
        auto* button = DialogLook::Tag(new QToolButton(palette), FirstPaletteButton + k, letter);
        button->setIcon(QIcon(PalettePictures::SpecialPath(k)));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setToolTip(letter);
        grid->addWidget(button, k / PaletteColumns, k % PaletteColumns);
        connect(button, &QToolButton::clicked, this, [this, k] { OnPaletteClicked(k); });
    }
    return palette;
}

void CWtxtDialog::ShowFontAndColour() {
    const int font = model.FontIndex();
    const int colour = model.ColourIndex();
    fontList->setCurrentIndex(font >= 0 && font < fontList->count() ? font : -1);
    colourList->setCurrentIndex(colour >= 0 && colour < colourList->count() ? colour : -1);
    pickerButton->setEnabled(model.PickerEnabled());
}

void CWtxtDialog::OnFontChosen(int index) {
    model.SetFont(index);
    pickerButton->setEnabled(model.PickerEnabled());
    editField->setFocus(Qt::OtherFocusReason);
}

void CWtxtDialog::OnColourChosen(int index) {
    model.SetColour(index);
    editField->setFocus(Qt::OtherFocusReason);
}

void CWtxtDialog::OnPaletteClicked(int k) {
    editField->InsertCode(GlyphTextEditorModel::PaletteCharacter(k));
    editField->setFocus(Qt::OtherFocusReason);
}

void CWtxtDialog::OnFieldChanged() {
    model.RefreshPreview();
    preview->Refresh();
}

void CWtxtDialog::OpenPicker() {
    if (runPicker)
        runPicker(*this);
    editField->setFocus(Qt::OtherFocusReason);
}

QString CWtxtDialog::CharacterOf(int characterIndex) {
    return characterIndex >= GlyphTextEditorModel::PaletteCharacter(0)
               ? PalettePictures::SpecialCharacter(characterIndex - GlyphTextEditorModel::PaletteCharacter(0))
               : QString();
}

void CWtxtDialog::OnOk() {
    model.Ok(&emptyResult);
    accept();
}

bool CWtxtDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return CVexaDialog::eventFilter(watched, event);
}

} // namespace vexa
