#include "editors/EditorPreview.h"

#include "render/MessageImage.h"
#include "render/ui/CImageWnd.h"
#include "render/ui/CRowCheckLine.h"
#include "ui/DialogLook.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace vexa {

EditorPreview::Frame EditorPreview::MakeFrame(QWidget* dialog, int groupId, int windowId, MessageImage& image,
                                              int largeDot, int minimumWidth,
                                              const EditorPlayback::Row& played) {
    const QString name = QStringLiteral("Preview");
    auto* group = DialogLook::Tag(new QGroupBox(name, dialog), groupId, name);
    auto* window = new CImageWnd(group, windowId);
    window->SetImage(&image);
    window->setAccessibleName(name);
    FitHeight(*window, image.rows, largeDot);
    window->setMinimumWidth(minimumWidth);
    auto* layout = new QVBoxLayout(group);
    EditorPlayback::Place(layout, window, played);
    layout->addWidget(new CRowCheckLine(*window, group));
    return {group, window};
}

void EditorPreview::FitHeight(CImageWnd& preview, int rows, int largeDot) {
    const int dot = rows <= 7 ? largeDot : 4;
    preview.setFixedHeight(2 + rows * dot);
}

} // namespace vexa
