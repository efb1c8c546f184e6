#include "app/ui/CWaitDlg.h"

#include "store/LanguageTexts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa {

CWaitDlg::CWaitDlg(QWidget* parent)
    : CVexaDialog(TemplateId, parent), text(new QLabel(QStringLiteral("正在准备中……"), this)),
      progress(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("請稍等……"));
    setModal(false);
    QString widest = QStringLiteral("Setting ID：255，Total:255，Last:255");
    // The file holds no texts for this dialog; its own texts follow the language.
    if (const LanguageTexts* texts = Texts()) {
        setWindowTitle(texts->Get(LanguageTexts::Text::WaitTitle));
        text->setText(texts->Get(LanguageTexts::Text::WaitPreparing));
        widest = texts->WaitLine(255, 255, 255);
    }

    text->setProperty("controlId", 1130);
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance(widest));
    progress->setProperty("controlId", 1097);
    progress->setTextVisible(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setProperty("controlId", 1);
    buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", 2);
    buttons->button(QDialogButtonBox::Cancel)->hide();
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        emit stopRequested();
        close();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(progress);
    layout->addWidget(buttons);
}

void CWaitDlg::SetText(const QString& line) {
    text->setText(line);
}
QString CWaitDlg::Text() const {
    return text->text();
}
void CWaitDlg::SetRange(int count) {
    progress->setRange(0, count);
}
void CWaitDlg::SetPosition(int position) {
    progress->setValue(position);
}
int CWaitDlg::Position() const {
    return progress->value();
}

} // namespace vexa
