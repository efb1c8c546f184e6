#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa clock`: see Run's --help.
class ClockCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
