#pragma once

#include "store/FileStamp.h"
#include "store/LegacyCodePage.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <vector>

namespace vexa {

// The program's reader and writer of INI-kind text files. In its vocabulary a "key"
// is a section and a "value" a name=text line inside it. Names are case-sensitive and
// never trimmed. Files are read in four encodings and always written as UTF-16LE with
// a byte-order mark, atomically (temporary file renamed over the target).
//
// The model keeps the text it read in one piece and a value as the place of its line in
// it, so a file costs a small multiple of its own size however many keys and values it
// holds; a value put later gets a line of its own.
//
// The file may have other writers (a second program, the command line). The model
// remembers the file as it last read or wrote it (its FileStamp and a hash of its bytes)
// and the values put since. Saving over a file that changed meanwhile first reads it
// again and puts those values on top, so no other writer's value is lost; a file that is
// there but could not be read is never written over.
class CIniFile {
public:
    // Receives "Open failed" / "Close failed" and load refusals. The GUI shows them in
    // message boxes (detail: the path and the system's reason), the command line prints them.
    using ErrorReporter =
        std::function<void(const QString& caption, const QString& text, const QString& detail)>;

    // The refusal to write over a file that could not be read.
    static const QString NotSavedText;

    CIniFile();
    virtual ~CIniFile() = default;
    CIniFile(const CIniFile&) = default;
    CIniFile& operator=(const CIniFile&) = default;

    QString filePath;
    QString lastError;

    // Parses filePath into the model, merging into what it holds. False when the file
    // cannot be opened or is larger than the reader accepts (the model is then unchanged;
    // a file too large is reported, once until it changes).
    bool LoadFile();
    // LoadFile without any report: on failure reason (when given) receives the path and why.
    bool ReadFile(QString* reason = nullptr);
    // Parses text (already decoded) into the model, exactly as LoadFile does.
    void LoadText(const QString& text);
    // Writes the model to filePath. False (and a report) when it could not be written;
    // the previous file then stays as it was. A file that already holds these bytes is
    // not written again.
    bool SaveFile();
    // The bytes SaveFile writes.
    QByteArray Serialize() const;
    // Empties the model (keys, values and what it knew of the file); filePath, lastError,
    // the code page, the reporter and the read-only switch stay.
    void Clear();

    // The model in its order: the key names, and the names and texts of one key's values.
    int KeyCount() const { return static_cast<int>(keys.size()); }
    QStringList KeyNames() const;
    QStringList ValueNames(int keyIndex) const;
    QStringList ValueTexts(int keyIndex) const;

    QString GetText(const QString& keyName, const QString& valueName);
    // GetText without noting a failed lookup in lastError.
    QString Peek(const QString& keyName, const QString& valueName) const;
    double GetNumber(const QString& keyName, const QString& valueName);
    // GetNumber truncated toward zero and clamped to the int range.
    int GetInteger(const QString& keyName, const QString& valueName);
    bool PutText(const QString& keyName, const QString& valueName, const QString& text, bool create);
    bool PutInteger(const QString& keyName, const QString& valueName, int value, bool create);
    int KeyIndex(const QString& keyName) const;
    // The position of the value among its key's values, or -1.
    int ValueIndex(int keyIndex, const QString& valueName) const;
    bool HasValue(const QString& keyName, const QString& valueName) const;

    // --- The file on disk.
    // True when the file differs from what the model last read or wrote (by its stamp).
    bool ChangedOnDisk() const;
    // Reads the file again when it changed since the model last read or wrote it; the
    // values put since stay on top. True when the model holds the file's content; false
    // when it is missing or cannot be read (the model is then kept).
    bool Refresh();
    // True when the last SaveFile or Refresh took in values another writer had stored;
    // owners that keep values of their own read them again.
    bool TookInChanges() const { return tookInChanges; }
    // True when the last read of filePath failed although the file is there; why it failed.
    bool ReadFailed() const { return Known() && readFailed; }
    const QString& ReadFailure() const { return readFailure; }
    // A read-only model never writes: SaveFile returns false and says nothing.
    void SetReadOnly(bool on) { readOnly = on; }
    bool ReadOnly() const { return readOnly; }

    void SetCodePage(const LegacyCodePage& page) { codePage = page; }
    const LegacyCodePage& CodePage() const { return codePage; }
    void SetErrorReporter(ErrorReporter reporter) { errorReporter = std::move(reporter); }

    // Leading decimal number of a text, as the C library's wcstod reads it (0 when none).
    static double LeadingNumber(const QString& text);
    static int TruncateToInt(double value);

    void Report(const QString& caption, const QString& text, const QString& detail = QString()) const;

private:
    static constexpr quint32 None = 0xFFFFFFFFu;

    // A piece of one of the buffers.
    struct Span {
        quint32 buffer = 0;
        quint32 offset = 0;
        quint32 length = 0;
    };
    // A value is its line "name=text" in a buffer: the name is nameLength units long and
    // the text follows after one unit (the "=", or the first unit of a line without one).
    struct Value {
        quint32 buffer;
        quint32 offset;
        quint32 nameLength;
        quint32 textLength;
        quint32 key;
        quint32 next; // the key's next value, or None
    };
    struct Key {
        Span name;
        quint32 first = None;
        quint32 last = None;
    };
    // Open addressing over item numbers + 1 (0: a free slot), at most half full.
    using Table = std::vector<quint32>;
    enum class Disk { Read, Missing, Unreadable };

    QStringView View(const Span& span) const;
    QStringView NameOf(const Value& value) const;
    QStringView TextOf(const Value& value) const;
    QStringView KeyNameOf(quint32 k) const;
    // The names or the texts of one key's values, in order.
    QStringList ValuePieces(int keyIndex, QStringView (CIniFile::*piece)(const Value&) const) const;
    quint32 Own(const QString& text);
    static size_t HashKey(QStringView name);
    static size_t HashValue(quint32 key, QStringView name);
    quint32 FindKey(QStringView name) const;
    quint32 FindValue(quint32 key, QStringView name) const;
    void ReserveTables(size_t keyCount, size_t valueCount);
    quint32 AddKey(Span name);
    quint32 AddValue(quint32 key, quint32 buffer, quint32 offset, quint32 nameLength, quint32 textLength);
    void LoadBuffer(quint32 buffer);

    bool Known() const { return !stampPath.isEmpty() && stampPath == filePath; }
    bool Load(QString* reason, bool report);
    Disk TakeInDisk(const FileStamp& now, bool report);
    void AdoptModel(CIniFile&& fresh);
    void NoteReadFailure(const QString& reason, bool tooLarge, bool report);
    bool RefuseUnread();

    std::vector<QString> buffers;
    std::vector<bool> owned; // buffers made for one put value or key name, replaced in place
    std::vector<Key> keys;
    std::vector<Value> values;
    Table keyTable;
    Table valueTable;
    std::vector<quint32> putSinceSaved; // values put since the last read or write

    LegacyCodePage codePage;
    ErrorReporter errorReporter;
    bool readOnly = false;

    QString stampPath; // the path the next four describe
    FileStamp stamp;
    quint64 contentHash = 0;
    bool hashKnown = false;
    bool readFailed = false;
    QString readFailure;          // why the last read failed
    bool failureReported = false; // the read failure of this stamp was reported
    bool refusalReported = false; // a refused save was reported since the last read or write
    bool tookInChanges = false;
};

} // namespace vexa
