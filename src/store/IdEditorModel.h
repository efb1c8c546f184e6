#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace vexa {

class CIdList;
class LanguageTexts;

// What the ID editor (add and rename signs) reads, decides and writes, without widgets.
// Both of its drop-downs offer "1" ... "256"; the sign list ends at 255, and ID 256 would
// wrap to 0 on the wire, so 256 is refused with its own message.
class IdEditorModel {
public:
    enum Style { AddStyle = 0, ModifyStyle = 1 };
    static constexpr int ListCount = 256; // drop-down items "1" ... "256"
    static constexpr const char* DefaultName = "LED";

    // What OK leads to: accepted closes the dialog; otherwise message (with caption and
    // whether it is a warning) is shown and the dialog stays open.
    // A question (adding an ID that names a sign already) is asked before anything changes:
    // Yes repeats Accept with renameConfirmed, No leaves the dialog open.
    struct Outcome {
        bool accepted = false;
        QString message;
        QString caption;
        bool warning = false;
        QString question;
    };

    // Makes the message file of a sign exist (from the model's template); false on failure.
    using EnsureMessageFile = std::function<bool(int id)>;

    // Messages and captions are in the language of texts (English without).
    IdEditorModel(CIdList& list, int style, int nowSelId, EnsureMessageFile ensureFile,
                  const LanguageTexts* texts = nullptr);

    int Style() const { return style; }
    // The ID first selected: NowSelID in modify mode (1 when it is no sign ID), else 1.
    int InitialId() const;
    // "LED" to add; the current name of that sign to rename.
    QString InitialName() const;

    // OK with the dialog's values: first / second ID (drop-down index + 1), the name, and
    // whether "Auto Add" is ticked.
    Outcome Accept(int first, int second, const QString& name, bool autoAdd, bool renameConfirmed = false);

    static QString IdOutOfRangeText(const LanguageTexts* texts = nullptr);

private:
    Outcome AddRange(int first, int second);
    Outcome AddOne(int id, const QString& name, bool renameConfirmed);
    Outcome Rename(int id, const QString& name);
    void AddSign(int id, const QString& name);
    Outcome Save(const Outcome& ok);

    CIdList& list;
    int style;
    int nowSelId;
    EnsureMessageFile ensureFile;
    const LanguageTexts* texts;
    QList<int> added; // signs added by this OK, whose message files are made to exist
};

} // namespace vexa
