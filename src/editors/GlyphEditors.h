#pragma once

#include "app/ContentEditing.h"

class QWidget;

namespace vexa {

class CVexaApp;

// Opens the bitmap-font text editor and the image editor of a message row, modally, with
// the application's message table, glyph library, Data folder and model height, and
// reports how they ended.
class GlyphEditors {
public:
    static EditorResult LaunchBitmapFontEditor(CVexaApp& app, int row, QWidget* parent);
    static EditorResult LaunchImageEditor(CVexaApp& app, int row, QWidget* parent);
};

} // namespace vexa
