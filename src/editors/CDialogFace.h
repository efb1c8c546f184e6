#pragma once

#include "ui/CVexaDialog.h"

namespace vexa {

class CEditWnd;
class CFaceWnd;

// The character picker: a grid of the extra characters of the bitmap fonts. Every pick
// goes at once into the edit field it was opened for, in that field's font and colour,
// and the picker stays open until Cancel (or Escape, or its close box). Return does
// nothing. The picker can be dragged by its body.
class CDialogFace : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 142;
    enum ControlId { Grid = 1103, OkButton = 1, CancelButton = 2 };

    CDialogFace(CEditWnd& target, const QString& folder, QWidget* parent = nullptr);

    CFaceWnd* GridWindow() const { return grid; }
    int LastPicked() const { return lastPicked; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnPicked(int characterIndex);

    CEditWnd& target;
    CFaceWnd* grid = nullptr;
    int lastPicked = -1;
};

} // namespace vexa
