#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa models [--json]`: the display model catalogue.
class ModelsCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
