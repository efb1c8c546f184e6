#include "editors/CDialogDate.h"

#include "editors/CAutoRichEditCtrl.h"
#include "editors/CSmallIconComboBox.h"
#include "editors/CUpDownArrows.h"
#include "editors/EditorPlayback.h"
#include "render/ui/CImageWnd.h"
#include "render/ui/CRowCheckLine.h"
#include "ui/DialogLook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexa {

namespace {

struct FlagText {
    const char* text;
    const char* name;
};
constexpr std::array<FlagText, DateEditorModel::FlagCount> kFlags = {{
    {"Y", "Year"},
    {"M", "Month"},
    {"D", "Day"},
    {"W", "Weekday"},
    {"T", "Time"},
    {"S", "Seconds"},
}};

} // namespace

CDialogDate::CDialogDate(CMessageTable& table, const DisplayModel& displayModel, int rowIndex,
                         const ContentEditorModel::Environment& environment, QWidget* parent)
    : CDialogDate(std::make_unique<DateEditorModel>(table, displayModel, rowIndex, environment), parent) {}

CDialogDate::CDialogDate(std::unique_ptr<DateEditorModel> editorModel, QWidget* parent)
    : CContentEditorDialog(Template, PreviewId, QStringLiteral("Date Editor"), *editorModel, parent),
      editor(std::move(editorModel)) {
    for (int k = 0; k < DateEditorModel::FlagCount; ++k) {
        auto* box = new QCheckBox(QString::fromLatin1(kFlags[static_cast<size_t>(k)].text), editGroup);
        DialogLook::SetControlId(box, FirstFlagId + k);
        box->setAccessibleName(QString::fromLatin1(kFlags[static_cast<size_t>(k)].name));
        box->setToolTip(QString::fromLatin1(kFlags[static_cast<size_t>(k)].name));
        connect(box, &QCheckBox::clicked, this, [this, k](bool on) { OnFlag(k, on); });
        flagBoxes[static_cast<size_t>(k)] = box;
    }
    formatLabel = new QLabel(QStringLiteral("Format"), editGroup);
    DialogLook::SetControlId(formatLabel, FormatLabelId);
    sample = new QLineEdit(editGroup);
    DialogLook::SetControlId(sample, SampleId);
    sample->setReadOnly(true);
    sample->setAccessibleName(QStringLiteral("Format"));
    formatLabel->setBuddy(sample);
    BuildLayout();

    FillFaceList();
    FillLists();
    ConnectControls();
    ApplyDefaultFormat();
    if (editor->IsSevenRow())
        HideFormatControls(false); // the arrows stay and step the hidden Y offset list
    LoadRow();
    ApplyDialogTexts();
    sampleTimer = new QTimer(this);
    sampleTimer->setInterval(SampleIntervalMs);
    connect(sampleTimer, &QTimer::timeout, this, &CDialogDate::BuildSample);
    sampleTimer->start();
    RefreshPreview();
    FocusText();
}

CDialogDate::~CDialogDate() = default;

void CDialogDate::BuildLayout() {
    auto* previewLayout = new QVBoxLayout(previewGroup);
    EditorPlayback::Place(previewLayout, preview, EditorPlayback::RowOf(rowEditor));
    previewLayout->addWidget(checkLine);

    auto* flags = new QHBoxLayout;
    for (QCheckBox* box : flagBoxes)
        flags->addWidget(box);
    flags->addStretch(1);

    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(formatLabel);
    sampleRow->addWidget(sample, 1);

    auto* edit = new QVBoxLayout(editGroup);
    if (editor->IsSevenRow()) {
        // The format controls are hidden on 7-row models; the Y offset arrows stay, beside the flags.
        flags->insertSpacing(DateEditorModel::FlagCount, 16);
        flags->insertWidget(DateEditorModel::FlagCount + 1, arrows);
    } else {
        edit->addLayout(FormatRow());
    }
    edit->addLayout(flags);
    edit->addWidget(textField);
    edit->addLayout(sampleRow);
    textField->setFixedHeight(std::max(48, 2 * editor->DefaultFormat().sizeTwips / 20 + 16));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(previewGroup);
    layout->addWidget(editGroup);
    layout->addStretch(1);
    layout->addLayout(ButtonRow());

    QWidget* order[] = {textField,    faceList,     sizeList,        yList,        arrows,
                        boldButton,   italicButton, underlineButton, colourBox,    arabicBox,
                        flagBoxes[0], flagBoxes[1], flagBoxes[2],    flagBoxes[3], flagBoxes[4],
                        flagBoxes[5], sample,       okButton,        cancelButton};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CDialogDate::LoadRow() {
    LoadText(editor->LoadRow());
    ShowFlags();
    ShowRowFlags();
    BuildSample();
    ShowSelectionFormat();
}

void CDialogDate::ShowFlags() {
    for (int k = 0; k < DateEditorModel::FlagCount; ++k)
        flagBoxes[static_cast<size_t>(k)]->setChecked(editor->FlagOn(k));
}

void CDialogDate::OnFlag(int flag, bool on) {
    editor->SetFlag(flag, on);
    BuildSample();
    RefreshPreview();
}

void CDialogDate::BuildSample() {
    sample->setText(editor->BuildSample());
}

void CDialogDate::RefreshPreview() {
    editor->RefreshPreview(FieldText(), FieldRtf());
    preview->Refresh();
}

void CDialogDate::OnOk() {
    editor->Accept(FieldText(), FieldRtf());
    accept();
}

} // namespace vexa
