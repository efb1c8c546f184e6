#pragma once

#include "app/ScanMarks.h"

#include <QList>
#include <QString>

namespace vexa {

class CIdList;
class CVexaApp;
class LanguageTexts;

// What the sign tree shows: the root "LEDS" (group 0) and one child per sign of group 0,
// in ascending ID order, with its check box state.
class SignTreeContent {
public:
    struct Sign {
        int id = 0;
        QString text;         // "%d.%s" of ID and name
        bool checked = false; // bit 0 of the sign's checkMask: the send addresses it
        ScanMarks::Mark scanMark = ScanMarks::Mark::None;
    };

    bool rootChecked = false;
    QList<Sign> signs;

    // The boxes always show the stored ticks; what the last scan found comes as a mark
    // beside them (none when marks is null or holds no scan).
    static SignTreeContent Build(const CIdList& list, const ScanMarks* marks = nullptr);

    // The sign that selecting the root makes current: the first sign of group 0, else 0.
    static int FirstSignId(const CIdList& list);

    // A tick of the tree's box: id 0 is the root, which ticks or unticks group 0 and bit 0
    // of every sign of the list (also signs not shown); a sign's box sets its own bit 0.
    static void ApplyTick(CIdList& list, int id, bool checked);
    // The tick the list holds for a box of the tree: the root's group 0, a sign's bit 0.
    static bool IsTicked(const CIdList& list, int id);

    // Removes a sign from the tree: it leaves every group; its name, ticks and message file
    // stay. False for an ID outside 1..255.
    static bool RemoveFromTree(CIdList& list, int id);
    // The question Del asks before it removes sign id, in the language of texts.
    static QString RemoveQuestion(const CIdList& list, int id, const LanguageTexts* texts = nullptr);

    // Pastes the messages of sign source onto sign target: source's work file replaces
    // target's. False when there is nothing to paste (no source, same sign) or the copy
    // failed; target's file is then unchanged.
    static bool PasteSign(CVexaApp& app, int source, int target);

    // Makes sign id the current one: saves the rows of the previous sign, stores NowSelID,
    // creates the sign's work file from the model's template when missing and opens it.
    // False when id already is the current sign (nothing is reloaded).
    static bool SelectSign(CVexaApp& app, int id);
};

} // namespace vexa
