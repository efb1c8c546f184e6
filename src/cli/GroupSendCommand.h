#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa group-send`: see Run's --help.
class GroupSendCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
