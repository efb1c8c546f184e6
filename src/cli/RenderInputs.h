#pragma once

#include <QCommandLineOption>
#include <QString>
#include <optional>

namespace vexa {

class CliContext;
class VerbParser;
struct DisplayModel;

// What `vexa render` and `vexa pack` share: the model option, the message file opened
// into the context's message table, and the glyph library loaded from the Data folder.
class RenderInputs {
public:
    static QCommandLineOption ModelOption();

    // Resolves --model (else the model stored in System.set), opens the message file and
    // loads the glyph library. Prints the error and gives the exit status on failure.
    static std::optional<int> Load(const QString& verb, CliContext& context, const VerbParser& parser,
                                   const DisplayModel** model);

    static QString KindName(int kind);
};

} // namespace vexa
