#include "app/ui/EditorScreenshot.h"

#include "app/ui/CVexaDlg.h"
#include "app/ui/MessageRowControls.h"
#include "render/PngFile.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace vexa {

void EditorScreenshot::Take(CVexaDlg& window, int row, int menuItem, const QString& target) {
    auto* button = qobject_cast<QPushButton*>(window.Control(MessageRowControls::ContentId + row));
    QAction* item = nullptr;
    if (button && button->menu()) {
        for (QAction* action : button->menu()->actions()) {
            if (action->data().toInt() == menuItem)
                item = action;
        }
    }
    bool saved = false;
    if (item) {
        QTimer::singleShot(800, &window, [&saved, target] {
            auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!editor)
                return;
            saved = PngFile::Write(editor->grab().toImage(), target);
            editor->reject();
        });
        item->trigger(); // runs the editor modally until the timer cancels it
    }
    if (!saved)
        qWarning("vexa-editor: no picture of the editor written to %s", qPrintable(target));
    window.close();
    QApplication::exit(saved ? 0 : 1);
}

} // namespace vexa
