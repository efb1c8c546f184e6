#include "app/RowDescription.h"

#include "render/ContentGrammar.h"
#include "render/MessageImage.h"

#include <QFileInfo>
#include <QStringList>

namespace vexa {

namespace {

constexpr quint32 CharacterBits = 0x7FF;

QString RunText(const TextRunList& runs) {
    QString text;
    for (const TextRun& run : runs) {
        if (!ContentGrammar::IsAnimationToken(run.text, 0))
            text += run.text;
    }
    return text;
}

QString CodesText(const QList<quint32>& codes, const RowDescription::CharacterOf& characterOf) {
    QString text;
    for (quint32 code : codes) {
        const int index = static_cast<int>(code & CharacterBits);
        QString character = characterOf ? characterOf(index) : QString();
        if (character.isEmpty() && index >= 32 && index < 127)
            character = QChar(index);
        text += character;
    }
    return text;
}

QString Quoted(QString text) {
    text = text.simplified();
    if (text.size() > RowDescription::MaxTextLength)
        text = text.left(RowDescription::MaxTextLength) + QChar(0x2026);
    return QStringLiteral("'%1'").arg(text);
}

} // namespace

QString RowDescription::Content(const MessageImage& image, const CharacterOf& characterOf) {
    switch (image.Kind()) {
    case ContentKind::Rtf:
        return QStringLiteral("text ") + Quoted(RunText(image.runList));
    case ContentKind::BitmapFont:
        return QStringLiteral("text ") + Quoted(image.plainText);
    case ContentKind::GlyphCodes:
        return QStringLiteral("text ") + Quoted(CodesText(image.glyphCodes, characterOf));
    case ContentKind::Date: {
        const QString text = image.isRunText ? RunText(image.runList) : image.plainText;
        return text.trimmed().isEmpty() ? QStringLiteral("date")
                                        : QStringLiteral("date and text ") + Quoted(text);
    }
    case ContentKind::ImageList: {
        QStringList names;
        for (const QString& path : image.imagePaths)
            names << QFileInfo(path).fileName();
        return names.isEmpty() ? QStringLiteral("empty")
                               : QStringLiteral("pictures ") + names.join(QStringLiteral(", "));
    }
    case ContentKind::Blank:
        break;
    }
    return QStringLiteral("empty");
}

QString RowDescription::Describe(int row, const MessageImage& image, const QString& effect, int speedItem,
                                 const CharacterOf& characterOf) {
    const QString content = Content(image, characterOf);
    if (image.Kind() == ContentKind::Blank)
        return QStringLiteral("Row %1: %2").arg(row + 1).arg(content);
    QString text = QStringLiteral("Row %1: %2").arg(row + 1).arg(content);
    if (!effect.isEmpty())
        text += QStringLiteral(", ") + effect;
    return text + QStringLiteral(", speed %1").arg(speedItem + 1);
}

} // namespace vexa
