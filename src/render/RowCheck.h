#pragma once

#include "render/RowFindings.h"

#include <QString>
#include <QStringList>

class QPainter;
class QRect;

namespace vexa {

class LanguageTexts;
class MessageImage;

// The row check: what will not look on the sign as the operator composed it, worked out
// from what the renderer already knows of a row (its runs and their shapes, the glyph
// files it found, the packing kind of the sign) without drawing the row again. The
// editors, the main window and the command line show the same findings.
class RowCheck {
public:
    // At most this many subjects are named in a finding's text; the rest are counted.
    static constexpr int NamedSubjects = 8;

    // The findings of a row whose content is set (MessageImage::SetContent), for the sign
    // of its packKind, in the order of RowFinding::Kind. MessageImage::Findings keeps them.
    static RowFindings Check(MessageImage& image);

    // What a finding says, in the language of texts (English without).
    static QString Describe(const RowFinding& finding, const LanguageTexts* texts);
    static QStringList Describe(const RowFindings& findings, const LanguageTexts* texts);
    // What the findings say of one subject alone (a picture of an image list), joined with
    // "; "; empty when none names it.
    static QString AboutSubject(const RowFindings& findings, const QString& subject,
                                const LanguageTexts* texts);
    // Every finding on one line, joined with "; ".
    static QString Summary(const RowFindings& findings, const LanguageTexts* texts);
    // The name of a kind in JSON: "no-glyph", "cut-off-bottom", ...
    static QString KindName(RowFinding::Kind kind);
    // How a subject is named: a character with its code point ("ä (U+00E4)"), anything
    // else (animation tokens, paths, colours, excerpts) as it is.
    static QString NameOf(const QString& subject);

    // The mark of a preview whose row has findings, drawn in the top right corner of the
    // preview's rectangle.
    static void DrawMark(QPainter& painter, const QRect& preview);
};

} // namespace vexa
