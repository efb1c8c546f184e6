#pragma once

class QWidget;

namespace vexa {

class LanguageTexts;

// Gives a dialog the texts of the current language: its title and the text of every
// child that carries a control ID. The main window provides it; a dialog finds it by
// walking up its parents, so no global language state is needed.
class IDialogTexts {
public:
    virtual ~IDialogTexts() = default;
    virtual void ApplyDialogTexts(QWidget* dialog, int templateId) const = 0;
    // Every other text of the current language (message boxes, texts without a control
    // ID); nullptr when the provider has none.
    virtual const LanguageTexts* Texts() const { return nullptr; }
};

} // namespace vexa
