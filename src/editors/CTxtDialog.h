#pragma once

#include "editors/CContentEditorDialog.h"
#include "render/TextEditorModel.h"

#include <memory>

class QAbstractButton;

namespace vexa {

// The text editor of a message row: rich text on 12- and 16-row models, plain text for
// the sign's own font on 7-row models, animation tokens from the face palette and the
// special-character palette, a live preview and a counter. On OK it writes the row's
// content string itself; the caller reads EmptyResult().
class CTxtDialog : public CContentEditorDialog {
    Q_OBJECT
public:
    static constexpr int Template = 140;
    static constexpr int PreviewId = 20060;
    static constexpr int CounterId = 1090;
    static constexpr int FirstFaceId = 20110;   // 20110 + k inserts token k
    static constexpr int FirstSpecialId = 1104; // 1104 + k inserts token 32 + k
    static constexpr int FirstSpecialToken = 32;

    CTxtDialog(CMessageTable& table, const DisplayModel& model, int rowIndex,
               const ContentEditorModel::Environment& environment, QWidget* parent = nullptr);
    // Over a model made (and checked) by the caller.
    CTxtDialog(std::unique_ptr<TextEditorModel> model, QWidget* parent);
    ~CTxtDialog() override;

    bool EmptyResult() const { return editor->EmptyResult(); }
    TextEditorModel& Editor() { return *editor; }

private:
    void BuildPalettes();
    static QList<QAbstractButton*> ButtonsOf(const QWidget* palette);
    QString FaceName(int k) const;
    void BuildLayout();
    void LoadRow();
    void InsertToken(int number);
    void RefreshPreview() override;
    void OnOk() override;

    std::unique_ptr<TextEditorModel> editor;
    QWidget* facePalette = nullptr;
    QWidget* specialPalette = nullptr;
    QLabel* counter = nullptr;
};

} // namespace vexa
