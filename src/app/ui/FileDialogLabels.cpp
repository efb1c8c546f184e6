#include "app/ui/FileDialogLabels.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>

namespace vexa {

FileDialogLabels::FileDialogLabels(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

bool FileDialogLabels::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show)
        return false;
    auto* dialog = qobject_cast<QFileDialog*>(watched);
    if (!dialog)
        return false;
    // The object names of the widgets in Qt's file dialog.
    const std::pair<const char*, const char*> pairs[] = {{"lookInLabel", "lookInCombo"},
                                                         {"fileTypeLabel", "fileTypeCombo"}};
    for (const auto& [labelName, boxName] : pairs) {
        auto* label = dialog->findChild<QLabel*>(QLatin1String(labelName));
        auto* box = dialog->findChild<QComboBox*>(QLatin1String(boxName));
        if (label && box && box->accessibleName().isEmpty())
            box->setAccessibleName(label->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed());
    }
    return false;
}

} // namespace vexa
