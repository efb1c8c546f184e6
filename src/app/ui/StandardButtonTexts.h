#pragma once

#include <QTranslator>

namespace vexa {

class LanguageTexts;

// Gives the standard buttons of message boxes and button boxes (OK, Cancel, Yes, No) and
// the main words of the file dialog (its titles, labels, buttons and columns) the words of
// the current language. Installed while it lives; the texts are read
// each time a button is made, so a language switch reaches every later box.
class StandardButtonTexts : public QTranslator {
    Q_OBJECT
public:
    StandardButtonTexts(const LanguageTexts& texts, QObject* parent);

    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;

private:
    const LanguageTexts& texts;
};

} // namespace vexa
