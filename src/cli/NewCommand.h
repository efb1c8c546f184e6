#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa new`: see Run's --help.
class NewCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
