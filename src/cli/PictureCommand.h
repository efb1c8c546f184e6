#pragma once

#include <QStringList>

namespace vexa {

class CliContext;

// `vexa picture IN OUT.png`: prepares a picture for a model's signs (scaled to the sign's
// height, thresholded or dithered, in the colours the sign lights) and writes it as PNG.
class PictureCommand {
public:
    static int Run(CliContext& context, const QStringList& args);
};

} // namespace vexa
