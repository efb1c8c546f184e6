#pragma once

#include "core/SignColours.h"

#include <QString>
#include <optional>

namespace vexa {

class CliContext;
struct DisplayModel;

// `vexa render FILE --animate OUT`: what the sign shows of one row, or of its whole
// programme, recorded as an animated picture with the real frame durations.
class RenderAnimation {
public:
    struct Options {
        QString path;
        std::optional<int> row;       // one row (0-9); else every row with its send box ticked
        std::optional<int> signWidth; // columns, for models whose page width is not known
        int loops = 0;                // times the picture plays; 0 = forever
        int zoom = 4;                 // pixels per dot
        bool json = false;            // list the frames
        std::optional<LedColour> led; // single-colour signs' LED colour (default: the setting)
    };

    // The message file is open in the context's table. Returns the exit status.
    static int Run(CliContext& context, const DisplayModel& model, const Options& options);
};

} // namespace vexa
