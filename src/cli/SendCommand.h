#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa send`: see Run's --help.
class SendCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
