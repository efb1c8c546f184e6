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
    if (!context || !sourceText)
        return {};
    using Text = LanguageTexts::Text;
    struct Word {
        const char* context;
        const char* source;
        Text text;
    };
    static constexpr Word kWords[] = {
        {"QPlatformTheme", "OK", Text::ButtonOk},
        {"QPlatformTheme", "Cancel", Text::ButtonCancel},
        {"QPlatformTheme", "&Yes", Text::ButtonYes},
        {"QPlatformTheme", "&No", Text::ButtonNo},
        {"QFileDialog", "Open", Text::FileDialogOpenTitle},
        {"QFileDialog", "Save As", Text::FileDialogSaveTitle},
        {"QFileDialog", "Look in:", Text::FileDialogLookIn},
        {"QFileDialog", "File &name:", Text::FileDialogFileName},
        {"QFileDialog", "Files of type:", Text::FileDialogFileTypes},
        {"QFileDialog", "&Open", Text::FileDialogOpen},
        {"QFileDialog", "&Save", Text::FileDialogSave},
        {"QFileDialog", "Cancel", Text::ButtonCancel},
        {"QFileSystemModel", "Name", Text::FileColumnName},
        {"QFileSystemModel", "Size", Text::FileColumnSize},
        {"QFileSystemModel", "Type", Text::FileColumnType},
        {"QFileSystemModel", "Date Modified", Text::FileColumnDate},
    };
    for (const Word& word : kWords) {
        if (std::strcmp(context, word.context) == 0 && std::strcmp(sourceText, word.source) == 0)
            return texts.Get(word.text);
    }
    return {};
}

} // namespace vexa
