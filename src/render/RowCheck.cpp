#include "render/RowCheck.h"

#include "PalettePictures.h"
#include "core/SignColours.h"
#include "render/ContentGrammar.h"
#include "render/DotPacker.h"
#include "render/GlyphLibrary.h"
#include "render/MessageImage.h"
#include "store/LanguageTexts.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <map>

namespace vexa {

namespace {

using Kind = RowFinding::Kind;
using Text = LanguageTexts::Text;

constexpr int FirstSpecialCode = 128;
constexpr int LastSpecialCode = FirstSpecialCode + PalettePictures::kSpecialCount - 1;
constexpr int ExcerptLength = 16;

// Gathers the findings of a row by kind, each subject once.
class Gathered {
public:
    void Add(Kind kind, const QString& subject = {}, const QString& shownAs = {}) {
        RowFinding& finding = found[kind];
        finding.kind = kind;
        if (subject.isEmpty() || finding.subjects.contains(subject))
            return;
        finding.subjects << subject;
        if (!shownAs.isEmpty())
            finding.shownAs << shownAs;
    }
    RowFindings List() const {
        RowFindings list;
        for (const auto& [kind, finding] : found)
            list << finding;
        return list;
    }

private:
    std::map<Kind, RowFinding> found;
};

// The character at position i of a text: an animation token, a surrogate pair or one code unit.
QString SubjectAt(const QString& text, qsizetype i) {
    if (ContentGrammar::IsAnimationToken(text, i))
        return text.mid(i, ContentGrammar::AnimationTokenLength);
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return text.mid(i, 2);
    return text.mid(i, 1);
}

// True for the second half of a surrogate pair, named with its first half.
bool IsSecondHalf(const QString& text, qsizetype i) {
    return i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate();
}

QString Excerpt(const QString& text) {
    const QString simplified = text.simplified();
    if (simplified.size() <= ExcerptLength)
        return u'"' + simplified + u'"';
    return u'"' + simplified.left(ExcerptLength) + QStringLiteral("…\"");
}

QString ColourName(QRgb colour) {
    return QStringLiteral("#%1").arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
}

// The letter the sign's own font draws for a byte, empty where it has no known glyph.
QString SignLetter(int byte) {
    if (byte >= 32 && byte < 127)
        return QString(QChar(byte));
    if (byte >= FirstSpecialCode && byte <= LastSpecialCode)
        return PalettePictures::SpecialCharacter(byte - FirstSpecialCode);
    return {};
}

// Bitmap-font text drawn from the glyph files: letters the files lack, and code units
// 128..193, whose files hold the sign's extra letters (° is drawn as Σ).
void CheckGlyphFiles(const MessageImage& image, const QString& text, Gathered& out) {
    for (const qsizetype position : image.missingGlyphs)
        if (position < text.size() && !IsSecondHalf(text, position))
            out.Add(Kind::NoGlyph, SubjectAt(text, position));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (ContentGrammar::IsAnimationToken(text, i)) {
            i += ContentGrammar::AnimationTokenLength - 1;
            continue;
        }
        const int unit = text[i].unicode();
        if (unit < FirstSpecialCode || unit > LastSpecialCode || image.missingGlyphs.contains(i))
            continue;
        const QString letter = SignLetter(unit);
        if (!letter.isEmpty() && letter != text.mid(i, 1))
            out.Add(Kind::ShownAs, text.mid(i, 1), letter);
    }
}

// Bitmap-font text on a sign with a built-in character set: what it drops, the bytes it
// has no glyph for, and tokens of faces it receives as letters.
void CheckCharacterCodes(const MessageImage& image, const QString& text, Gathered& out) {
    bool sent = false;
    for (const DotPacker::SentCharacter& character : DotPacker::CharacterCodes(text)) {
        if (IsSecondHalf(text, character.position))
            continue;
        const QString subject = SubjectAt(text, character.position);
        if (character.byte < 0) {
            out.Add(Kind::Dropped, subject);
            continue;
        }
        sent = true;
        if (image.missingGlyphs.contains(character.position)) {
            out.Add(Kind::NoGlyph, subject);
            continue;
        }
        const bool token = character.length > 1;
        const QString letter = SignLetter(character.byte);
        // Tokens of the extra letters are the way to write them; a face token arrives as a letter.
        if (letter.isEmpty() || letter == subject || (token && character.byte >= FirstSpecialCode))
            continue;
        out.Add(Kind::ShownAs, subject, letter);
    }
    if (!sent && !ContentGrammar::IsBlank(text))
        out.Add(Kind::SentEmpty);
}

void CheckGlyphCodes(const MessageImage& image, Gathered& out) {
    if (!image.glyphLibrary)
        return;
    const QList<quint32>& codes = image.glyphCodes;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (image.glyphLibrary->GlyphOfCode(codes[i]))
            continue;
        const QChar unit(static_cast<char16_t>(codes[i] & 0x7FFu));
        QString subject(unit);
        if (unit.isHighSurrogate() && i + 1 < codes.size()) {
            const QChar next(static_cast<char16_t>(codes[i + 1] & 0x7FFu));
            if (next.isLowSurrogate()) {
                subject += next;
                ++i;
            }
        }
        out.Add(Kind::NoGlyph, subject);
    }
}

bool IsAnimationRun(const TextRun& run, int* number = nullptr) {
    return run.text.size() == ContentGrammar::AnimationTokenLength &&
           ContentGrammar::ReadAnimationToken(run.text, 0, number);
}

// An animation token whose animation the glyph library lacks for the sign's height draws
// nothing, in the preview and on the sign alike.
bool AnimationMissing(const MessageImage& image, const TextRun& run) {
    int number = 0;
    return image.glyphLibrary && IsAnimationRun(run, &number) &&
           !image.glyphLibrary->AnimationFrame(image.rows, number, 0);
}

// Text runs: characters no font has, colours the sign does not light as composed, and
// ink beyond the sign's rows.
void CheckRuns(MessageImage& image, Gathered& out) {
    for (const TextRasteriser::RunCoverage& coverage : image.TextCoverage()) {
        const TextRun& run = image.runList[coverage.run];
        for (const char32_t c : coverage.missing)
            out.Add(Kind::NoGlyph, QString::fromUcs4(&c, 1));
        if (AnimationMissing(image, run))
            out.Add(Kind::NoGlyph, run.text);
        if (!coverage.hasInk)
            continue;
        if (!IsAnimationRun(run) && !TextRasteriser::IsBanded(run.colour)) {
            const quint32 colour = 0xFF000000u | run.colour;
            const SignLight light = SignColours::LightOf(image.Packing(), colour);
            if (colour == SignColours::OpaqueBlack) {
                out.Add(Kind::Black, Excerpt(run.text));
                continue;
            }
            if (light == SignLight::Dark) {
                out.Add(Kind::NotLit, ColourName(colour));
                continue;
            }
            if (image.Packing() == PackKind::TwoBitPages && light == SignLight::Yellow &&
                colour != SignColours::PureYellow)
                out.Add(Kind::ShowsYellow, ColourName(colour));
        }
        if (coverage.top < 0)
            out.Add(Kind::CutOffTop);
        if (coverage.bottom >= image.rows)
            out.Add(Kind::CutOffBottom);
    }
}

// True when a picture lights a dot below the sign's rows.
// Pictures of an image list, each on its own: the sign shows its top rows at its own size.
void CheckPicture(const MessageImage& image, const QString& path, Gathered& out) {
    const QFileInfo info(path);
    if (!info.exists()) {
        out.Add(Kind::PictureMissing, path);
        return;
    }
    // Only regular files are opened: a named pipe would block the reader.
    if (!info.isFile()) {
        out.Add(Kind::NotAPicture, path);
        return;
    }
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid()) {
        out.Add(Kind::NotAPicture, path);
        return;
    }
    if (size.height() != image.rows) {
        const QString dimensions = QStringLiteral("%1 × %2").arg(size.width()).arg(size.height());
        out.Add(size.height() > image.rows ? Kind::PictureTall : Kind::PictureLow, path, dimensions);
    }
}

void CheckPictures(const MessageImage& image, Gathered& out) {
    for (const QString& path : image.imagePaths) {
        // Pictures over the size limits are refused with an error of their own.
        if (!path.isEmpty() && !image.rejectedImages.contains(path))
            CheckPicture(image, path, out);
    }
}

Text TextOf(Kind kind) {
    switch (kind) {
    case Kind::SentEmpty:
        return Text::RowCheckSentEmpty;
    case Kind::Dropped:
        return Text::RowCheckDropped;
    case Kind::NoGlyph:
        return Text::RowCheckNoGlyph;
    case Kind::ShownAs:
        return Text::RowCheckShownAs;
    case Kind::CutOffTop:
        return Text::RowCheckCutOffTop;
    case Kind::CutOffBottom:
        return Text::RowCheckCutOffBottom;
    case Kind::Black:
        return Text::RowCheckBlack;
    case Kind::NotLit:
        return Text::RowCheckNotLit;
    case Kind::ShowsYellow:
        return Text::RowCheckShowsYellow;
    case Kind::PictureMissing:
        return Text::RowCheckPictureMissing;
    case Kind::NotAPicture:
        return Text::RowCheckNotAPicture;
    case Kind::PictureLow:
        return Text::RowCheckPictureLow;
    case Kind::PictureTall:
        return Text::RowCheckPictureTall;
    case Kind::SentAsDigits:
        return Text::RowCheckSentAsDigits;
    case Kind::DateNotSent:
        break;
    }
    return Text::RowCheckDateNotSent;
}

// The named subjects joined with ", ", the ones past NamedSubjects counted.
QString NameList(const QStringList& names) {
    QStringList shown = names.mid(0, RowCheck::NamedSubjects);
    if (names.size() > RowCheck::NamedSubjects)
        shown << QStringLiteral("… (+%1)").arg(names.size() - RowCheck::NamedSubjects);
    return shown.join(QStringLiteral(", "));
}

} // namespace

RowFindings RowCheck::Check(MessageImage& image) {
    Gathered out;
    image.EnsureFrameLists();
    const bool characterSign = image.Packing() == PackKind::CharacterCodes;
    switch (image.Kind()) {
    case ContentKind::Rtf:
        if (characterSign)
            out.Add(Kind::SentEmpty);
        else
            CheckRuns(image, out);
        break;
    case ContentKind::Date:
        if (characterSign &&
            !TextRasteriser::DateString(image.dateFlags, QDateTime::currentDateTime()).isEmpty())
            out.Add(Kind::DateNotSent);
        if (image.isRunText == 0) {
            if (characterSign)
                CheckCharacterCodes(image, image.plainText, out);
            else if (!ContentGrammar::IsBlank(image.plainText))
                out.Add(Kind::Dropped, Excerpt(image.plainText)); // a date sends no bitmap of its text
            break;
        }
        if (characterSign) {
            QString text;
            for (const TextRun& run : image.runList)
                text += run.text;
            if (!ContentGrammar::IsBlank(text))
                out.Add(Kind::Dropped, Excerpt(text));
        } else {
            CheckRuns(image, out);
        }
        break;
    case ContentKind::BitmapFont:
        if (characterSign)
            CheckCharacterCodes(image, image.plainText, out);
        else
            CheckGlyphFiles(image, image.plainText, out);
        break;
    case ContentKind::GlyphCodes:
        if (characterSign) {
            if (!ContentGrammar::IsBlank(image.plainText))
                out.Add(Kind::SentAsDigits, Excerpt(image.plainText));
        } else
            CheckGlyphCodes(image, out);
        break;
    case ContentKind::ImageList:
        if (characterSign)
            out.Add(Kind::SentEmpty);
        else
            CheckPictures(image, out);
        break;
    case ContentKind::Blank:
        break;
    }
    return out.List();
}

QString RowCheck::NameOf(const QString& subject) {
    const QList<uint> points = subject.toUcs4();
    if (points.size() != 1)
        return subject;
    const char32_t c = points.front();
    const QString code = QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
    const QChar::Category category = QChar::category(c);
    if (QChar::isSpace(c) || category == QChar::Other_Control || category == QChar::Other_Format ||
        category == QChar::Other_Surrogate)
        return code;
    return QStringLiteral("%1 (%2)").arg(subject, code);
}

QString RowCheck::Describe(const RowFinding& finding, const LanguageTexts* texts) {
    const QString text = LanguageTexts::Say(texts, TextOf(finding.kind));
    if (finding.kind == Kind::ShownAs) {
        QStringList pairs;
        for (qsizetype i = 0; i < finding.subjects.size(); ++i)
            pairs << QString(text).arg(NameOf(finding.subjects[i]), finding.shownAs.value(i));
        return NameList(pairs);
    }
    QStringList names;
    for (qsizetype i = 0; i < finding.subjects.size(); ++i) {
        const QString size = finding.shownAs.value(i);
        names << (size.isEmpty() ? NameOf(finding.subjects[i])
                                 : QStringLiteral("%1 (%2)").arg(NameOf(finding.subjects[i]), size));
    }
    if (text.contains(QStringLiteral("%1")))
        return text.arg(NameList(names));
    return names.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, NameList(names));
}

QStringList RowCheck::Describe(const RowFindings& findings, const LanguageTexts* texts) {
    QStringList lines;
    for (const RowFinding& finding : findings)
        lines << Describe(finding, texts);
    return lines;
}

QString RowCheck::AboutSubject(const RowFindings& findings, const QString& subject,
                               const LanguageTexts* texts) {
    QStringList lines;
    for (const RowFinding& finding : findings) {
        const qsizetype at = finding.subjects.indexOf(subject);
        if (at < 0)
            continue;
        RowFinding one{finding.kind, {subject}, {}};
        if (at < finding.shownAs.size())
            one.shownAs << finding.shownAs[at];
        lines << Describe(one, texts);
    }
    return lines.join(QStringLiteral("; "));
}

QString RowCheck::Summary(const RowFindings& findings, const LanguageTexts* texts) {
    return Describe(findings, texts).join(QStringLiteral("; "));
}

QString RowCheck::KindName(RowFinding::Kind kind) {
    switch (kind) {
    case Kind::SentEmpty:
        return QStringLiteral("sent-empty");
    case Kind::Dropped:
        return QStringLiteral("dropped");
    case Kind::NoGlyph:
        return QStringLiteral("no-glyph");
    case Kind::ShownAs:
        return QStringLiteral("shown-as");
    case Kind::CutOffTop:
        return QStringLiteral("cut-off-top");
    case Kind::CutOffBottom:
        return QStringLiteral("cut-off-bottom");
    case Kind::Black:
        return QStringLiteral("black");
    case Kind::NotLit:
        return QStringLiteral("not-lit");
    case Kind::ShowsYellow:
        return QStringLiteral("shows-yellow");
    case Kind::PictureMissing:
        return QStringLiteral("picture-missing");
    case Kind::NotAPicture:
        return QStringLiteral("not-a-picture");
    case Kind::PictureLow:
        return QStringLiteral("picture-low");
    case Kind::PictureTall:
        return QStringLiteral("picture-tall");
    case Kind::SentAsDigits:
        return QStringLiteral("sent-as-digits");
    case Kind::DateNotSent:
        break;
    }
    return QStringLiteral("date-not-sent");
}

void RowCheck::DrawMark(QPainter& painter, const QRect& preview) {
    const int side = std::clamp(preview.height() - 4, 9, 16);
    const QRectF box(preview.right() - side - 2, preview.top() + 2, side, side);
    QPainterPath triangle;
    triangle.moveTo(box.center().x(), box.top());
    triangle.lineTo(box.right(), box.bottom());
    triangle.lineTo(box.left(), box.bottom());
    triangle.closeSubpath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x60, 0x30, 0x00), 1.0));
    painter.setBrush(QColor(0xFF, 0xB0, 0x20));
    painter.drawPath(triangle);
    const double stroke = std::max(1.5, side / 8.0);
    painter.setPen(QPen(QColor(0x30, 0x18, 0x00), stroke, Qt::SolidLine, Qt::RoundCap));
    const double x = box.center().x();
    painter.drawLine(QPointF(x, box.top() + side * 0.38), QPointF(x, box.top() + side * 0.66));
    painter.drawPoint(QPointF(x, box.top() + side * 0.82));
    painter.restore();
}

} // namespace vexa
