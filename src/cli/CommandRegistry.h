#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <span>

namespace vexa {

class CliContext;

// The verbs of the `vexa` command line. Each verb parses its own arguments (with --help)
// and returns the process exit status.
class CommandRegistry {
public:
    using Handler = std::function<int(CliContext&, const QStringList& args)>;
    struct Command {
        const char* name;
        const char* summary;
        Handler run;
    };

    static std::span<const Command> All();
    static const Command* Find(const QString& name);
    static QString Usage();
};

} // namespace vexa
