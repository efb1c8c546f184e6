#include "store/CMessageTable.h"

#include "store/AtomicFile.h"

#include <QFile>
#include <algorithm>
#include <sys/stat.h>

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

CMessageTable::FileStamp CMessageTable::StampOf(const QString& path) {
    FileStamp s;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

bool CMessageTable::OpenMessageFile(const QString& path) {
    ClearParams();
    messageFile.Clear(); // no value of the previous sign's file may survive into this one
    messageFile.filePath = path;
    limitedValues.clear();
    loadError.clear();
    AtomicFile::RemoveStaleTemporaries(path);
    stamp = StampOf(path);
    loaded = messageFile.ReadFile(&loadError);
    if (!loaded)
        return false;
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
    if (!limitedValues.isEmpty())
        messageFile.Report(QStringLiteral("Warning"),
                           QStringLiteral("%1: row parameters outside their ranges were limited").arg(path),
                           limitedValues.join(u'\n'));
    return true;
}

bool CMessageTable::HoldsMessageTable() const {
    const int info = messageFile.KeyIndex(InfoKey);
    for (int row = 0; row < RowCount; ++row) {
        if (messageFile.ValueIndex(info, ParaName(row)) < 0)
            return false;
    }
    return true;
}

// A file that is there but was not read holds what the model lacks: never write over it.
bool CMessageTable::MayWrite() const {
    return !messageFile.filePath.isEmpty() && (loaded || !StampOf(messageFile.filePath).exists);
}

bool CMessageTable::SaveFile() {
    if (!messageFile.SaveFile())
        return false;
    loaded = true;
    loadError.clear();
    stamp = StampOf(messageFile.filePath);
    return true;
}

bool CMessageTable::SaveParams() {
    if (!MayWrite())
        return false;
    for (int row = 0; row < RowCount; ++row)
        messageFile.PutText(InfoKey, ParaName(row), FormatParams(row), true);
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

void CMessageTable::ParseParams(const QString& params, int row) {
    for (int f = 0; f < ParamCount; ++f) {
        const FieldCut cut = kCuts[static_cast<size_t>(f)];
        const QString piece = cut.start < params.size() ? params.mid(cut.start, cut.width) : QString();
        Param(f)[static_cast<size_t>(row)] = PieceValue(piece);
    }
}

QString CMessageTable::ReadContent(int row) {
    if (messageFile.filePath.isEmpty())
        return {};
    const FileStamp now = StampOf(messageFile.filePath);
    if (now != stamp) {
        stamp = now;
        // Load into a fresh model and keep it only when the file was read: a file that cannot
        // be read for a moment must not leave a model without contents for the next save.
        CIniFile fresh = messageFile;
        fresh.Clear();
        if (fresh.ReadFile())
            messageFile = std::move(fresh);
        else
            return {};
    } else if (!loaded) {
        return {};
    }
    return messageFile.GetText(InfoKey, DataName(row));
}

void CMessageTable::StoreContent(int row, const QString& content) {
    // Removing one pair can join a CR and an LF into a new pair; none may reach the file.
    // One pass that drops an LF together with the CR kept just before it gives the same
    // result as removing pairs until none is left.
    QString stored;
    stored.reserve(content.size());
    for (const QChar c : content) {
        if (c == u'\n' && stored.endsWith(u'\r'))
            stored.chop(1);
        else
            stored += c;
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
