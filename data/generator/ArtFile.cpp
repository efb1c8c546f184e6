#include "ArtFile.h"

#include <QFile>
#include <QStringList>

namespace vexa::datagen {

namespace {

constexpr int kMaxRows = 64;
constexpr int kMaxColumns = 64;

bool DotOf(QChar c, Dot& dot) {
    switch (c.unicode()) {
    case u'.':
        dot = Dot::Dark;
        return true;
    case u'#':
    case u'R':
        dot = Dot::Red;
        return true;
    case u'G':
        dot = Dot::Green;
        return true;
    case u'Y':
        dot = Dot::Yellow;
        return true;
    default:
        return false;
    }
}

} // namespace

bool ArtFile::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        entries.clear();
        error = QStringLiteral("%1: cannot read: %2").arg(path, file.errorString());
        return false;
    }
    return Parse(QString::fromUtf8(file.readAll()), path);
}

const ArtEntry* ArtFile::Find(const QString& key) const {
    for (const ArtEntry& entry : entries) {
        if (entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

bool ArtFile::Fail(int line, const QString& reason) {
    error = QStringLiteral("%1:%2: %3").arg(sourceName).arg(line).arg(reason);
    entries.clear();
    return false;
}

bool ArtFile::FinishEntry() {
    if (!inEntry) {
        return true;
    }
    inEntry = false;
    if (static_cast<int>(pendingRows.size()) != rowsPerEntry) {
        return Fail(pendingLine, QStringLiteral("entry \"%1\" has %2 rows, expected %3")
                                     .arg(pendingKey)
                                     .arg(pendingRows.size())
                                     .arg(rowsPerEntry));
    }
    ArtEntry entry;
    entry.key = pendingKey;
    entry.line = pendingLine;
    const int width = static_cast<int>(pendingRows.front().size());
    entry.image = DotImage(width, rowsPerEntry);
    for (int y = 0; y < rowsPerEntry; ++y) {
        const QString& row = pendingRows[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            Dot dot = Dot::Dark;
            DotOf(row[x], dot);
            entry.image.Set(x, y, dot);
        }
    }
    entries.push_back(entry);
    pendingRows.clear();
    return true;
}

bool ArtFile::Parse(const QString& text, const QString& source) {
    sourceName = source;
    entries.clear();
    error.clear();
    pendingRows.clear();
    rowsPerEntry = 7;
    inEntry = false;

    const QStringList lines = text.split(QLatin1Char('\n'));
    int lineNumber = 0;
    for (QString line : lines) {
        ++lineNumber;
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QStringLiteral("//"))) {
            continue;
        }
        if (line.startsWith(QStringLiteral("> "))) {
            if (!FinishEntry()) {
                return false;
            }
            pendingKey = line.mid(2);
            while (pendingKey.size() > 1 && pendingKey.back().isSpace()) {
                pendingKey.chop(1);
            }
            if (pendingKey.isEmpty()) {
                return Fail(lineNumber, QStringLiteral("entry without a key"));
            }
            if (Find(pendingKey) != nullptr) {
                return Fail(lineNumber, QStringLiteral("key \"%1\" drawn twice").arg(pendingKey));
            }
            pendingLine = lineNumber;
            inEntry = true;
            continue;
        }
        if (trimmed.startsWith(QStringLiteral("height "))) {
            if (!FinishEntry()) {
                return false;
            }
            bool ok = false;
            const int rows = trimmed.mid(7).trimmed().toInt(&ok);
            if (!ok || rows < 1 || rows > kMaxRows) {
                return Fail(lineNumber, QStringLiteral("height must be 1 to %1").arg(kMaxRows));
            }
            rowsPerEntry = rows;
            continue;
        }
        if (!inEntry) {
            return Fail(lineNumber, QStringLiteral("dots outside an entry"));
        }
        for (QChar c : trimmed) {
            Dot dot = Dot::Dark;
            if (!DotOf(c, dot)) {
                return Fail(
                    lineNumber,
                    QStringLiteral("unexpected character '%1' in entry \"%2\"").arg(c).arg(pendingKey));
            }
        }
        if (trimmed.size() > kMaxColumns) {
            return Fail(lineNumber, QStringLiteral("row wider than %1 dots").arg(kMaxColumns));
        }
        if (!pendingRows.empty() && pendingRows.front().size() != trimmed.size()) {
            return Fail(lineNumber, QStringLiteral("rows of entry \"%1\" differ in width").arg(pendingKey));
        }
        if (static_cast<int>(pendingRows.size()) == rowsPerEntry) {
            return Fail(
                lineNumber,
                QStringLiteral("entry \"%1\" has more than %2 rows").arg(pendingKey).arg(rowsPerEntry));
        }
        pendingRows.push_back(trimmed);
    }
    return FinishEntry();
}

} // namespace vexa::datagen
