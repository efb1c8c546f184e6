#pragma once

#include "editors/CContentEditorDialog.h"
#include "render/DateEditorModel.h"

#include <array>
#include <memory>

class QLineEdit;
class QTimer;

namespace vexa {

// The date editor of a message row: the six date flags as check boxes, a fixed text in the
// rich text field (plain text on 7-row models), a sample of the clock text updated every
// second and a live preview with the running clock. On OK it writes the row's date content.
class CDialogDate : public CContentEditorDialog {
    Q_OBJECT
public:
    static constexpr int Template = 165;
    static constexpr int PreviewId = 1094;
    static constexpr int FormatLabelId = 1093;
    static constexpr int SampleId = 1066;
    static constexpr int FirstFlagId = 20030; // 20030 + k: flag k (Y, M, D, W, T, S)
    static constexpr int SampleIntervalMs = 1000;

    CDialogDate(CMessageTable& table, const DisplayModel& model, int rowIndex,
                const ContentEditorModel::Environment& environment, QWidget* parent = nullptr);
    // Over a model made (and checked) by the caller.
    CDialogDate(std::unique_ptr<DateEditorModel> model, QWidget* parent);
    ~CDialogDate() override;

    // The date editor never asks for an empty row: a date without text still shows the clock.
    bool EmptyResult() const { return false; }
    DateEditorModel& Editor() { return *editor; }
    // Rebuilds the sample now (the timer does it once a second).
    void BuildSample();

private:
    void BuildLayout();
    void LoadRow();
    void ShowFlags();
    void OnFlag(int flag, bool on);
    void RefreshPreview() override;
    void OnOk() override;

    std::unique_ptr<DateEditorModel> editor;
    std::array<QCheckBox*, DateEditorModel::FlagCount> flagBoxes{};
    QLabel* formatLabel = nullptr;
    QLineEdit* sample = nullptr;
    QTimer* sampleTimer = nullptr;
};

} // namespace vexa
