#pragma once

#include "link/IdCommandModel.h"
#include "ui/CVexaDialog.h"

class QComboBox;
class QPushButton;

namespace vexa {

// The ID tool: reads the ID of the sign on the line, or gives a sign a new ID. Each
// command disables the dialog for the reply wait; the port is closed when it is over.
class CDialogIDSet : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateNumber = 201;
    enum ControlId { FirstIdBox = 20000, SecondIdBox = 20001, ReadButton = 1065, SetButton = 1066 };

    explicit CDialogIDSet(SignLink& link, QWidget* parent = nullptr);

    // Escape and the close box wait while a command is pending, so its port is closed.
    void reject() override;

private:
    void OnRead();
    void OnSet();
    void SetControlsEnabled(bool enabled);
    void Tell(const QString& text, const QString& reason = QString());

    IdCommandModel model;
    bool pending = false;
    QComboBox* firstId = nullptr;
    QComboBox* secondId = nullptr;
    QPushButton* readButton = nullptr;
    QPushButton* setButton = nullptr;
};

} // namespace vexa
