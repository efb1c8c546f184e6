#include "app/ui/DefaultEditorLauncher.h"

#include "app/ui/UnavailableFeature.h"

namespace vexa {

QString DefaultEditorLauncher::EditorName(ContentEditorKind kind) {
    switch (kind) {
    case ContentEditorKind::Text:
        return QStringLiteral("The text editor");
    case ContentEditorKind::BitmapFontText:
        return QStringLiteral("The bitmap-font text editor");
    case ContentEditorKind::Image:
        return QStringLiteral("The image editor");
    case ContentEditorKind::Date:
        return QStringLiteral("The date editor");
    }
    return QStringLiteral("This editor");
}

EditorResult DefaultEditorLauncher::Launch(ContentEditorKind kind, int, QWidget* parent) {
    UnavailableFeature::Tell(parent, EditorName(kind));
    return {};
}

} // namespace vexa
