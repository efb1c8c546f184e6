#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa pack`: the bytes a send would put into the payload for a message file.
class PackCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
