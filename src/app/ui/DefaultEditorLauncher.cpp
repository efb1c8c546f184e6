#include "app/ui/DefaultEditorLauncher.h"

#include "app/ui/UnavailableFeature.h"
#include "editors/GlyphEditors.h"

namespace vexa {

QString DefaultEditorLauncher::EditorName(ContentEditorKind kind) {
    switch (kind) {
    case ContentEditorKind::Text: return QStringLiteral("The text editor");
    case ContentEditorKind::BitmapFontText: return QStringLiteral("The bitmap-font text editor");
    case ContentEditorKind::Image: return QStringLiteral("The image editor");
    case ContentEditorKind::Date: return QStringLiteral("The date editor");
    }
    return QStringLiteral("This editor");
}

EditorResult DefaultEditorLauncher::Launch(ContentEditorKind kind, int row, QWidget* parent) {
    if (app && kind == ContentEditorKind::BitmapFontText)
        return GlyphEditors::LaunchBitmapFontEditor(*app, row, parent);
    if (app && kind == ContentEditorKind::Image)
        return GlyphEditors::LaunchImageEditor(*app, row, parent);
    UnavailableFeature::Tell(parent, EditorName(kind));
    return {};
}

} // namespace vexa
