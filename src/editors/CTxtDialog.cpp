#include "editors/CTxtDialog.h"

#include "PalettePictures.h"
#include "core/ModelCatalogue.h"
#include "editors/CAutoRichEditCtrl.h"
#include "editors/CSmallIconComboBox.h"
#include "editors/CUpDownArrows.h"
#include "editors/EditorPlayback.h"
#include "editors/PalettePicture.h"
#include "render/ui/CImageWnd.h"
#include "render/ui/CRowCheckLine.h"
#include "ui/ArrowKeyGroup.h"
#include "ui/DialogLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexa {

namespace {

constexpr int SpecialPerRow = 33;

QToolButton* PaletteButton(QWidget* parent, int controlId, const QString& path, int side, const QString& name,
                           const QString& token) {
    auto* button = new QToolButton(parent);
    DialogLook::SetControlId(button, controlId);
    button->setIcon(PalettePicture::Icon(path));
    button->setIconSize(QSize(side, side));
    button->setAutoRaise(true);
    button->setFixedSize(side + 4, side + 4);
    button->setAccessibleName(name);
    button->setToolTip(QStringLiteral("%1 %2").arg(name, token));
    return button;
}

} // namespace

CTxtDialog::CTxtDialog(CMessageTable& table, const DisplayModel& displayModel, int rowIndex,
                       const ContentEditorModel::Environment& environment, QWidget* parent)
    : CTxtDialog(std::make_unique<TextEditorModel>(table, displayModel, rowIndex, environment), parent) {}

CTxtDialog::CTxtDialog(std::unique_ptr<TextEditorModel> editorModel, QWidget* parent)
    : CContentEditorDialog(Template, PreviewId, QStringLiteral("Text Editor"), *editorModel, parent),
      editor(std::move(editorModel)) {
    counter = new QLabel(editGroup);
    DialogLook::SetControlId(counter, CounterId);
    counter->setAccessibleName(QStringLiteral("Characters"));
    counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    BuildPalettes();
    BuildLayout();

    FillFaceList();
    FillLists();
    facePalette->setVisible(editor->FacePaletteVisible());
    ConnectControls();
    ApplyDefaultFormat();
    if (editor->IsSevenRow())
        HideFormatControls(true);
    else
        specialPalette->hide();
    LoadRow();
    ApplyDialogTexts();
    FocusText();
}

CTxtDialog::~CTxtDialog() = default;

void CTxtDialog::BuildPalettes() {
    facePalette = new QWidget(editGroup);
    facePalette->setAccessibleName(QStringLiteral("Faces"));
    auto* faces = new QHBoxLayout(facePalette);
    faces->setContentsMargins(0, 0, 0, 0);
    faces->setSpacing(0);
    for (int k = 0; k < PalettePictures::kFaceCount; ++k) {
        auto* button = PaletteButton(facePalette, FirstFaceId + k, PalettePictures::FacePath(k), 28,
                                     FaceName(k), ContentEditorModel::Token(k));
        connect(button, &QToolButton::clicked, this, [this, k] { InsertToken(k); });
        faces->addWidget(button);
    }
    faces->addStretch(1);

    specialPalette = new QWidget(editGroup);
    specialPalette->setAccessibleName(QStringLiteral("Special characters"));
    auto* specials = new QGridLayout(specialPalette);
    specials->setContentsMargins(0, 0, 0, 0);
    specials->setSpacing(0);
    for (int k = 0; k < PalettePictures::kSpecialCount; ++k) {
        const int token = FirstSpecialToken + k;
        auto* button = PaletteButton(specialPalette, FirstSpecialId + k, PalettePictures::SpecialPath(k), 24,
                                     PalettePictures::SpecialCharacter(k), ContentEditorModel::Token(token));
        connect(button, &QToolButton::clicked, this, [this, token] { InsertToken(token); });
        specials->addWidget(button, k / SpecialPerRow, k % SpecialPerRow);
    }
    specials->setColumnStretch(SpecialPerRow, 1);

    // Each palette is one tab stop; the arrow keys move through its pictures.
    new ArrowKeyGroup(ButtonsOf(facePalette), PalettePictures::kFaceCount, this);
    new ArrowKeyGroup(ButtonsOf(specialPalette), SpecialPerRow, this);
}

QList<QAbstractButton*> CTxtDialog::ButtonsOf(const QWidget* palette) {
    QList<QAbstractButton*> buttons;
    for (QToolButton* button : palette->findChildren<QToolButton*>())
        buttons << button;
    return buttons;
}

QString CTxtDialog::FaceName(int k) const {
    return Texts() ? Texts()->FaceName(k) : LanguageTexts().FaceName(k);
}

void CTxtDialog::BuildLayout() {
    auto* previewLayout = new QVBoxLayout(previewGroup);
    EditorPlayback::Place(previewLayout, preview, EditorPlayback::RowOf(rowEditor));
    previewLayout->addWidget(checkLine);

    auto* edit = new QVBoxLayout(editGroup);
    edit->addWidget(facePalette);
    edit->addLayout(FormatRow());
    edit->addWidget(specialPalette);
    edit->addWidget(textField, 1);
    edit->addWidget(counter);
    textField->setMinimumHeight(96);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(previewGroup);
    layout->addWidget(editGroup, 1);
    layout->addLayout(ButtonRow());

    // Keyboard order: the text first, then the format controls, the palettes, the buttons.
    QWidget* order[] = {textField,  faceList,     sizeList,        yList,     arrows,
                        boldButton, italicButton, underlineButton, colourBox, arabicBox};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    QWidget* last = arabicBox;
    for (QWidget* palette : {facePalette, specialPalette}) {
        for (QToolButton* button : palette->findChildren<QToolButton*>()) {
            setTabOrder(last, button);
            last = button;
        }
    }
    setTabOrder(last, okButton);
    setTabOrder(okButton, cancelButton);
}

void CTxtDialog::LoadRow() {
    LoadText(editor->LoadRow());
    ShowRowFlags();
    RefreshPreview();
    ShowSelectionFormat();
}

void CTxtDialog::InsertToken(int number) {
    if (!ContentEditorModel::PaletteAccepts(FieldText()))
        return;
    textField->ReplaceSelection(ContentEditorModel::Token(number));
    FocusText();
}

void CTxtDialog::RefreshPreview() {
    const QString text = FieldText();
    counter->setText(editor->RefreshPreview(text, FieldRtf()));
    counter->setAccessibleName(
        QStringLiteral("Characters: %1 of %2").arg(text.size()).arg(ContentEditorModel::TextLimit));
    preview->Refresh();
}

void CTxtDialog::OnOk() {
    editor->Accept(FieldText(), FieldRtf());
    accept();
}

} // namespace vexa
