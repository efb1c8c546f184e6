#pragma once

#include "render/GlyphTextEditorModel.h"
#include "ui/CVexaDialog.h"

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace vexa {

class CEditWnd;
class CImageWnd;
class CSmallIconComboBox;

// The text editor of the two-colour 7-row models: glyph codes typed in one of seven
// bitmap fonts and three colours, a palette of 66 special characters, the character
// picker, and a live preview. A thin widget over GlyphTextEditorModel. Ctrl+Z and Ctrl+Y
// undo and redo in the field; Escape cancels, Return does nothing.
class CWtxtDialog : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 240;
    enum ControlId {
        PreviewGroup = 1050,
        PreviewWindow = 20060,
        EditGroup = 1051,
        FontList = 20000,
        ColourList = 20001,
        PickerButton = 1065,
        FirstPaletteButton = 1104,
        EditField = 1102,
        OkButton = 1,
        CancelButton = 2,
    };
    // The colour list's icons, in the order of the colour field: red, green, yellow.
    static constexpr int ColourIcons[] = {155, 156, 154};

    CWtxtDialog(int rowIndex, CMessageTable& table, const GlyphTextEditorModel::Setup& setup,
                const QString& pickerFolder, QWidget* parent = nullptr);

    bool EmptyResult() const { return emptyResult; }
    GlyphTextEditorModel& Model() { return model; }
    CEditWnd* Field() const { return editField; }

    // The letter of a glyph index beyond ASCII, as screen readers read the field.
    static QString CharacterOf(int characterIndex);

    // Opens the character picker; tests replace how it runs.
    std::function<void(CWtxtDialog&)> runPicker;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildPalette();
    void ShowFontAndColour();
    void OnFontChosen(int index);
    void OnColourChosen(int index);
    void OnPaletteClicked(int k);
    void OnFieldChanged();
    void OnOk();
    void OpenPicker();

    GlyphTextEditorModel model;
    QString pickerFolder;
    bool emptyResult = false;
    CImageWnd* preview = nullptr;
    QComboBox* fontList = nullptr;
    CSmallIconComboBox* colourList = nullptr;
    QPushButton* pickerButton = nullptr;
    CEditWnd* editField = nullptr;
    QLabel* pasteNote = nullptr;
};

} // namespace vexa
