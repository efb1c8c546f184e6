#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa power`: see Run's --help.
class PowerCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
