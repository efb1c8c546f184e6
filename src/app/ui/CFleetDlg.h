#pragma once

#include "app/FleetLineChoice.h"
#include "ui/CVexaDialog.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vexa {

// "Open fleet…": the lines of a fleet file (name, port, model, folder); the operator picks
// the one whose folder the editor opens. A line that cannot be opened stays in the list with
// the reason shown under it, and OK waits for one that can.
class CFleetDlg : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 400;
    enum ControlId { LineList = 4001, ProblemLabel = 4002 };

    CFleetDlg(const FleetLineChoice& choice, QWidget* parent = nullptr);

    // The row of the choice picked; -1 before one that opens is current.
    int ChosenRow() const;

private:
    void OnCurrentRow();

    const FleetLineChoice& choice;
    QTreeWidget* list = nullptr;
    QLabel* problem = nullptr;
    QPushButton* ok = nullptr;
};

} // namespace vexa
