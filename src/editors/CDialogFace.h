#pragma once

#include "render/GlyphEditModel.h"
#include "ui/CVexaDialog.h"

namespace vexa {

class CEditWnd;
class CFaceWnd;

// The character picker: a grid of the extra characters of the bitmap fonts. Every pick
// goes at once into the edit field it was opened for, in that field's font and colour,
// and the picker stays open until Done keeps the picks or Cancel (or Escape, or its close
// box) takes them back. Return does nothing. The picker can be dragged by its body.
class CDialogFace : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 142;
    enum ControlId { Grid = 1103, OkButton = 1, CancelButton = 2, DoneButton = 1003 };

    CDialogFace(CEditWnd& target, const QString& folder, QWidget* parent = nullptr);

    CFaceWnd* GridWindow() const { return grid; }
    int LastPicked() const { return lastPicked; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnPicked(int characterIndex);

    CEditWnd& target;
    GlyphEditModel::Snapshot opened; // the field when the picker opened
    CFaceWnd* grid = nullptr;
    int lastPicked = -1;
};

} // namespace vexa
