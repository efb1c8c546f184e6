#pragma once

#include <QObject>

namespace vexa {

// Qt's own file dialog leaves its "Look in:" and "Files of type:" drop-downs without a
// label a screen reader can name them by: while it lives, every file dialog that is shown
// gets its labels tied to their drop-downs.
class FileDialogLabels : public QObject {
public:
    explicit FileDialogLabels(QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vexa
