#pragma once

#include "store/LanguageTexts.h"

#include <QDialog>

namespace vexa {

class IDialogTexts;

// The base of the program's dialogs: the shared look, the template number, and the
// language texts. A dialog builds its controls (each tagged with its control ID through
// DialogLook::SetControlId), then calls ApplyDialogTexts() as its initialisation step.
// What a dialog reads, decides and writes lives in a GUI-free model class beside it;
// the dialog only wires controls to that model.
class CVexaDialog : public QDialog {
    Q_OBJECT
public:
    CVexaDialog(int templateId, QWidget* parent = nullptr);

    int TemplateId() const { return templateId; }
    // The widget carrying a control ID among the dialog's children, or nullptr.
    QWidget* Control(int controlId) const;

    // One of the program's own texts in the language of the nearest window (from itself
    // up) that provides texts; English when none does.
    static QString Say(const QWidget* from, LanguageTexts::Text text);

protected:
    // Applies the texts of the current language, when an ancestor window provides them.
    // Returns false when none does (a dialog opened without the main window keeps the
    // texts it was built with).
    bool ApplyDialogTexts();
    // The language texts of the nearest ancestor that provides them, or nullptr.
    const IDialogTexts* FindDialogTexts() const;
    // The other texts of the current language, or nullptr (then the dialog keeps its own).
    const LanguageTexts* Texts() const;
    QString Say(LanguageTexts::Text text) const { return Say(this, text); }

private:
    int templateId;
};

} // namespace vexa
