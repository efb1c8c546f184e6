#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa ports`: see Run's --help.
class PortsCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
