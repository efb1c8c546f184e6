#include "app/ui/CFleetDlg.h"

#include "ui/DialogLook.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vexa {

using Text = LanguageTexts::Text;

CFleetDlg::CFleetDlg(const FleetLineChoice& lines, QWidget* parent)
    : CVexaDialog(TemplateId, parent), choice(lines) {
    setWindowTitle(Say(Text::FleetTitle));
    list = new QTreeWidget(this);
    DialogLook::SetControlId(list, LineList);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAccessibleName(Say(Text::FleetTitle));
    list->setHeaderLabels({Say(Text::FleetColumnLine), Say(Text::FleetColumnPort),
                           Say(Text::FleetColumnModel), Say(Text::FleetColumnFolder)});
    for (const FleetLineChoice::Row& row : choice.Rows()) {
        const FleetLine& line = row.line;
        auto* item = new QTreeWidgetItem(
            list,
            {line.enabled ? line.name : QStringLiteral("%1 (%2)").arg(line.name, Say(Text::FleetDisabled)),
             line.port, line.model, line.dataDir});
        if (!row.CanOpen()) {
            for (int c = 0; c < list->columnCount(); ++c)
                item->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
        }
    }
    list->header()->setStretchLastSection(true);
    for (int c = 0; c + 1 < list->columnCount(); ++c)
        list->resizeColumnToContents(c);

    problem = new QLabel(this);
    DialogLook::SetControlId(problem, ProblemLabel);
    problem->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    ok->setProperty("controlId", 1);
    buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list, &QTreeWidget::currentItemChanged, this, &CFleetDlg::OnCurrentRow);
    connect(list, &QTreeWidget::itemActivated, this, [this] {
        if (ChosenRow() >= 0)
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list, 1);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 16);
    ApplyDialogTexts();
    const int first = choice.FirstOpenable();
    list->setCurrentItem(list->topLevelItem(first >= 0 ? first : 0));
    OnCurrentRow();
    list->setFocus();
}

int CFleetDlg::ChosenRow() const {
    const int row = list->indexOfTopLevelItem(list->currentItem());
    return row >= 0 && choice.Rows()[row].CanOpen() ? row : -1;
}

void CFleetDlg::OnCurrentRow() {
    const int row = list->indexOfTopLevelItem(list->currentItem());
    const bool opens = ChosenRow() >= 0;
    ok->setEnabled(opens);
    problem->setText(choice.Rows().isEmpty() ? Say(Text::FleetNoLines)
                     : row < 0 || opens      ? QString()
                                             : Say(choice.Rows()[row].problem));
}

} // namespace vexa
