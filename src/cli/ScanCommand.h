#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa scan`: see Run's --help.
class ScanCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
