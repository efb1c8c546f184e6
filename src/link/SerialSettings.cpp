#include "link/SerialSettings.h"

#include <QStringList>

namespace vexa {

std::optional<SerialSettings> SerialSettings::Parse(const QString& text) {
    const QStringList parts = text.trimmed().split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    SerialSettings s;
    bool ok = false;
    s.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0)
        return std::nullopt;
    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("neo").contains(parity))
        return std::nullopt;
    s.parity = static_cast<char>(parity.at(0).unicode());
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return std::nullopt;
    s.stopBits = parts[3].trimmed().toInt(&ok);
    if (!ok || (s.stopBits != 1 && s.stopBits != 2))
        return std::nullopt;
    return s;
}

QString SerialSettings::ToString() const {
    return QStringLiteral("%1,%2,%3,%4").arg(baud).arg(QChar::fromLatin1(parity)).arg(dataBits).arg(stopBits);
}

} // namespace vexa
