#pragma once

// Reads the lines the link engine wrote to its Debug.Log (tests of the engine and the parser).
#include <QFile>
#include <QString>
#include <QStringList>

namespace vexa::test {

inline QStringList DebugLogLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace vexa::test
