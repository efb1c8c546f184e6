#pragma once

#include "render/PictureImportModel.h"
#include "ui/CVexaDialog.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace vexa {

// "Import picture…" of the image editor: the original picture and the sign-sized result side
// by side (the result as the sign previews show it), with the height, threshold or dithering,
// invert and colour choices. OK saves the prepared copy in the pictures folder. A thin widget
// over PictureImportModel; the original file is only read.
class CDialogPicture : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 166;
    enum ControlId {
        OriginalGroup = 1200,
        OriginalView = 1201,
        OriginalInfo = 1202,
        ResultGroup = 1203,
        ResultView = 1204,
        ResultInfo = 1205,
        HeightBox = 1206,
        DotsBox = 1207,
        LevelBox = 1208,
        InvertBox = 1209,
        ColourBox = 1210,
        ProgressBar = 1211,
        StopButton = 1212,
        OkButton = 1,
        CancelButton = 2,
    };

    CDialogPicture(const PictureImportModel::Setup& setup, const QString& path, QWidget* parent = nullptr);

    PictureImportModel& Model() { return model; }
    // The prepared picture's file after OK ("" before).
    const QString& SavedPath() const { return savedPath; }

    // Tells why the picture could not be saved. Tests replace it.
    std::function<void(QWidget*, const QString&)> refuse;

    // Stops the work in hand, then closes.
    void reject() override;

private:
    void BuildControls();
    void ShowState();
    void ShowResult();
    void OnOptionsChanged();
    void OnOk();

    PictureImportModel model;
    QString savedPath;
    bool invertChosen = false; // the operator set Invert: automatic detection no longer applies
    QLabel* originalView = nullptr;
    QLabel* originalInfo = nullptr;
    QLabel* resultView = nullptr;
    QLabel* resultInfo = nullptr;
    QSpinBox* heightBox = nullptr;
    QComboBox* dotsBox = nullptr;
    QSpinBox* levelBox = nullptr;
    QCheckBox* invertBox = nullptr;
    QComboBox* colourBox = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* stop = nullptr;
    QPushButton* ok = nullptr;
};

} // namespace vexa
