#include "store/LanguageFile.h"

#include <QStringConverter>

namespace vexa {

namespace {

QString Decode(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    return QString::fromUtf8(bytes);
}

} // namespace

bool LanguageFile::Parse(const QByteArray& bytes) {
    sections.clear();
    if (bytes.isEmpty())
        return false;
    const QString text = Decode(bytes);
    Section* current = nullptr;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), pos);
        if (end < 0)
            end = text.size();
        const QString line = text.mid(pos, end - pos).trimmed();
        pos = end + 1;
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = Fold(line.mid(1, close < 0 ? -1 : close - 1));
            current = sections.contains(name) ? nullptr : &sections[name]; // the first one counts
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!current || equals < 0)
            continue;
        const QString written = line.left(equals).trimmed();
        const QString name = Fold(written);
        if (current->texts.contains(name))
            continue;
        current->names.append(written);
        current->texts.insert(name, line.mid(equals + 1).trimmed().left(MaxTextLength));
    }
    return true;
}

std::optional<QString> LanguageFile::Read(const QString& section, const QString& name) const {
    const auto s = sections.constFind(Fold(section));
    if (s == sections.constEnd())
        return std::nullopt;
    const auto t = s->texts.constFind(Fold(name));
    if (t == s->texts.constEnd())
        return std::nullopt;
    return *t;
}

QStringList LanguageFile::Names(const QString& section) const {
    const auto s = sections.constFind(Fold(section));
    return s == sections.constEnd() ? QStringList() : s->names;
}

} // namespace vexa
