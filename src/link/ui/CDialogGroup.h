#pragma once

#include "ui/CVexaDialog.h"

#include <QList>
#include <functional>

class QPushButton;
class QTreeWidgetItem;

namespace vexa {

class CIdList;
class CTreeOptionsCtrl;
class SignLink;
class SystemSettings;

// Group send: the operator ticks signs in a check-box tree and switches them on or off or
// sends them the current messages, in one run of the engine's group thread. The dialog
// hands the ticked IDs and the operation to the engine and calls the main window's
// group-send start; progress and results arrive at the main window. It stays open.
class CDialogGroup : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateNumber = 310;
    enum ControlId {
        SignTree = 1017,
        PowerOnButton = 1065,
        PowerOffButton = 1068,
        SendAllButton = 1069,
        SendSelectedButton = 1070,
        AllButton = 1105,
        NoAllButton = 1106,
        ReverseButton = 1107,
        PowerGroup = 1108,
        SendGroup = 1109,
    };

    // The main window's group-send start, after the engine's group members are set.
    using GroupStart = std::function<void()>;

    CDialogGroup(SystemSettings& settings, const CIdList& list, SignLink& link, GroupStart start,
                 QWidget* parent = nullptr);

    CTreeOptionsCtrl* Tree() const { return tree; }
    // The IDs of the ticked children in tree order.
    QList<int> TickedIds() const;
    // Off while a group operation runs.
    void SetActionsEnabled(bool enabled);

private:
    void FillTree(SystemSettings& settings, const CIdList& list);
    void StartOperation(int operation);
    enum class Ticks { All, None, Reverse };
    void SetTicks(Ticks ticks);

    SignLink& link;
    GroupStart start;
    CTreeOptionsCtrl* tree = nullptr;
    QTreeWidgetItem* root = nullptr;
    QList<QPushButton*> actions;
};

} // namespace vexa
