#pragma once

#include "ui/CVexaDialog.h"

class QLabel;
class QProgressBar;

namespace vexa {

// The small modeless progress window of a multi-sign send: which sign is being sent and
// how many are left. OK ends the send after the sign being sent.
class CWaitDlg : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 314;

    explicit CWaitDlg(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const;
    void SetRange(int count);
    void SetPosition(int position);
    int Position() const;

signals:
    void stopRequested();

private:
    QLabel* text;
    QProgressBar* progress;
};

} // namespace vexa
