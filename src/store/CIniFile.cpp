#include "store/CIniFile.h"

#include "store/AtomicFile.h"
#include "store/EncodedTextReader.h"

#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vexa {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void PrintReport(const QString& caption, const QString& text, const QString& detail) {
    if (detail.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    else
        std::fprintf(stderr, "%s: %s: %s\n", qPrintable(caption), qPrintable(text), qPrintable(detail));
}

} // namespace

CIniFile::CIniFile() : errorReporter(PrintReport) {}

void CIniFile::Report(const QString& caption, const QString& text, const QString& detail) const {
    if (errorReporter)
        errorReporter(caption, text, detail);
}

void CIniFile::Clear() {
    keyList.clear();
    keyNames.clear();
    keyLookup = NameIndex();
    valueLookup.clear();
}

bool CIniFile::LoadFile() {
    EncodedTextReader reader(codePage);
    switch (reader.OpenDetect(filePath)) {
    case EncodedTextReader::Status::CannotOpen:
        return false;
    case EncodedTextReader::Status::TooLarge:
        Report(QStringLiteral("Error"), reader.Reason());
        return false;
    case EncodedTextReader::Status::Ok:
        break;
    }
    LoadText(reader.Text());
    return true;
}

bool CIniFile::ReadFile(QString* reason) {
    EncodedTextReader reader(codePage);
    if (reader.OpenDetect(filePath) != EncodedTextReader::Status::Ok) {
        if (reason)
            *reason = reader.Reason();
        return false;
    }
    LoadText(reader.Text());
    return true;
}

void CIniFile::LoadText(const QString& text) {
    const QStringView all(text);
    QString currentKey;
    int k = -1; // the current key's index, found (or created) at its first value
    qsizetype pos = 0;
    while (pos < all.size()) {
        const qsizetype end = LineEnd(all, pos);
        if (end < 0)
            break; // a last line without CR LF is not loaded
        const QStringView line = all.sliced(pos, end - pos);
        pos = end + 2;
        if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
            qsizetype first = 0;
            while (first < line.size() && line.at(first) == u'[')
                ++first;
            qsizetype last = line.size();
            while (last > first && line.at(last - 1) == u']')
                --last;
            currentKey = line.sliced(first, last - first).toString();
            k = -1;
            continue;
        }
        if (k < 0)
            k = KeyForLoad(currentKey);
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            PutLoaded(k, QString(), line.sliced(std::min<qsizetype>(1, line.size())));
        else
            PutLoaded(k, line.first(equals).toString(), line.sliced(equals + 1));
    }
}

// The first line end (CR LF) at or after from, or -1.
qsizetype CIniFile::LineEnd(QStringView text, qsizetype from) {
    for (;;) {
        const qsizetype cr = text.indexOf(u'\r', from);
        if (cr < 0 || cr + 1 >= text.size())
            return -1;
        if (text[cr + 1] == u'\n')
            return cr;
        from = cr + 1;
    }
}

// Loading puts values exactly as PutText(..., create = true) does, hashing each name once.
int CIniFile::KeyForLoad(const QString& keyName) {
    SyncKeyIndex();
    const int k = keyLookup.FirstOrAppend(keyName);
    if (k >= 0)
        return k;
    keyNames.append(keyName);
    keyList.emplace_back();
    valueLookup.emplace_back();
    return static_cast<int>(keyList.size()) - 1;
}

void CIniFile::PutLoaded(int k, const QString& valueName, QStringView text) {
    key& entry = keyList[static_cast<size_t>(k)];
    NameIndex& values = valueLookup[static_cast<size_t>(k)];
    values.CatchUp(entry.valueNames);
    const int v = values.FirstOrAppend(valueName);
    if (v >= 0) {
        entry.valueTexts[v] = text.toString();
        return;
    }
    entry.valueNames.append(valueName);
    entry.valueTexts.append(text.toString());
}

QByteArray CIniFile::Serialize() const {
    QString text;
    for (size_t i = 0; i < keyList.size(); ++i) {
        const key& k = keyList[i];
        if (k.valueNames.isEmpty())
            continue;
        text += u'[' + keyNames[static_cast<qsizetype>(i)] + u']' + kCrLf;
        for (qsizetype j = 0; j < k.valueNames.size(); ++j) {
            if (k.valueNames[j].isEmpty())
                continue;
            text += k.valueNames[j] + u'=' + k.valueTexts[j] + kCrLf;
        }
    }
    QByteArray bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes.append('\xFF').append('\xFE');
    for (const QChar c : std::as_const(text)) {
        const char16_t u = c.unicode();
        bytes.append(static_cast<char>(u & 0xFF)).append(static_cast<char>(u >> 8));
    }
    return bytes;
}

bool CIniFile::SaveFile() {
    QString reason;
    switch (AtomicFile::Write(filePath, Serialize(), &reason)) {
    case AtomicFile::Result::Ok:
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

void CIniFile::NameIndex::CatchUp(const QStringList& names) {
    if (indexed > names.size()) {
        first.clear();
        indexed = 0;
    }
    while (indexed < names.size())
        FirstOrAppend(names[indexed]); // the first match wins
}

int CIniFile::NameIndex::FirstOrAppend(const QString& name) {
    const qsizetype before = first.size();
    int& slot = first[name];
    if (first.size() == before)
        return slot;
    slot = static_cast<int>(indexed++);
    return -1;
}

void CIniFile::SyncKeyIndex() const {
    keyLookup.CatchUp(keyNames);
    valueLookup.resize(keyList.size());
}

int CIniFile::KeyIndex(const QString& keyName) const {
    SyncKeyIndex();
    return keyLookup.first.value(keyName, -1);
}

int CIniFile::ValueIndex(int keyIndex, const QString& valueName) const {
    if (keyIndex < 0 || keyIndex >= static_cast<int>(keyList.size()))
        return -1;
    SyncKeyIndex();
    NameIndex& values = valueLookup[static_cast<size_t>(keyIndex)];
    values.CatchUp(keyList[static_cast<size_t>(keyIndex)].valueNames);
    return values.first.value(valueName, -1);
}

QString CIniFile::GetText(const QString& keyName, const QString& valueName) {
    const int k = KeyIndex(keyName);
    if (k < 0) {
        lastError = QStringLiteral("Unable to locate specified key.");
        return {};
    }
    const int v = ValueIndex(k, valueName);
    if (v < 0) {
        lastError = QStringLiteral("Unable to locate specified value.");
        return {};
    }
    return keyList[static_cast<size_t>(k)].valueTexts[v];
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
    int k = KeyIndex(keyName);
    if (k < 0) {
        if (!create)
            return false;
        keyNames.append(keyName);
        keyList.emplace_back();
        k = static_cast<int>(keyList.size()) - 1;
    }
    key& entry = keyList[static_cast<size_t>(k)];
    int v = ValueIndex(k, valueName);
    if (v < 0) {
        if (!create)
            return false;
        entry.valueNames.append(valueName);
        entry.valueTexts.append(QString());
        v = static_cast<int>(entry.valueNames.size()) - 1;
    }
    entry.valueTexts[v] = text;
    return true;
}

bool CIniFile::PutInteger(const QString& keyName, const QString& valueName, int value, bool create) {
    return PutText(keyName, valueName, QString::number(value), create);
}

} // namespace vexa
