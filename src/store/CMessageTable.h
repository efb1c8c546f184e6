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

    // Empties the model, loads path and parses the ten parameter strings; values outside
    // their ranges are limited to them and reported in one message. False (all parameters
    // 0) when the file cannot be read; LoadError() then says why.
    bool OpenMessageFile(const QString& path);
    // Writes the parameters. A file that exists but could not be read is never written
    // over: false, and the file stays as it is. Only what changed goes to the file: rows
    // another program changed meanwhile keep its values (and are read into the table).
    bool SaveParams();
    QString FormatParams(int row) const;
    void ParseParams(const QString& params, int row);
    // The row's content string ("" when unreadable). The file is read again only when it
    // changed since it was last read or written, so a run over the ten rows reads it once.
    QString ReadContent(int row);
    // Reads the file again when another program changed it; true when that changed the
    // table (parameters or contents), which the caller then shows again.
    bool ReloadChanges();
    // Stores the row's content string (CR LF pairs removed; in RTF one that ends a control
    // word becomes a space) and saves the file.
    bool WriteContent(int row, const QString& content);
    // Stores the content string in the model only; the next save writes it.
    void StoreContent(int row, const QString& content);
    QString MessageFilePath() const { return messageFile.filePath; }

    // True when the open file was read (or written) successfully.
    bool Loaded() const { return loaded; }
    const QString& LoadError() const { return loadError; }
    // True when the model holds a message table: the INFO key with the ten parameter values.
    bool HoldsMessageTable() const;
    // Parameter values of the last open that lay outside their ranges, one text each.
    const QStringList& LimitedValues() const { return limitedValues; }

    static QString ParaName(int row);
    static QString DataName(int row);
    static const QString InfoKey;

    // Valid range of a field, for callers that change rows from outside (command line).
    static int FieldMin(int field);
    static int FieldMax(int field);

private:
    using Fields = std::array<int, ParamCount>;
    static Fields ParsedFields(const QString& params);
    bool MayWrite() const;
    bool RowStored(int row) const;
    bool SaveFile();
    // Parses the ten parameter strings of the model, limiting values to their ranges.
    void ParseRows();

    bool loaded = false;
    QString loadError;
    QStringList limitedValues;
};

} // namespace vexa
