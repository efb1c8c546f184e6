#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa read-id`: see Run's --help.
class ReadIdCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
