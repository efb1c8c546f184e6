#pragma once
#include <QStringList>
namespace vexa {
class CliContext;
// `vexa render`: exports the message bitmaps of a message file as a send does.
class RenderCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};
} // namespace vexa
