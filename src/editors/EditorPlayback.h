#pragma once

#include <QObject>

class QBoxLayout;
class QPushButton;

namespace vexa {

class CImageWnd;
class CMessageTable;
class ContentEditorModel;
class MessageImage;
struct DisplayModel;

// The Play/Pause button beside an editor's preview: it plays the row as edited, with the
// row's effect, speed, time and flags, in the preview; every change of the content
// replays it. Off when the editor opens; Space on the button toggles it.
class EditorPlayback : public QObject {
    Q_OBJECT
public:
    // What is played: the editor's preview image of the row, and the model's sign.
    struct Row {
        MessageImage* image = nullptr;
        const CMessageTable* table = nullptr;
        int row = 0;
        const DisplayModel* model = nullptr; // none: no button
        int signWidth = 0;                   // System.set's SignWidth (0: the model's)
    };

    // The row an editor model edits: its preview image, the row and the model's sign.
    static Row RowOf(ContentEditorModel& editor);
    template <typename EditorModel> static Row RowOf(EditorModel& editor) {
        return {&editor.Preview(), &editor.Table(), editor.RowIndex(), editor.Settings().model,
                editor.Settings().signWidth};
    }

    // Puts preview and, when the model is known, the button beside it into layout, and
    // marks the sign's pages on the preview.
    static EditorPlayback* Place(QBoxLayout* layout, CImageWnd* preview, const Row& row);

    QPushButton* Button() const { return button; }

private:
    EditorPlayback(CImageWnd* preview, QPushButton* button, const Row& row);
    void Toggle(bool on);
    void Replay();
    void ShowState();

    CImageWnd* preview;
    QPushButton* button;
    Row played;
};

} // namespace vexa
