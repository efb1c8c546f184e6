#include "cli/SetCommand.h"

#include "cli/CliContext.h"
#include "cli/VerbParser.h"

#include <QFileInfo>
#include <array>

namespace vexa {

namespace {

// Option name, field number of CMessageTable, value description.
struct FieldOption {
    const char* option;
    int field;
    const char* help;
};
constexpr std::array<FieldOption, 9> kFieldOptions = {{
    {"kind", 0, "Kind: 0 empty, 1 text, 2 image, 3 date (or the word)."},
    {"effect", 1, "Effect index 0-7 in the model's effect list."},
    {"speed", 2, "Speed index 0-7 (the speed box shows 1-8)."},
    {"time", 3, "Display time index 0-5 (0s-5s)."},
    {"marquee", 4, "Marquee flag 0 or 1."},
    {"send", 6, "Send flag 0 or 1."},
    {"yoffset", 7, "Vertical offset -8 to 8."},
    {"arabic", 8, "Right-to-left flag 0 or 1."},
    {"blink", 9, "Blink flag 0 or 1."},
}};

std::optional<int> KindFromWord(const QString& word) {
    static const QStringList words = {QStringLiteral("empty"), QStringLiteral("text"),
                                      QStringLiteral("image"), QStringLiteral("date")};
    const qsizetype i = words.indexOf(word.toLower());
    if (i >= 0)
        return static_cast<int>(i);
    return std::nullopt;
}

} // namespace

int SetCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("set"),
        QStringLiteral("Change one row of a message file. Values outside their ranges are refused "
                       "and the file is left untouched."),
        QStringLiteral("FILE"));
    const QCommandLineOption row(QStringLiteral("row"), QStringLiteral("Row 0-9."), QStringLiteral("N"));
    const QCommandLineOption content(QStringLiteral("content"), QStringLiteral("New content string."),
                                     QStringLiteral("TEXT"));
    parser.addOption(row);
    parser.addOption(content);
    for (const FieldOption& f : kFieldOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(f.option), QString::fromLatin1(f.help),
                                            QStringLiteral("V")));
    if (auto exit = parser.Parse(args, 1))
        return *exit;

    QString error;
    const std::optional<int> rowIndex = parser.IntValue(QStringLiteral("row"), &error);
    if (!rowIndex || *rowIndex < 0 || *rowIndex >= CMessageTable::RowCount) {
        CliContext::PrintError(error.isEmpty() ? QStringLiteral("set: --row must be 0 to 9")
                                               : QStringLiteral("set: ") + error);
        return CliContext::UsageError;
    }

    // Validate every value before the file is touched.
    std::array<std::optional<int>, CMessageTable::ParamCount> values{};
    for (const FieldOption& f : kFieldOptions) {
        const QString name = QString::fromLatin1(f.option);
        if (!parser.isSet(name))
            continue;
        std::optional<int> value = f.field == 0 ? KindFromWord(parser.value(name)) : std::nullopt;
        if (!value)
            value = parser.IntValue(name, &error);
        const int lo = CMessageTable::FieldMin(f.field), hi = CMessageTable::FieldMax(f.field);
        if (!value || *value < lo || *value > hi) {
            CliContext::PrintError(QStringLiteral("set: --%1 must be %2 to %3, not '%4'")
                                       .arg(name)
                                       .arg(lo)
                                       .arg(hi)
                                       .arg(parser.value(name)));
            return CliContext::UsageError;
        }
        values[static_cast<size_t>(f.field)] = value;
    }

    const QString path = parser.positionalArguments().front();
    CMessageTable& table = context.App().messageTable;
    const QFileInfo info(path);
    const bool fresh = !info.exists() || (info.isFile() && info.size() == 0);
    if (!table.OpenMessageFile(path) && !fresh) {
        CliContext::PrintError(QStringLiteral("set: cannot read %1").arg(table.LoadError()));
        return CliContext::Failure;
    }
    if (fresh) {
        // A new message file: every row's two values, in the order the templates have them.
        for (int r = 0; r < CMessageTable::RowCount; ++r) {
            table.messageFile.PutText(CMessageTable::InfoKey, CMessageTable::ParaName(r),
                                      table.FormatParams(r), true);
            table.StoreContent(r, QString());
        }
    } else if (!table.HoldsMessageTable()) {
        CliContext::PrintError(
            QStringLiteral("set: %1 is not a message file (no [%2] key with PARA_00 to PARA_09); "
                           "it is left untouched")
                .arg(path, CMessageTable::InfoKey));
        return CliContext::Failure;
    }
    const auto r = static_cast<size_t>(*rowIndex);
    for (int f = 0; f < CMessageTable::ParamCount; ++f) {
        if (values[static_cast<size_t>(f)])
            table.Param(f)[r] = *values[static_cast<size_t>(f)];
    }
    // Content and parameters go to the file in one write: a kill leaves the old or the new file.
    if (parser.isSet(content))
        table.StoreContent(*rowIndex, parser.value(content));
    return table.SaveParams() ? 0 : CliContext::Failure;
}

} // namespace vexa
