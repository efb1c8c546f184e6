#pragma once

#include <QIcon>

class QPainter;
class QRectF;

namespace vexa {

// The program's pictures, drawn as vectors so that they stay crisp at every size and
// device pixel ratio. Each picture keeps the number of the resource it stands for, so
// callers name pictures the way the dialogs do (program icon 128, check boxes 184/185,
// colour icons 154-162, button pictures 178-190 and 315, style buttons
// 192-197).
class UiPictures {
public:
    enum Picture {
        ProgramIcon = 128,
        SendHover = 178,
        Send = 179,
        BmpEditorHover = 180,
        BmpEditor = 181,
        CheckTimeHover = 182,
        CheckTime = 183,
        CheckBoxOff = 184,
        CheckBoxOn = 185,
        AddSign = 188,
        ModifySign = 189,
        DeleteSign = 190,
        RightToLeftOn = 199,
        RightToLeftOff = 200,
        Bold = 192,
        BoldPressed = 193,
        Italic = 194,
        ItalicPressed = 195,
        Underline = 196,
        UnderlinePressed = 197,
        ScanSigns = 315,
    };

    // Number of entries of the text colour list (icons 155, 156, 154, 157 ... 162 in list order).
    static constexpr int ColourCount = 9;

    // A picture as a scalable icon; a null icon for a number that names no picture.
    static QIcon Icon(int resourceId);
    // A picture for each state of a checkable button: offId unchecked, onId checked.
    static QIcon ToggleIcon(int offId, int onId);
    // The colour-list icon at position index (0..8), picturing the colour bands of that entry.
    static QIcon ColourIcon(int index);
    // The resource number of the colour icon at position index, -1 outside 0..8.
    static int ColourIconResource(int index);

    static bool Exists(int resourceId);
    // Draws a picture into rect of painter (used by the icon engine and by custom widgets).
    static void Paint(QPainter& painter, const QRectF& rect, int resourceId);
    // The same picture from a pixmap drawn once per size, position within the pixel and
    // screen scale, for widgets that show one picture many times (the row check boxes).
    static void PaintCached(QPainter& painter, const QRectF& rect, int resourceId);
};

} // namespace vexa
