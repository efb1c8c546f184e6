#include "store/CIniFile.h"

#include "store/AtomicFile.h"
#include "store/EncodedTextReader.h"

#include <QHashFunctions>
#include <QLoggingCategory>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <vector>

namespace vexa {

Q_LOGGING_CATEGORY(lcStore, "vexa.store", QtWarningMsg)

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

void PrintReport(const QString& caption, const QString& text, const QString& detail) {
    if (detail.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    else
        std::fprintf(stderr, "%s: %s: %s\n", qPrintable(caption), qPrintable(text), qPrintable(detail));
}

// The first line end (CR LF) at or after from, or -1.
qsizetype LineEnd(QStringView text, qsizetype from) {
    for (;;) {
        const qsizetype cr = text.indexOf(kCr, from);
        if (cr < 0 || cr + 1 >= text.size())
            return -1;
        if (text[cr + 1] == kLf)
            return cr;
        from = cr + 1;
    }
}

bool IsHeader(QStringView line) {
    return line.size() >= 2 && line.front() == u'[' && line.back() == u']';
}

// The tables hold item numbers + 1 (0: a free slot) and are kept at most half full, so a
// probe ends at a free slot after a few steps.
constexpr quint32 kNone = 0xFFFFFFFFu;

template <typename Matches> quint32 Probe(const std::vector<quint32>& table, size_t hash, Matches matches) {
    if (table.empty())
        return kNone;
    const size_t mask = table.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const quint32 entry = table[i];
        if (entry == 0)
            return kNone;
        if (matches(entry - 1))
            return entry - 1;
    }
}

void Insert(std::vector<quint32>& table, size_t hash, quint32 item) {
    const size_t mask = table.size() - 1;
    size_t i = hash & mask;
    while (table[i] != 0)
        i = (i + 1) & mask;
    table[i] = item + 1;
}

// Makes room for items entries, placing the ones held again.
template <typename HashOf> void Grow(std::vector<quint32>& table, size_t items, HashOf hashOf) {
    if (items * 2 <= table.size())
        return;
    std::vector<quint32> grown(std::bit_ceil(std::max<size_t>(16, items * 2)), 0);
    for (const quint32 entry : table) {
        if (entry != 0)
            Insert(grown, hashOf(entry - 1), entry - 1);
    }
    table = std::move(grown);
}

} // namespace

const QString CIniFile::NotSavedText =
    QStringLiteral("Not saved: the file is there but could not be read, so it is left as it is.");

CIniFile::CIniFile() : errorReporter(PrintReport) {}

void CIniFile::Report(const QString& caption, const QString& text, const QString& detail) const {
    if (errorReporter)
        errorReporter(caption, text, detail);
}

void CIniFile::Clear() {
    buffers.clear();
    owned.clear();
    keys.clear();
    values.clear();
    keyTable.clear();
    valueTable.clear();
    putSinceSaved.clear();
    stampPath.clear();
    stamp = FileStamp();
    hashKnown = false;
    readFailed = false;
    readFailure.clear();
    failureReported = false;
    refusalReported = false;
    tookInChanges = false;
}

// ---------------------------------------------------------------- the model's storage

QStringView CIniFile::View(const Span& span) const {
    return QStringView(buffers[span.buffer]).sliced(span.offset, span.length);
}

QStringView CIniFile::NameOf(const Value& value) const {
    return QStringView(buffers[value.buffer]).sliced(value.offset, value.nameLength);
}

QStringView CIniFile::TextOf(const Value& value) const {
    return QStringView(buffers[value.buffer]).sliced(value.offset + value.nameLength + 1, value.textLength);
}

QStringView CIniFile::KeyNameOf(quint32 k) const {
    return View(keys[k].name);
}

quint32 CIniFile::Own(const QString& text) {
    buffers.push_back(text);
    owned.push_back(true);
    return static_cast<quint32>(buffers.size() - 1);
}

size_t CIniFile::HashKey(QStringView name) {
    return qHash(name, 0x6b6579);
}

size_t CIniFile::HashValue(quint32 key, QStringView name) {
    return qHash(name, 0x76616c) ^ (size_t(key) * 0x9E3779B97F4A7C15ull);
}

quint32 CIniFile::FindKey(QStringView name) const {
    return Probe(keyTable, HashKey(name), [&](quint32 k) { return KeyNameOf(k) == name; });
}

quint32 CIniFile::FindValue(quint32 key, QStringView name) const {
    if (key == None)
        return None;
    return Probe(valueTable, HashValue(key, name),
                 [&](quint32 v) { return values[v].key == key && NameOf(values[v]) == name; });
}

void CIniFile::ReserveTables(size_t keyCount, size_t valueCount) {
    Grow(keyTable, keyCount, [this](quint32 k) { return HashKey(KeyNameOf(k)); });
    Grow(valueTable, valueCount, [this](quint32 v) { return HashValue(values[v].key, NameOf(values[v])); });
}

quint32 CIniFile::AddKey(Span name) {
    const auto k = static_cast<quint32>(keys.size());
    keys.push_back(Key{name, None, None});
    ReserveTables(keys.size(), values.size());
    Insert(keyTable, HashKey(KeyNameOf(k)), k);
    return k;
}

quint32 CIniFile::AddValue(quint32 key, quint32 buffer, quint32 offset, quint32 nameLength,
                           quint32 textLength) {
    const auto v = static_cast<quint32>(values.size());
    values.push_back(Value{buffer, offset, nameLength, textLength, key, None});
    Key& owner = keys[key];
    if (owner.last == None)
        owner.first = v;
    else
        values[owner.last].next = v;
    owner.last = v;
    ReserveTables(keys.size(), values.size());
    Insert(valueTable, HashValue(key, NameOf(values[v])), v);
    return v;
}

// ---------------------------------------------------------------- loading

void CIniFile::LoadText(const QString& text) {
    buffers.push_back(text);
    owned.push_back(false);
    LoadBuffer(static_cast<quint32>(buffers.size() - 1));
}

// Loading puts values exactly as PutText(..., create = true) does, each line staying
// where it is in the buffer.
void CIniFile::LoadBuffer(quint32 b) {
    const QStringView all(buffers[b]);
    // Room for every line first, so that nothing is copied while the file is taken in.
    size_t lines = 0, headers = 0;
    for (qsizetype pos = 0; pos < all.size();) {
        const qsizetype end = LineEnd(all, pos);
        if (end < 0)
            break;
        ++lines;
        headers += IsHeader(all.sliced(pos, end - pos)) ? 1 : 0;
        pos = end + 2;
    }
    keys.reserve(keys.size() + headers + 1);
    values.reserve(values.size() + (lines - headers));
    ReserveTables(keys.size() + headers + 1, values.size() + (lines - headers));

    Span currentKey{b, 0, 0};
    quint32 k = None; // the current key's index, found (or created) at its first value
    qsizetype pos = 0;
    while (pos < all.size()) {
        const qsizetype end = LineEnd(all, pos);
        if (end < 0)
            break; // a last line without CR LF is not loaded
        const QStringView line = all.sliced(pos, end - pos);
        const auto offset = static_cast<quint32>(pos);
        pos = end + 2;
        if (IsHeader(line)) {
            qsizetype first = 0;
            while (first < line.size() && line.at(first) == u'[')
                ++first;
            qsizetype last = line.size();
            while (last > first && line.at(last - 1) == u']')
                --last;
            currentKey = Span{b, offset + static_cast<quint32>(first), static_cast<quint32>(last - first)};
            k = None;
            continue;
        }
        if (k == None) {
            k = FindKey(View(currentKey));
            if (k == None)
                k = AddKey(currentKey);
        }
        const qsizetype equals = line.indexOf(u'=');
        const auto nameLength = static_cast<quint32>(std::max<qsizetype>(equals, 0));
        const auto textLength = static_cast<quint32>(std::max<qsizetype>(line.size() - nameLength - 1, 0));
        const quint32 v = FindValue(k, line.first(nameLength));
        if (v == None) {
            AddValue(k, b, offset, nameLength, textLength);
            continue;
        }
        Value& value = values[v]; // a repeated name keeps its place and takes the last text
        if (owned[value.buffer])
            buffers[value.buffer] = QString();
        value.buffer = b;
        value.offset = offset;
        value.textLength = textLength;
    }
}

void CIniFile::NoteReadFailure(const QString& reason, bool tooLarge, bool report) {
    readFailure = reason;
    if (report && tooLarge && !failureReported) {
        Report(QStringLiteral("Error"), reason);
        failureReported = true;
    }
}

bool CIniFile::Load(QString* reason, bool report) {
    const FileStamp now = FileStamp::Of(filePath);
    if (!(Known() && now == stamp))
        failureReported = false; // another file, or the file changed: a new failure is news
    stampPath = filePath;
    stamp = now;
    EncodedTextReader reader(codePage);
    const EncodedTextReader::Status status = reader.OpenDetect(filePath);
    if (status != EncodedTextReader::Status::Ok) {
        if (reason)
            *reason = reader.Reason();
        hashKnown = false;
        readFailed = now.exists;
        NoteReadFailure(reader.Reason(), status == EncodedTextReader::Status::TooLarge, report);
        return false;
    }
    readFailed = false;
    failureReported = false;
    refusalReported = false;
    contentHash = reader.ContentHash();
    hashKnown = true;
    LoadText(reader.TakeText());
    return true;
}

bool CIniFile::LoadFile() {
    return Load(nullptr, true);
}

bool CIniFile::ReadFile(QString* reason) {
    return Load(reason, false);
}

// ---------------------------------------------------------------- other writers

bool CIniFile::ChangedOnDisk() const {
    return !Known() || !(FileStamp::Of(filePath) == stamp);
}

bool CIniFile::Refresh() {
    tookInChanges = false;
    const FileStamp now = FileStamp::Of(filePath);
    if (Known() && now == stamp)
        return now.exists && !readFailed;
    return TakeInDisk(now, true) == Disk::Read;
}

// Reads the file (stamp now) into a fresh model with the values put since the last read
// or write on top, and takes that model. A file whose bytes are what the model knew
// (touched, or written back unchanged) leaves the model as it is.
CIniFile::Disk CIniFile::TakeInDisk(const FileStamp& now, bool report) {
    tookInChanges = false;
    const bool knewContent = Known() && hashKnown;
    if (!(Known() && now == stamp))
        failureReported = false;
    stampPath = filePath;
    stamp = now;
    if (!now.exists) {
        readFailed = false;
        hashKnown = false;
        readFailure = QStringLiteral("%1: the file is missing").arg(filePath);
        return Disk::Missing;
    }
    EncodedTextReader reader(codePage);
    const EncodedTextReader::Status status = reader.OpenDetect(filePath);
    if (status != EncodedTextReader::Status::Ok) {
        readFailed = true;
        hashKnown = false;
        NoteReadFailure(reader.Reason(), status == EncodedTextReader::Status::TooLarge, report);
        return Disk::Unreadable;
    }
    readFailed = false;
    failureReported = false;
    refusalReported = false;
    if (knewContent && reader.ContentHash() == contentHash)
        return Disk::Read;
    CIniFile fresh;
    fresh.LoadText(reader.TakeText());
    std::vector<quint32> put = putSinceSaved;
    std::sort(put.begin(), put.end());
    put.erase(std::unique(put.begin(), put.end()), put.end());
    for (const quint32 v : put) {
        const Value& value = values[v];
        fresh.PutText(KeyNameOf(value.key).toString(), NameOf(value).toString(), TextOf(value).toString(),
                      true);
    }
    qCInfo(lcStore).noquote() << filePath << "changed on disk; taken in with" << put.size()
                              << "values put since the last read or write";
    for (const quint32 v : put)
        qCDebug(lcStore).noquote() << "  kept on top:" << NameOf(values[v]) << "=" << TextOf(values[v]);
    AdoptModel(std::move(fresh));
    contentHash = reader.ContentHash();
    hashKnown = true;
    tookInChanges = true;
    return Disk::Read;
}

void CIniFile::AdoptModel(CIniFile&& fresh) {
    buffers = std::move(fresh.buffers);
    owned = std::move(fresh.owned);
    keys = std::move(fresh.keys);
    values = std::move(fresh.values);
    keyTable = std::move(fresh.keyTable);
    valueTable = std::move(fresh.valueTable);
    putSinceSaved = std::move(fresh.putSinceSaved);
}

bool CIniFile::RefuseUnread() {
    if (!refusalReported) {
        Report(QStringLiteral("Error"), NotSavedText, readFailure.isEmpty() ? filePath : readFailure);
        refusalReported = true;
    }
    return false;
}

// ---------------------------------------------------------------- saving

QByteArray CIniFile::Serialize() const {
    const QStringView crLf(u"\r\n");
    qsizetype units = 0;
    for (const Key& key : keys) {
        if (key.first == None)
            continue;
        units += key.name.length + 4;
        for (quint32 v = key.first; v != None; v = values[v].next) {
            if (values[v].nameLength > 0)
                units += values[v].nameLength + values[v].textLength + 3;
        }
    }
    QByteArray bytes(2 + units * 2, Qt::Uninitialized);
    bytes[0] = '\xFF';
    bytes[1] = '\xFE';
    char* out = bytes.data() + 2;
    const auto put = [&out](QStringView text) {
        qToLittleEndian<char16_t>(text.utf16(), text.size(), out);
        out += text.size() * 2;
    };
    for (quint32 k = 0; k < keys.size(); ++k) {
        const Key& key = keys[k];
        if (key.first == None)
            continue;
        put(u"[");
        put(KeyNameOf(k));
        put(u"]");
        put(crLf);
        for (quint32 v = key.first; v != None; v = values[v].next) {
            const Value& value = values[v];
            if (value.nameLength == 0)
                continue;
            put(QStringView(buffers[value.buffer]).sliced(value.offset, value.nameLength));
            put(u"=");
            put(TextOf(value));
            put(crLf);
        }
    }
    return bytes;
}

bool CIniFile::SaveFile() {
    tookInChanges = false;
    if (readOnly)
        return false;
    const FileStamp now = FileStamp::Of(filePath);
    if (Known() && now.exists) {
        if (!(now == stamp) && TakeInDisk(now, false) == Disk::Unreadable)
            return RefuseUnread();
        if (readFailed)
            return RefuseUnread();
    }
    const QByteArray bytes = Serialize();
    const quint64 hash = EncodedTextReader::HashOf(bytes);
    if (Known() && hashKnown && hash == contentHash && FileStamp::Of(filePath) == stamp) {
        putSinceSaved.clear(); // the file holds these bytes already
        return true;
    }
    QString reason;
    switch (AtomicFile::Write(filePath, bytes, &reason)) {
    case AtomicFile::Result::Ok:
        stampPath = filePath;
        stamp = FileStamp::Of(filePath);
        contentHash = hash;
        hashKnown = true;
        readFailed = false;
        failureReported = false;
        refusalReported = false;
        putSinceSaved.clear();
        return true;
    case AtomicFile::Result::CannotCreate:
        Report(QStringLiteral("Error"), QStringLiteral("Open failed"),
               QStringLiteral("%1: %2").arg(filePath, reason));
        break;
    case AtomicFile::Result::WriteFailed:
        Report(QStringLiteral("Error"), QStringLiteral("Close failed"),
               QStringLiteral("%1: %2").arg(filePath, reason));
        break;
    }
    return false;
}

// ---------------------------------------------------------------- lookups and puts

QStringList CIniFile::KeyNames() const {
    QStringList names;
    names.reserve(static_cast<qsizetype>(keys.size()));
    for (quint32 k = 0; k < keys.size(); ++k)
        names << KeyNameOf(k).toString();
    return names;
}

QStringList CIniFile::ValueNames(int keyIndex) const {
    return ValuePieces(keyIndex, &CIniFile::NameOf);
}

QStringList CIniFile::ValueTexts(int keyIndex) const {
    return ValuePieces(keyIndex, &CIniFile::TextOf);
}

QStringList CIniFile::ValuePieces(int keyIndex, QStringView (CIniFile::*piece)(const Value&) const) const {
    QStringList pieces;
    if (keyIndex >= 0 && keyIndex < KeyCount()) {
        for (quint32 v = keys[static_cast<size_t>(keyIndex)].first; v != None; v = values[v].next)
            pieces << (this->*piece)(values[v]).toString();
    }
    return pieces;
}

int CIniFile::KeyIndex(const QString& keyName) const {
    const quint32 k = FindKey(keyName);
    return k == None ? -1 : static_cast<int>(k);
}

int CIniFile::ValueIndex(int keyIndex, const QString& valueName) const {
    if (keyIndex < 0 || keyIndex >= KeyCount())
        return -1;
    const quint32 found = FindValue(static_cast<quint32>(keyIndex), valueName);
    if (found == None)
        return -1;
    int position = 0;
    for (quint32 v = keys[static_cast<size_t>(keyIndex)].first; v != found; v = values[v].next)
        ++position;
    return position;
}

bool CIniFile::HasValue(const QString& keyName, const QString& valueName) const {
    return FindValue(FindKey(keyName), valueName) != None;
}

QString CIniFile::Peek(const QString& keyName, const QString& valueName) const {
    const quint32 v = FindValue(FindKey(keyName), valueName);
    return v == None ? QString() : TextOf(values[v]).toString();
}

QString CIniFile::GetText(const QString& keyName, const QString& valueName) {
    const quint32 k = FindKey(keyName);
    if (k == None) {
        lastError = QStringLiteral("Unable to locate specified key.");
        return {};
    }
    const quint32 v = FindValue(k, valueName);
    if (v == None) {
        lastError = QStringLiteral("Unable to locate specified value.");
        return {};
    }
    return TextOf(values[v]).toString();
}

double CIniFile::LeadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    double sign = 1.0;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        sign = text[i] == u'-' ? -1.0 : 1.0;
        ++i;
    }
    const auto isDigit = [&](qsizetype at) { return at < n && text[at] >= u'0' && text[at] <= u'9'; };
    double value = 0.0;
    bool digits = false;
    while (isDigit(i)) {
        value = value * 10.0 + (text[i].unicode() - u'0');
        digits = true;
        ++i;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        double scale = 0.1;
        while (isDigit(i)) {
            value += (text[i].unicode() - u'0') * scale;
            scale /= 10.0;
            digits = true;
            ++i;
        }
    }
    if (!digits)
        return 0.0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        int expSign = 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            expSign = text[j] == u'-' ? -1 : 1;
            ++j;
        }
        if (isDigit(j)) {
            int exponent = 0;
            while (isDigit(j)) {
                exponent = std::min(exponent * 10 + (text[j].unicode() - u'0'), 9999);
                ++j;
            }
            value *= std::pow(10.0, expSign * exponent);
        }
    }
    return sign * value;
}

double CIniFile::GetNumber(const QString& keyName, const QString& valueName) {
    return LeadingNumber(GetText(keyName, valueName));
}

int CIniFile::TruncateToInt(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return 2147483647;
    if (value <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(value);
}

int CIniFile::GetInteger(const QString& keyName, const QString& valueName) {
    return TruncateToInt(GetNumber(keyName, valueName));
}

bool CIniFile::PutText(const QString& keyName, const QString& valueName, const QString& text, bool create) {
    quint32 k = FindKey(keyName);
    if (k == None) {
        if (!create)
            return false;
        k = AddKey(Span{Own(keyName), 0, static_cast<quint32>(keyName.size())});
    }
    const QString line = valueName + u'=' + text;
    quint32 v = FindValue(k, valueName);
    if (v == None) {
        if (!create)
            return false;
        v = AddValue(k, Own(line), 0, static_cast<quint32>(valueName.size()),
                     static_cast<quint32>(text.size()));
        putSinceSaved.push_back(v);
        return true;
    }
    Value& value = values[v];
    if (TextOf(value) == text)
        return true; // unchanged: nothing for the file
    if (owned[value.buffer]) {
        buffers[value.buffer] = line;
    } else {
        value.buffer = Own(line);
        value.offset = 0;
    }
    value.textLength = static_cast<quint32>(text.size());
    putSinceSaved.push_back(v);
    return true;
}

bool CIniFile::PutInteger(const QString& keyName, const QString& valueName, int value, bool create) {
    return PutText(keyName, valueName, QString::number(value), create);
}

} // namespace vexa
