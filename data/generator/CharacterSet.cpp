#include "CharacterSet.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

namespace vexa::datagen {

char32_t CharacterOfKey(const QString& key) {
    if (key == QStringLiteral("space")) {
        return U' ';
    }
    const QList<uint> units = key.toUcs4();
    if (units.size() != 1) {
        return 0;
    }
    return static_cast<char32_t>(units.front());
}

QString KeyOfCharacter(char32_t character) {
    if (character == U' ') {
        return QStringLiteral("space");
    }
    return QString::fromUcs4(&character, 1);
}

bool CharacterSet::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot read: %2").arg(path, file.errorString());
        return false;
    }
    return Parse(QString::fromUtf8(file.readAll()), path);
}

bool CharacterSet::Parse(const QString& text, const QString& source) {
    extras.clear();
    error.clear();
    int lineNumber = 0;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        ++lineNumber;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QStringLiteral("//"))) {
            continue;
        }
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const int expected = kFirstExtra + static_cast<int>(extras.size());
        bool ok = false;
        const int index = fields.value(0).toInt(&ok);
        const char32_t character = fields.size() == 2 ? CharacterOfKey(fields[1]) : 0;
        if (!ok || index != expected) {
            error = QStringLiteral("%1:%2: expected index %3").arg(source).arg(lineNumber).arg(expected);
        } else if (character <= U' ' || character < 0x80) {
            error = QStringLiteral("%1:%2: expected one non-ASCII character").arg(source).arg(lineNumber);
        } else if (std::find(extras.begin(), extras.end(), character) != extras.end()) {
            error = QStringLiteral("%1:%2: character listed twice").arg(source).arg(lineNumber);
        } else if (static_cast<int>(extras.size()) == kExtraCount) {
            error =
                QStringLiteral("%1:%2: more than %3 characters").arg(source).arg(lineNumber).arg(kExtraCount);
        }
        if (!error.isEmpty()) {
            extras.clear();
            return false;
        }
        extras.push_back(character);
    }
    if (static_cast<int>(extras.size()) != kExtraCount) {
        error = QStringLiteral("%1: %2 characters listed, expected %3")
                    .arg(source)
                    .arg(extras.size())
                    .arg(kExtraCount);
        extras.clear();
        return false;
    }
    return true;
}

char32_t CharacterSet::CharacterOf(int index) const {
    if (index >= 32 && index <= 126) {
        return static_cast<char32_t>(index);
    }
    const int extra = index - kFirstExtra;
    if (extra >= 0 && extra < static_cast<int>(extras.size())) {
        return extras[static_cast<std::size_t>(extra)];
    }
    return 0;
}

} // namespace vexa::datagen
