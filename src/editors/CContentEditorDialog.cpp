#include "editors/CContentEditorDialog.h"

#include "core/ModelCatalogue.h"
#include "editors/CAutoRichEditCtrl.h"
#include "editors/CSmallIconComboBox.h"
#include "editors/CUpDownArrows.h"
#include "editors/EditorPreview.h"
#include "render/TextColourList.h"
#include "render/ui/CImageWnd.h"
#include "render/ui/CRowCheckLine.h"
#include "ui/DialogLook.h"
#include "ui/UiPictures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>

namespace vexa {

CContentEditorDialog::CContentEditorDialog(int templateNumber, int previewId, const QString& title,
                                           ContentEditorModel& editorModel, QWidget* parent)
    : CVexaDialog(templateNumber, parent), rowEditor(editorModel),
      previewGroup(DialogLook::Tag(new QGroupBox(QStringLiteral("Preview"), this), PreviewGroup,
                                   QStringLiteral("Preview"))),
      preview(new CImageWnd(previewGroup, previewId)), checkLine(new CRowCheckLine(*preview, previewGroup)),
      editGroup(
          DialogLook::Tag(new QGroupBox(QStringLiteral("Edit"), this), EditGroup, QStringLiteral("Edit"))),
      faceList(DialogLook::Tag(new QComboBox(editGroup), FaceList, QStringLiteral("Font"))),
      sizeList(DialogLook::Tag(new QComboBox(editGroup), SizeList, QStringLiteral("Size"))),
      yLabel(DialogLook::Tag(new QLabel(QStringLiteral("Y"), editGroup), YLabel, QStringLiteral("Y"))),
      yList(DialogLook::Tag(new QComboBox(editGroup), YList, QStringLiteral("Y offset"))),
      arrows(DialogLook::Tag(new CUpDownArrows(editGroup), YArrows, QStringLiteral("Y offset arrows"))),
      boldButton(
          MakeStyleButton(QStringLiteral("Bold"), UiPictures::Bold, UiPictures::BoldPressed, BoldButton)),
      italicButton(MakeStyleButton(QStringLiteral("Italic"), UiPictures::Italic, UiPictures::ItalicPressed,
                                   ItalicButton)),
      underlineButton(MakeStyleButton(QStringLiteral("Underline"), UiPictures::Underline,
                                      UiPictures::UnderlinePressed, UnderlineButton)),
      colourBox(DialogLook::Tag(new CSmallIconComboBox(editGroup), ColourBox, QStringLiteral("Colour"))),
      arabicBox(DialogLook::Tag(new QCheckBox(QStringLiteral("Arabic"), editGroup), ArabicBox,
                                QStringLiteral("Arabic"))),
      textField(DialogLook::Tag(new CAutoRichEditCtrl(editGroup), TextField, QStringLiteral("Text"))),
      okButton(DialogLook::Tag(new QPushButton(QStringLiteral("OK"), this), OkButton, QStringLiteral("OK"))),
      cancelButton(DialogLook::Tag(new QPushButton(QStringLiteral("Cancel"), this), CancelButton,
                                   QStringLiteral("Cancel"))) {
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    preview->setAccessibleName(QStringLiteral("Preview"));
    preview->SetImage(&rowEditor.Preview());
    EditorPreview::FitHeight(*preview, rowEditor.Model().rows, EditorPreview::TextLargeDot);
    preview->setMinimumWidth(480);
    yLabel->setBuddy(yList);
    using Text = LanguageTexts::Text;
    faceList->setToolTip(Say(Text::FontTip));
    sizeList->setToolTip(Say(Text::SizeTip));
    yList->setToolTip(Say(Text::YOffsetTip));
    colourBox->setToolTip(Say(Text::ColourTip));
    arrows->setToolTip(Say(Text::YOffsetTip));
    arabicBox->setText(Say(Text::ArabicLabel));
    arabicBox->setToolTip(Say(Text::ArabicDescription));
    arabicBox->setAccessibleDescription(Say(Text::ArabicDescription));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this] { OnOk(); });
    }
}

QToolButton* CContentEditorDialog::MakeStyleButton(const QString& text, int picture, int pressedPicture,
                                                   int controlId) {
    auto* button = DialogLook::Tag(new QToolButton(editGroup), controlId, text);
    button->setText(text);
    button->setToolTip(text);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIcon(UiPictures::ToggleIcon(picture, pressedPicture));
    button->setIconSize(QSize(20, 20));
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

void CContentEditorDialog::FillFaceList() {
    faceEntries = rowEditor.FaceEntries(QFontDatabase::families());
    faceList->addItems(faceEntries);
}

void CContentEditorDialog::FillLists() {
    sizeList->addItems(ContentEditorModel::SizeEntries());
    sizeList->setCurrentIndex(ContentEditorModel::InitialSizeIndex);
    yList->addItems(ContentEditorModel::YOffsetEntries());
    for (int i = 0; i < TextColourList::Count; ++i)
        colourBox->AddIcon(TextColourList::At(i).iconId);
    colourBox->setCurrentIndex(0);
}

void CContentEditorDialog::ConnectControls() {
    connect(textField, &CAutoRichEditCtrl::contentChanged, this, [this] { RefreshPreview(); });
    connect(textField, &CAutoRichEditCtrl::selectionMoved, this, &CContentEditorDialog::ShowSelectionFormat);
    connect(faceList, &QComboBox::activated, this, [this](int index) {
        rowEditor.faceName = faceList->itemText(index);
        ApplyFormat();
    });
    connect(sizeList, &QComboBox::activated, this, [this](int index) {
        rowEditor.fontSize = sizeList->itemText(index).toInt();
        ApplyFormat();
    });
    connect(colourBox, &QComboBox::activated, this, [this](int index) {
        rowEditor.ChooseColour(index);
        ApplyFormat();
    });
    for (QToolButton* button : {boldButton, italicButton, underlineButton})
        connect(button, &QToolButton::clicked, this, &CContentEditorDialog::ApplyFormat);
    connect(yList, &QComboBox::activated, this, &CContentEditorDialog::OnYOffsetPicked);
    connect(arrows, &CUpDownArrows::stepped, this, &CContentEditorDialog::OnArrows);
    connect(arabicBox, &QCheckBox::clicked, this, [this](bool checked) {
        rowEditor.SetArabic(checked);
        preview->Refresh();
    });
}

void CContentEditorDialog::ApplyDefaultFormat() {
    textField->SetCodePage(rowEditor.Preview().codePage);
    textField->SetDefaultCharFormat(rowEditor.DefaultFormat());
    QPalette palette = textField->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, QColor::fromRgb(rowEditor.DefaultFormat().colour));
    textField->setPalette(palette);
    textField->SetTextLimit(ContentEditorModel::TextLimit);
}

void CContentEditorDialog::HideFormatControls(bool hideArrows) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{faceList, sizeList, colourBox, boldButton, italicButton,
                                         underlineButton, arabicBox, yLabel, yList})
        control->hide();
    if (hideArrows)
        arrows->hide();
    textField->SetAsciiOnly(true);
    textField->setAttribute(Qt::WA_InputMethodEnabled, false);
}

// The row goes into the field in one step: none of the field's change and caret signals
// runs per piece of text; the dialog refreshes the preview and the format controls once.
void CContentEditorDialog::LoadText(const ContentEditorModel::LoadedText& loaded) {
    const QSignalBlocker quiet(textField);
    switch (loaded.kind) {
    case ContentEditorModel::LoadedText::Rtf:
        textField->SetRTF(loaded.text);
        break;
    case ContentEditorModel::LoadedText::Plain:
        textField->SetPlainContent(loaded.text);
        break;
    case ContentEditorModel::LoadedText::Empty:
        break;
    }
}

void CContentEditorDialog::ShowRowFlags() {
    arabicBox->setChecked(rowEditor.Arabic());
    yList->setCurrentIndex(rowEditor.YOffsetIndex());
    preview->Refresh();
}

void CContentEditorDialog::ShowSelectionFormat() {
    const ContentEditorModel::FormatView view =
        rowEditor.ShowSelectionFormat(textField->SelectionCharFormat(), faceEntries);
    boldButton->setChecked(view.bold);
    italicButton->setChecked(view.italic);
    underlineButton->setChecked(view.underline);
    if (view.faceIndex >= 0)
        faceList->setCurrentIndex(view.faceIndex);
    // A size the list does not offer shows as blank rather than as the size shown before.
    sizeList->setCurrentIndex(view.sizeIndex);
    if (view.colourIndex >= 0)
        colourBox->setCurrentIndex(view.colourIndex);
}

void CContentEditorDialog::ApplyFormat() {
    const CharFormat format = rowEditor.ApplyFormat(textField->SelectionCharFormat(), boldButton->isChecked(),
                                                    italicButton->isChecked(), underlineButton->isChecked());
    textField->SetSelectionCharFormat(format);
    FocusText();
}

void CContentEditorDialog::FocusText() {
    textField->setFocus(Qt::OtherFocusReason);
}

void CContentEditorDialog::OnYOffsetPicked(int index) {
    rowEditor.ChooseYOffset(index);
    preview->Refresh();
}

void CContentEditorDialog::OnArrows(int direction) {
    const int index = rowEditor.StepYOffset(yList->currentIndex(), direction);
    yList->setCurrentIndex(index);
    preview->Refresh();
}

QString CContentEditorDialog::FieldText() const {
    return textField->TextWithoutLineBreaks();
}

QString CContentEditorDialog::FieldRtf() const {
    return textField->GetRTF();
}

QLayout* CContentEditorDialog::FormatRow() {
    auto* row = new QHBoxLayout;
    faceList->setMinimumContentsLength(14);
    faceList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row->addWidget(faceList);
    row->addWidget(sizeList);
    row->addSpacing(8);
    row->addWidget(yLabel);
    row->addWidget(yList);
    row->addWidget(arrows);
    row->addSpacing(8);
    row->addWidget(boldButton);
    row->addWidget(italicButton);
    row->addWidget(underlineButton);
    row->addSpacing(8);
    row->addWidget(colourBox);
    row->addSpacing(8);
    row->addWidget(arabicBox);
    row->addStretch(1);
    return row;
}

QLayout* CContentEditorDialog::ButtonRow() {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(okButton);
    row->addWidget(cancelButton);
    return row;
}

} // namespace vexa
