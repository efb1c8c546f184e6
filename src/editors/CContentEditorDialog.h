#pragma once

#include "render/ContentEditorModel.h"
#include "ui/CVexaDialog.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QPushButton;
class QToolButton;

namespace vexa {

class CAutoRichEditCtrl;
class CImageWnd;
class CRowCheckLine;
class CSmallIconComboBox;
class CUpDownArrows;

// What the text editor and the date editor share on screen: the preview, the format
// controls (face, size, Y offset with its arrows, bold, italic, underline, colour, Arabic),
// the rich text field and the OK and Cancel buttons, wired to a ContentEditorModel. OK
// also answers Ctrl+Return; Escape cancels.
class CContentEditorDialog : public CVexaDialog {
    Q_OBJECT
public:
    enum ControlId {
        OkButton = 1,
        CancelButton = 2,
        PreviewGroup = 1050,
        EditGroup = 1051,
        BoldButton = 1060,
        ItalicButton = 1061,
        UnderlineButton = 1062,
        TextField = 1063,
        YLabel = 1080,
        ArabicBox = 1098,
        YArrows = 1101,
        ColourBox = 20000,
        SizeList = 20001,
        FaceList = 20002,
        YList = 20003,
    };

    CAutoRichEditCtrl* TextControl() const { return textField; }
    CImageWnd* PreviewWindow() const { return preview; }

protected:
    CContentEditorDialog(int templateNumber, int previewId, const QString& title,
                         ContentEditorModel& editorModel, QWidget* parent);

    // Start-up steps, called by the dialogs in their order.
    void FillFaceList();
    void FillLists();
    void ConnectControls();
    // Default format on the text field, black background, 255-character limit.
    void ApplyDefaultFormat();
    // 7-row models: the format controls go (the arrows only when hideArrows), the field
    // takes keyboard characters only.
    void HideFormatControls(bool hideArrows);
    // Puts the row's text into the field and shows the row's offset and Arabic flag.
    void LoadText(const ContentEditorModel::LoadedText& loaded);
    void ShowRowFlags();
    void ShowSelectionFormat();
    void ApplyFormat();
    void FocusText();

    // The row of format controls and the field's text without line breaks.
    QLayout* FormatRow();
    QLayout* ButtonRow();
    QString FieldText() const;
    QString FieldRtf() const;

    virtual void RefreshPreview() = 0;
    virtual void OnOk() = 0;

    ContentEditorModel& rowEditor;
    QGroupBox* previewGroup;
    CImageWnd* preview;
    CRowCheckLine* checkLine; // under the preview
    QGroupBox* editGroup;
    QComboBox* faceList;
    QComboBox* sizeList;
    QLabel* yLabel;
    QComboBox* yList;
    CUpDownArrows* arrows;
    QToolButton* boldButton;
    QToolButton* italicButton;
    QToolButton* underlineButton;
    CSmallIconComboBox* colourBox;
    QCheckBox* arabicBox;
    CAutoRichEditCtrl* textField;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QStringList faceEntries;

private:
    QToolButton* MakeStyleButton(const QString& text, int picture, int pressedPicture, int controlId);
    void OnYOffsetPicked(int index);
    void OnArrows(int direction);
};

} // namespace vexa
