#include "app/ui/CAboutDlg.h"

#include "app/ui/CVexaDlg.h"
#include "store/LanguageTexts.h"
#include "ui/UiPictures.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexa {

const QString CAboutDlg::Caption = QStringLiteral("Vexa Message Editor");

QString CAboutDlg::BuildDateLine(const QString& format) {
    // __DATE__ reads "Mmm dd yyyy" (day padded with a space).
    const QString compiled = QString::fromLatin1(__DATE__).simplified();
    const QDate date = QLocale::c().toDate(compiled, QStringLiteral("MMM d yyyy"));
    return QString(format).arg(date.isValid() ? date.toString(Qt::ISODate) : compiled);
}

CAboutDlg::CAboutDlg(QWidget* parent) : CVexaDialog(TemplateId, parent) {
    setWindowTitle(Caption);

    auto* icon = new QLabel(this);
    const int side = fontMetrics().height() * 3;
    icon->setPixmap(UiPictures::Icon(UiPictures::ProgramIcon).pixmap(QSize(side, side)));
    icon->setAlignment(Qt::AlignTop);

    auto* title = new QLabel(CVexaDlg::Title, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    const LanguageTexts* languageTexts = Texts();
    auto* date = new QLabel(BuildDateLine(languageTexts ? languageTexts->Get(LanguageTexts::Text::AboutBuilt)
                                                        : QStringLiteral("Built %1")),
                            this);

    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(date);
    texts->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setProperty("controlId", 1);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace vexa
