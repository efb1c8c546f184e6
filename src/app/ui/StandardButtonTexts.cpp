#include "app/ui/StandardButtonTexts.h"

#include "store/LanguageTexts.h"

#include <QCoreApplication>
#include <cstring>

namespace vexa {

StandardButtonTexts::StandardButtonTexts(const LanguageTexts& languageTexts, QObject* parent)
    : QTranslator(parent), texts(languageTexts) {
    QCoreApplication::installTranslator(this);
}

QString StandardButtonTexts::translate(const char* context, const char* sourceText, const char*, int) const {
    if (!context || !sourceText || std::strcmp(context, "QPlatformTheme") != 0)
        return {};
    using Text = LanguageTexts::Text;
    const std::pair<const char*, Text> buttons[] = {{"OK", Text::ButtonOk},
                                                    {"Cancel", Text::ButtonCancel},
                                                    {"&Yes", Text::ButtonYes},
                                                    {"&No", Text::ButtonNo}};
    for (const auto& [source, text] : buttons) {
        if (std::strcmp(sourceText, source) == 0)
            return texts.Get(text);
    }
    return {};
}

} // namespace vexa
