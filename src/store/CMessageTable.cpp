#include "store/CMessageTable.h"

#include "store/FileStamp.h"

#include <algorithm>

namespace vexa {

namespace {

// Position and width of each field in the parameter string "%d%02d%d%d%d%d%d%02d%d%d".
struct FieldCut {
    int start;
    int width;
};
constexpr std::array<FieldCut, CMessageTable::ParamCount> kCuts = {
    {{0, 1}, {1, 2}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 2}, {10, 1}, {11, 1}}};

constexpr std::array<const char*, CMessageTable::ParamCount> kNames = {
    "kind", "effect", "speed", "holdTime", "marquee", "reserved", "sendFlag", "yOffset", "arabic", "blink"};

constexpr std::array<std::pair<int, int>, CMessageTable::ParamCount> kRanges = {
    {{0, 3}, {0, 7}, {0, 7}, {0, 5}, {0, 1}, {0, 0}, {0, 1}, {-8, 8}, {0, 1}, {0, 1}}};

// Decimal integer with an optional sign; an empty or non-numeric piece gives 0.
int PieceValue(const QString& piece) {
    qsizetype i = 0;
    bool negative = false;
    if (i < piece.size() && (piece[i] == u'+' || piece[i] == u'-')) {
        negative = piece[i] == u'-';
        ++i;
    }
    int value = 0;
    while (i < piece.size() && piece[i] >= u'0' && piece[i] <= u'9') {
        value = value * 10 + (piece[i].unicode() - u'0');
        ++i;
    }
    return negative ? -value : value;
}

// "%02d": at least two characters, the minus sign counted.
QString TwoWide(int value) {
    QString s = QString::number(value);
    return s.size() < 2 ? s.rightJustified(2, u'0') : s;
}

} // namespace

const QString CMessageTable::InfoKey = QStringLiteral("INFO");

QString CMessageTable::ParaName(int row) {
    return QStringLiteral("PARA_%1").arg(row, 2, 10, QLatin1Char('0'));
}
QString CMessageTable::DataName(int row) {
    return QStringLiteral("DATA_%1").arg(row, 2, 10, QLatin1Char('0'));
}

CMessageTable::Column& CMessageTable::Param(int field) {
    return const_cast<Column&>(static_cast<const CMessageTable*>(this)->Param(field));
}

const CMessageTable::Column& CMessageTable::Param(int field) const {
    switch (field) {
    case 0:
        return kind;
    case 1:
        return effect;
    case 2:
        return speed;
    case 3:
        return holdTime;
    case 4:
        return marquee;
    case 5:
        return reserved;
    case 6:
        return sendFlag;
    case 7:
        return yOffset;
    case 8:
        return arabic;
    default:
        return blink;
    }
}

const char* CMessageTable::ParamName(int field) {
    return kNames.at(static_cast<size_t>(field));
}
int CMessageTable::FieldMin(int field) {
    return kRanges.at(static_cast<size_t>(field)).first;
}
int CMessageTable::FieldMax(int field) {
    return kRanges.at(static_cast<size_t>(field)).second;
}

void CMessageTable::ClearParams() {
    for (int f = 0; f < ParamCount; ++f)
        Param(f).fill(0);
}

bool CMessageTable::OpenMessageFile(const QString& path) {
    ClearParams();
    messageFile.Clear(); // no value of the previous sign's file may survive into this one
    messageFile.filePath = path;
    loadError.clear();
    limitedValues.clear();
    loaded = messageFile.ReadFile(&loadError);
    if (!loaded)
        return false;
    ParseRows();
    if (!limitedValues.isEmpty())
        messageFile.Report(QStringLiteral("Warning"),
                           QStringLiteral("%1: row parameters outside their ranges were limited").arg(path),
                           limitedValues.join(u'\n'));
    return true;
}

void CMessageTable::ParseRows() {
    limitedValues.clear();
    for (int row = 0; row < RowCount; ++row) {
        ParseParams(messageFile.GetText(InfoKey, ParaName(row)), row);
        for (int f = 0; f < ParamCount; ++f) {
            int& value = Param(f)[static_cast<size_t>(row)];
            const int limited = std::clamp(value, FieldMin(f), FieldMax(f));
            if (limited == value)
                continue;
            limitedValues << QStringLiteral("%1 %2 %3 is outside %4 to %5; %6 is used")
                                 .arg(ParaName(row), QString::fromLatin1(ParamName(f)))
                                 .arg(value)
                                 .arg(FieldMin(f))
                                 .arg(FieldMax(f))
                                 .arg(limited);
            value = limited;
        }
    }
}

bool CMessageTable::HoldsMessageTable() const {
    for (int row = 0; row < RowCount; ++row) {
        if (!messageFile.HasValue(InfoKey, ParaName(row)))
            return false;
    }
    return true;
}

// A file that is there but was not read holds what the model lacks: never write over it.
bool CMessageTable::MayWrite() const {
    return !messageFile.filePath.isEmpty() && (loaded || !FileStamp::Of(messageFile.filePath).exists);
}

bool CMessageTable::SaveFile() {
    if (!messageFile.SaveFile())
        return false;
    loaded = true;
    loadError.clear();
    if (messageFile.TookInChanges())
        ParseRows(); // rows another program stored meanwhile; ours are in the model already
    return true;
}

// A row whose stored string reads as what the row holds is left as the file has it (an
// older program's shorter string included): what is written is what changed.
bool CMessageTable::RowStored(int row) const {
    if (!messageFile.HasValue(InfoKey, ParaName(row)))
        return false;
    const Fields stored = ParsedFields(messageFile.Peek(InfoKey, ParaName(row)));
    for (int f = 0; f < ParamCount; ++f) {
        if (stored[static_cast<size_t>(f)] != Param(f)[static_cast<size_t>(row)])
            return false;
    }
    return true;
}

bool CMessageTable::SaveParams() {
    if (!MayWrite())
        return false;
    for (int row = 0; row < RowCount; ++row) {
        if (!RowStored(row))
            messageFile.PutText(InfoKey, ParaName(row), FormatParams(row), true);
    }
    return SaveFile();
}

QString CMessageTable::FormatParams(int row) const {
    QString s;
    for (int f = 0; f < ParamCount; ++f) {
        const int value = Param(f)[static_cast<size_t>(row)];
        s += kCuts[static_cast<size_t>(f)].width == 2 ? TwoWide(value) : QString::number(value);
    }
    return s;
}

CMessageTable::Fields CMessageTable::ParsedFields(const QString& params) {
    Fields fields{};
    for (int f = 0; f < ParamCount; ++f) {
        const FieldCut cut = kCuts[static_cast<size_t>(f)];
        const QString piece = cut.start < params.size() ? params.mid(cut.start, cut.width) : QString();
        fields[static_cast<size_t>(f)] = PieceValue(piece);
    }
    return fields;
}

void CMessageTable::ParseParams(const QString& params, int row) {
    const Fields fields = ParsedFields(params);
    for (int f = 0; f < ParamCount; ++f)
        Param(f)[static_cast<size_t>(row)] = fields[static_cast<size_t>(f)];
}

QString CMessageTable::ReadContent(int row) {
    if (messageFile.filePath.isEmpty())
        return {};
    ReloadChanges();
    if (!loaded)
        return {};
    return messageFile.GetText(InfoKey, DataName(row));
}

bool CMessageTable::ReloadChanges() {
    if (messageFile.filePath.isEmpty() || !messageFile.ChangedOnDisk())
        return false;
    // A file that cannot be read for a moment leaves the model as it was; nothing is shown
    // of it and nothing written over it until it can be read again.
    const bool wasLoaded = loaded;
    if (!messageFile.Refresh()) {
        loaded = false;
        loadError = messageFile.ReadFailure();
        return wasLoaded;
    }
    loaded = true;
    loadError.clear();
    if (!messageFile.TookInChanges())
        return !wasLoaded;
    ParseRows();
    return true;
}

namespace {

// True when text ends with an RTF control word (a backslash that is not itself escaped,
// letters, and an optional signed number): the next letter or digit would lengthen it.
bool EndsWithControlWord(const QString& text) {
    qsizetype i = text.size();
    while (i > 0 && text[i - 1] >= u'0' && text[i - 1] <= u'9')
        --i;
    if (i > 0 && text[i - 1] == u'-')
        --i;
    const qsizetype letters = i;
    while (i > 0 &&
           ((text[i - 1] >= u'a' && text[i - 1] <= u'z') || (text[i - 1] >= u'A' && text[i - 1] <= u'Z')))
        --i;
    if (i == letters)
        return false;
    qsizetype backslashes = 0;
    while (i > 0 && text[i - 1] == u'\\') {
        --i;
        ++backslashes;
    }
    return backslashes % 2 == 1;
}

} // namespace

void CMessageTable::StoreContent(int row, const QString& content) {
    // Removing one pair can join a CR and an LF into a new pair; none may reach the file.
    // One pass that drops an LF together with the CR kept just before it gives the same
    // result as removing pairs until none is left. In RTF a line break ends the control
    // word before it, so there it becomes the space that does the same.
    const bool rtf = content.startsWith(QLatin1String("{\\rtf"));
    QString stored;
    stored.reserve(content.size());
    for (const QChar c : content) {
        if (c == u'\n' && stored.endsWith(u'\r')) {
            stored.chop(1);
            if (rtf && EndsWithControlWord(stored))
                stored += u' ';
        } else {
            stored += c;
        }
    }
    messageFile.PutText(InfoKey, DataName(row), stored, true);
}

bool CMessageTable::WriteContent(int row, const QString& content) {
    if (!MayWrite())
        return false;
    StoreContent(row, content);
    return SaveFile();
}

} // namespace vexa
