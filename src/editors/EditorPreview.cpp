#include "editors/EditorPreview.h"

#include "render/ui/CImageWnd.h"

namespace vexa {

void EditorPreview::FitHeight(CImageWnd& preview, int rows, int largeDot) {
    const int dot = rows <= 7 ? largeDot : 4;
    preview.setFixedHeight(2 + rows * dot);
}

} // namespace vexa
