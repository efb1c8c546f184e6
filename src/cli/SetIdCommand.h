#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa set-id`: see Run's --help.
class SetIdCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
