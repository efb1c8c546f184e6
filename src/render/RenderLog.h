#pragma once

#include <QLoggingCategory>

// Traces of the rendering subsystem ("vexa.render").
Q_DECLARE_LOGGING_CATEGORY(lcRender)

namespace vexa {

// Leaves Qt's own font-shaping messages ("OpenType support missing for ..." and the font
// categories' warnings) out of the program's output: the row check names the characters
// that will not be drawn as composed. With QT_LOGGING_RULES set they all come through.
void SilenceFontShapingMessages();

} // namespace vexa
