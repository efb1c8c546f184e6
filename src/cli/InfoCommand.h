#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa info`: see Run's --help.
class InfoCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
