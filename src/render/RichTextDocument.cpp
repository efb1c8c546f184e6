#include "render/RichTextDocument.h"

#include "render/RtfReader.h"
#include "render/RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace vexa {

namespace {

constexpr int BoldWeight = 600;
constexpr double DefaultPointSize = 12.0;

// Characters of a fragment that are document structure or embedded objects, not text.
bool IsStructureCharacter(QChar c) {
    return c == QChar::ObjectReplacementCharacter || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

} // namespace

CharFormat RichTextDocument::ToCharFormat(const QTextCharFormat& format, const QFont& base) {
    const QFont font = format.font().resolve(base);
    CharFormat result;
    result.face = font.family();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : DefaultPointSize;
    result.sizeTwips = qRound(points * 20);
    const QBrush foreground = format.foreground();
    result.colour =
        foreground.style() != Qt::NoBrush ? (foreground.color().rgb() | 0xFF000000u) : qRgb(0, 0, 0);
    result.autoColour = format.boolProperty(AutoColourProperty) && result.colour == CharFormat::AutoColour;
    result.bold = font.weight() >= BoldWeight;
    result.italic = font.italic();
    result.underline = font.underline();
    result.charset = format.intProperty(CharsetProperty);
    return result;
}

QTextCharFormat RichTextDocument::ToTextCharFormat(const CharFormat& format) {
    QTextCharFormat result;
    if (!format.face.isEmpty())
        result.setFontFamilies({format.face});
    result.setFontPointSize(format.sizeTwips / 20.0);
    result.setForeground(QColor::fromRgb(format.colour | 0xFF000000u));
    result.setProperty(AutoColourProperty, format.autoColour); // false too: a merge must clear it
    result.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    result.setFontItalic(format.italic);
    result.setFontUnderline(format.underline);
    if (format.charset != 0)
        result.setProperty(CharsetProperty, format.charset);
    return result;
}

RichText RichTextDocument::ToRichText(const QTextDocument& document) {
    RichText result;
    const QFont base = document.defaultFont();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            result.Append(QStringLiteral("\r"), ToCharFormat(block.charFormat(), base));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const CharFormat format = ToCharFormat(fragment.charFormat(), base);
            QString text;
            for (QChar c : fragment.text()) {
                if (c == QChar::LineSeparator)
                    text += u'\r';
                else if (!IsStructureCharacter(c))
                    text += c;
            }
            result.Append(text, format);
        }
    }
    return result;
}

void RichTextDocument::FromRichText(QTextDocument& document, const RichText& text,
                                    const CharFormat& endFormat) {
    FromRichText(document, text);
    if (!document.lastBlock().text().isEmpty())
        return;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(document.lastBlock());
    cursor.setBlockCharFormat(ToTextCharFormat(endFormat));
    document.setUndoRedoEnabled(undo);
}

void RichTextDocument::FromRichText(QTextDocument& document, const RichText& text) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    const qsizetype length = std::min(text.text.size(), text.formats.size());
    qsizetype start = 0;
    while (start < length) {
        const CharFormat& format = text.formats.at(start);
        if (text.text.at(start) == u'\r') {
            cursor.insertBlock(cursor.blockFormat(), ToTextCharFormat(format));
            ++start;
            continue;
        }
        qsizetype end = start + 1;
        while (end < length && text.text.at(end) != u'\r' && text.formats.at(end) == format)
            ++end;
        cursor.insertText(text.text.mid(start, end - start), ToTextCharFormat(format));
        start = end;
    }
    document.setUndoRedoEnabled(undo);
}

QString RichTextDocument::GetRTF(const QTextDocument& document) {
    const RichText text = ToRichText(document);
    const QTextBlock last = document.lastBlock();
    QTextCharFormat endFormat = last.charFormat();
    for (auto it = last.begin(); !it.atEnd(); ++it)
        endFormat = it.fragment().charFormat();
    return RtfWriter::Write(text, ToCharFormat(endFormat, document.defaultFont()));
}

void RichTextDocument::SetRTF(QTextDocument& document, const QString& rtf, const LegacyCodePage& ansiPage) {
    CharFormat endFormat;
    const RichText text = RtfReader::Read(rtf, ansiPage, &endFormat);
    FromRichText(document, text, endFormat);
}

} // namespace vexa
