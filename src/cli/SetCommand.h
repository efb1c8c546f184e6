#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa set`: see Run's --help.
class SetCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
