#pragma once

#include <QString>

namespace vexa {

class CVexaApp;
class LanguageTexts;

// A new choice in the model list. The model is a setting of the whole program; a change
// into another model group replaces the current sign's message file by the new model's
// template, because the old file's rows mean something else to the new signs.
class ModelChange {
public:
    enum class Result {
        Unchanged,    // the chosen model is the stored one: nothing happens
        MessagesKept, // same model group: the current sign's messages stay
        FileReset,    // another group: the current sign's file is the new template
        Failed,       // the template or the model could not be written (told): nothing changed
    };

    // True when choosing newName would replace messages the operator wrote: the model
    // group changes and a row of the current sign's file has content. The window asks first.
    static bool WouldReplaceMessages(CVexaApp& app, const QString& newName);
    static QString QuestionText(const LanguageTexts* texts = nullptr);

    // Stores newName as LedType and resets the current sign's file when the group changes.
    // Message files of other signs are not touched. When the file cannot be reset the
    // model is not stored either.
    static Result Apply(CVexaApp& app, const QString& newName);
};

} // namespace vexa
