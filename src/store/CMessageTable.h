#pragma once

#include "store/CIniFile.h"

#include <QString>

#include <array>

namespace vexa {

// The ten message rows of the current sign: ten parallel arrays of row parameters and
// the open message file, which alone holds the rows' content strings.
class CMessageTable {
public:
    static constexpr int RowCount = 10;
    static constexpr int ParamCount = 10;
    using Column = std::array<int, RowCount>;

    enum Kind { KindEmpty = 0, KindText = 1, KindImage = 2, KindDate = 3 };

    // Parameter arrays, in the order of the fields of the parameter string.
    Column kind{};
    Column effect{};
    Column speed{};
    Column holdTime{};
    Column marquee{};
    Column reserved{};
    Column sendFlag{};
    Column yOffset{};
    Column arabic{};
    Column blink{};

    CIniFile messageFile;

    // Column by field number 0..9 (kind ... blink).
    Column& Param(int field);
    const Column& Param(int field) const;
    static const char* ParamName(int field);

    void ClearParams();

    // Empties the model, loads path and parses the ten parameter strings. False (all
    // parameters 0) when the file cannot be read.
    bool OpenMessageFile(const QString& path);
    bool SaveParams();
    QString FormatParams(int row) const;
    void ParseParams(const QString& params, int row);
    // Reads the file again and returns the row's content string ("" when unreadable).
    QString ReadContent(int row);
    // Stores the row's content string (CR LF pairs removed) and saves the file.
    bool WriteContent(int row, const QString& content);
    QString MessageFilePath() const { return messageFile.filePath; }

    static QString ParaName(int row);
    static QString DataName(int row);
    static const QString InfoKey;

    // Valid range of a field, for callers that change rows from outside (command line).
    static int FieldMin(int field);
    static int FieldMax(int field);
};

} // namespace vexa
