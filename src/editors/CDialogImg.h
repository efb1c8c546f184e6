#pragma once

#include "render/ImageEditorModel.h"
#include "ui/CVexaDialog.h"

#include <functional>

class QListWidget;

namespace vexa {

class CImageWnd;
class CPicWnd;

// The image editor: an ordered list of picture files that the message shows side by
// side, with Add, Del, Up and Down, the picture of the selected file and a preview.
// A thin widget over ImageEditorModel.
class CDialogImg : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 164;
    enum ControlId {
        PreviewGroup = 1050,
        PreviewWindow = 20060,
        EditGroup = 1051,
        PathList = 1092,
        PictureBox = 1100,
        AddButton = 1054,
        DelButton = 1066,
        UpButton = 1067,
        DownButton = 1068,
        ImportButton = 1070,
        OkButton = 1,
        CancelButton = 2,
    };
    // The file dialog's filter: "image files" in the language of the window, and the patterns.
    static QString FileFilter(const QWidget* owner);

    CDialogImg(int rowIndex, CMessageTable& table, const ImageEditorModel::Setup& setup,
               QWidget* parent = nullptr);

    bool EmptyResult() const { return emptyResult; }
    ImageEditorModel& Model() { return model; }

    // Asks for one existing picture file; "" when cancelled. Tests replace it.
    std::function<QString(QWidget*)> chooseFile;
    // Asks for one picture file of any readable format to import; "" when cancelled. Tests
    // replace it.
    std::function<QString(QWidget*)> choosePicture;
    // Runs the picture import dialog on a file; returns the prepared picture's path, "" when
    // cancelled. Tests replace it.
    std::function<QString(QWidget*, const QString&)> importPicture;
    // Tells why a file was refused. Tests replace it.
    std::function<void(QWidget*, const QString&)> refuse;

private:
    void BuildControls();
    void ShowList();
    void MarkEntries();
    void OnAdd();
    void OnImport();
    void OnDel();
    void OnUp();
    void OnDown();
    void OnSelectionChanged();
    void OnOk();

    ImageEditorModel model;
    bool emptyResult = false;
    bool showing = false;
    CImageWnd* preview = nullptr;
    QListWidget* list = nullptr;
    CPicWnd* picture = nullptr;
};

} // namespace vexa
