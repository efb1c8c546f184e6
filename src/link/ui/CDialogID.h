#pragma once

#include "store/IdEditorModel.h"
#include "ui/CVexaDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace vexa {

// The ID editor: adds signs to the sign list (one, or a range with "Auto Add") or renames
// the current one. On OK the model has changed the list, saved it and made the message
// files exist; the dialog only shows the model's messages.
class CDialogID : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateNumber = 163;
    enum ControlId {
        FirstIdBox = 20000,
        NameEdit = 1066,
        NameLabel = 1079,
        SecondIdBox = 20001,
        SecondIdLabel = 1080,
        AutoAddBox = 20030,
        OkButton = 1,
        CancelButton = 2,
    };

    CDialogID(IdEditorModel model, QWidget* parent = nullptr);

    void accept() override;

private:
    void OnAutoAdd(bool checked);

    IdEditorModel model;
    QComboBox* firstId = nullptr;
    QComboBox* secondId = nullptr;
    QLabel* secondLabel = nullptr;
    QLineEdit* nameEdit = nullptr;
    QLabel* nameLabel = nullptr;
    QCheckBox* autoAdd = nullptr;
};

} // namespace vexa
