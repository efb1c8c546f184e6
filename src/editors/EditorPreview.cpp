#include "editors/EditorPreview.h"

#include "render/MessageImage.h"
#include "render/ui/CImageWnd.h"
#include "ui/DialogLook.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace vexa {

EditorPreview::Frame EditorPreview::MakeFrame(QWidget* dialog, int groupId, int windowId, MessageImage& image,
                                              int largeDot, int minimumWidth) {
    const QString name = QStringLiteral("Preview");
    auto* group = DialogLook::Tag(new QGroupBox(name, dialog), groupId, name);
    auto* window = new CImageWnd(group, windowId);
    window->SetImage(&image);
    window->setAccessibleName(name);
    FitHeight(*window, image.rows, largeDot);
    window->setMinimumWidth(minimumWidth);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(window);
    return {group, window};
}

void EditorPreview::FitHeight(CImageWnd& preview, int rows, int largeDot) {
    const int dot = rows <= 7 ? largeDot : 4;
    preview.setFixedHeight(2 + rows * dot);
}

} // namespace vexa
