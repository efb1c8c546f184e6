#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace vexa {

// One language file read the way the platform's profile reader reads it: section and
// entry names without regard to letter case, spaces around names and values ignored,
// texts cut to 999 characters. The first of two sections or entries of the same name
// wins; lines without "=" and lines starting with ";" are no entries.
class LanguageFile {
public:
    static constexpr int MaxTextLength = 999;

    // Reads UTF-16LE (with its byte-order mark, as the language files are written),
    // UTF-16BE or UTF-8 text; text without a mark is read as UTF-8. Replaces what was
    // read before. False, and nothing read, when the bytes are empty.
    bool Parse(const QByteArray& bytes);
    bool IsEmpty() const { return sections.isEmpty(); }

    // The text of an entry, or nothing when the section or the entry is missing.
    std::optional<QString> Read(const QString& section, const QString& name) const;
    // The entry names of a section as written, in file order.
    QStringList Names(const QString& section) const;

private:
    struct Section {
        QStringList names;
        QHash<QString, QString> texts; // by folded name
    };
    static QString Fold(const QString& name) { return name.trimmed().toCaseFolded(); }
    QHash<QString, Section> sections; // by folded name
};

} // namespace vexa
