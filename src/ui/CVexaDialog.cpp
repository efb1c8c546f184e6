#include "ui/CVexaDialog.h"

#include "ui/DialogLook.h"
#include "ui/IDialogTexts.h"

namespace vexa {

CVexaDialog::CVexaDialog(int templateNumber, QWidget* parent) : QDialog(parent), templateId(templateNumber) {
    DialogLook::Apply(this, templateId);
}

QWidget* CVexaDialog::Control(int controlId) const {
    const auto children = findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->property("controlId").toInt() == controlId)
            return child;
    }
    return nullptr;
}

QString CVexaDialog::Say(const QWidget* from, LanguageTexts::Text text) {
    for (const QWidget* w = from; w; w = w->parentWidget()) {
        if (const auto* texts = dynamic_cast<const IDialogTexts*>(w))
            return LanguageTexts::Say(texts->Texts(), text);
    }
    return LanguageTexts::Say(nullptr, text);
}

const IDialogTexts* CVexaDialog::FindDialogTexts() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (const auto* texts = dynamic_cast<const IDialogTexts*>(w))
            return texts;
    }
    return nullptr;
}

const LanguageTexts* CVexaDialog::Texts() const {
    const IDialogTexts* texts = FindDialogTexts();
    return texts ? texts->Texts() : nullptr;
}

bool CVexaDialog::ApplyDialogTexts() {
    const IDialogTexts* texts = FindDialogTexts();
    if (!texts)
        return false;
    texts->ApplyDialogTexts(this, templateId);
    return true;
}

} // namespace vexa
