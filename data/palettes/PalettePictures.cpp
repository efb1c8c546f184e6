#include "PalettePictures.h"

#include <QFile>
#include <QStringList>

namespace vexa {

namespace {

// The character table the fonts were drawn from, "<index> <character>" per line.
QStringList LoadSpecialCharacters() {
    QStringList characters;
    QFile file(QStringLiteral(":/palettes/extras.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        return characters;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList fields = line.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool ok = false;
        const int index = fields.value(0).toInt(&ok);
        if (fields.size() == 2 && ok && index == 128 + characters.size()) {
            characters.append(fields[1]);
        }
    }
    return characters;
}

const QStringList& SpecialCharacters() {
    static const QStringList characters = LoadSpecialCharacters();
    return characters;
}

} // namespace

QString PalettePictures::FacePath(int k) {
    return QStringLiteral(":/palettes/face/%1.png").arg(k);
}

QString PalettePictures::SpecialPath(int k) {
    return QStringLiteral(":/palettes/special/%1.png").arg(k);
}

QString PalettePictures::SpecialCharacter(int k) {
    return SpecialCharacters().value(k);
}

int PalettePictures::SpecialNumberOf(const QString& character) {
    return static_cast<int>(SpecialCharacters().indexOf(character));
}

} // namespace vexa
