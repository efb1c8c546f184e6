#pragma once

#include <QList>
#include <QStringList>

namespace vexa {

// One way a row will not look on the sign as it was composed, with what it concerns.
struct RowFinding {
    // In the order a row's findings are listed.
    enum class Kind {
        SentEmpty,      // the sign receives nothing of the row (a character-code sign takes text only)
        Dropped,        // characters a character-code sign does not receive
        NoGlyph,        // characters drawn without their glyph: no font or glyph file has one
        ShownAs,        // characters the sign's own font draws as other characters
        CutOffTop,      // lit content above the top row of the sign
        CutOffBottom,   // lit content below the bottom row of the sign
        Black,          // text in black, which lights nothing
        NotLit,         // text in colours the sign does not light
        ShowsYellow,    // text in colours the sign lights yellow
        PictureMissing, // picture files that do not exist
        NotAPicture,    // files no image reader reads
        PictureLow,     // pictures lower than the sign: dark rows under them
        PictureTall,    // pictures taller than the sign: only their top rows are shown
        SentAsDigits,   // glyph codes a character-code sign receives as the text of their digits
        DateNotSent,    // a date a character-code sign does not receive: it shows the text only
    };

    Kind kind = Kind::NoGlyph;
    // Characters ("ä"), animation tokens ("[GIF_120]"), file paths, colours ("#0000FF") or
    // text excerpts, each once, in the order they were met.
    QStringList subjects;
    // ShownAs: what each subject shows as; PictureLow, PictureTall: each picture's size
    // ("64 × 24"). Parallel to subjects.
    QStringList shownAs;

    friend bool operator==(const RowFinding&, const RowFinding&) = default;
};

using RowFindings = QList<RowFinding>;

} // namespace vexa
