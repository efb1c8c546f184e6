#pragma once

#include <QWidget>

class QLabel;

namespace vexa {

class CImageWnd;

// The line under an editor's preview that says what will not look on the sign as
// composed: the row check's findings of the preview's row, in one line (elided, the whole
// text in its tooltip), updated whenever the preview changes. Empty when the row is fine;
// it keeps its height, so the dialog does not jump while the operator types.
class CRowCheckLine : public QWidget {
    Q_OBJECT
public:
    CRowCheckLine(CImageWnd& preview, QWidget* parent);

    // The whole text of the findings ("" when none).
    QString Text() const { return fullText; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Refresh();
    void Elide();

    CImageWnd& preview;
    QLabel* icon;
    QLabel* text;
    QString fullText;
};

} // namespace vexa
