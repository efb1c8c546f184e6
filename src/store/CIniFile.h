#pragma once

#include "store/LegacyCodePage.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace vexa {

// The program's reader and writer of INI-kind text files. In its vocabulary a "key"
// is a section and a "value" a name=text line inside it. Names are case-sensitive and
// never trimmed. Files are read in four encodings and always written as UTF-16LE with
// a byte-order mark, atomically (temporary file renamed over the target).
class CIniFile {
public:
    struct key {
        QStringList valueTexts;
        QStringList valueNames;
    };

    // Receives "Open failed" / "Close failed" and load refusals. The GUI shows them in
    // message boxes (detail: the path and the system's reason), the command line prints them.
    using ErrorReporter =
        std::function<void(const QString& caption, const QString& text, const QString& detail)>;

    CIniFile();
    virtual ~CIniFile() = default;
    CIniFile(const CIniFile&) = default;
    CIniFile& operator=(const CIniFile&) = default;

    QString filePath;
    std::vector<key> keyList;
    QStringList keyNames;
    QString lastError;

    // Parses filePath into the model, merging into what it holds. False when the file
    // cannot be opened or is larger than the reader accepts (the model is then unchanged).
    bool LoadFile();
    // LoadFile without any report: on failure reason (when given) receives the path and why.
    bool ReadFile(QString* reason = nullptr);
    // Parses text (already decoded) into the model, exactly as LoadFile does.
    void LoadText(const QString& text);
    // Writes the model to filePath. False (and a report) when it could not be written;
    // the previous file then stays as it was.
    bool SaveFile();
    // The bytes SaveFile writes.
    QByteArray Serialize() const;
    // Empties the model (keys and values); filePath and lastError stay.
    void Clear();

    QString GetText(const QString& keyName, const QString& valueName);
    double GetNumber(const QString& keyName, const QString& valueName);
    // GetNumber truncated toward zero and clamped to the int range.
    int GetInteger(const QString& keyName, const QString& valueName);
    bool PutText(const QString& keyName, const QString& valueName, const QString& text, bool create);
    bool PutInteger(const QString& keyName, const QString& valueName, int value, bool create);
    int KeyIndex(const QString& keyName) const;
    int ValueIndex(int keyIndex, const QString& valueName) const;

    void SetCodePage(const LegacyCodePage& page) { codePage = page; }
    const LegacyCodePage& CodePage() const { return codePage; }
    void SetErrorReporter(ErrorReporter reporter) { errorReporter = std::move(reporter); }

    // Leading decimal number of a text, as the C library's wcstod reads it (0 when none).
    static double LeadingNumber(const QString& text);
    static int TruncateToInt(double value);

    void Report(const QString& caption, const QString& text, const QString& detail = QString()) const;

private:
    // First index of every key name and, per key, of every value name, so a lookup costs the
    // same however many keys and values a file holds. The indexes follow appends lazily and
    // are rebuilt when a list shrank.
    struct NameIndex {
        QHash<QString, int> first;
        qsizetype indexed = 0;
        void CatchUp(const QStringList& names);
        // The first index of name, or -1 after noting name as the next one (at indexed, which
        // must equal the list's size); the caller then appends it to the list.
        int FirstOrAppend(const QString& name);
    };
    void SyncKeyIndex() const;
    static qsizetype LineEnd(QStringView text, qsizetype from);
    int KeyForLoad(const QString& keyName);
    void PutLoaded(int keyIndex, const QString& valueName, QStringView text);

    LegacyCodePage codePage;
    ErrorReporter errorReporter;
    mutable NameIndex keyLookup;
    mutable std::vector<NameIndex> valueLookup;
};

} // namespace vexa
