#pragma once

#include <QStringList>

namespace vexa {

class CliContext;

// `vexa fleet check|send|clock|power on|power off|scan FLEET`: one operation on every
// enabled line of a fleet file, lines side by side, one report per sign.
class FleetCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};

} // namespace vexa
