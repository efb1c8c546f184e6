#pragma once

#include "editors/EditorPlayback.h"

class QGroupBox;
class QWidget;

namespace vexa {

class CImageWnd;
class MessageImage;

// The preview of an editor dialog: the sign's rows of dots inside the window's 1-pixel
// frame, the few dots of signs up to seven rows tall drawn larger than the 4 pixels of
// taller signs.
class EditorPreview {
public:
    // Large dots of the text and date editors: the preview is as tall as the sign.
    static constexpr int TextLargeDot = 5;
    // Large dots of the bitmap-font text and image editors.
    static constexpr int GlyphLargeDot = 6;

    // The "Preview" frame (control groupId) of dialog holding the preview window
    // (control windowId) of image, sized for its rows, and the row check's line under it.
    struct Frame {
        QGroupBox* group;
        CImageWnd* window;
    };
    // played: the row the Play button beside the preview plays (none without a model).
    static Frame MakeFrame(QWidget* dialog, int groupId, int windowId, MessageImage& image, int largeDot,
                           int minimumWidth, const EditorPlayback::Row& played = {});

    static void FitHeight(CImageWnd& preview, int rows, int largeDot);
};

} // namespace vexa
