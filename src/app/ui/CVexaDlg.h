#pragma once

#include "app/ModelState.h"
#include "app/ScanMarks.h"
#include "app/ui/CSignViewDlg.h"
#include "app/ui/CWaitDlg.h"
#include "app/ui/MessageRowControls.h"
#include "core/SignColours.h"
#include "link/SerialPortList.h"
#include "render/ui/CImageWnd.h"
#include "store/LanguageTexts.h"
#include "ui/IDialogTexts.h"

#include <QHash>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <thread>

class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vexa {

class CVexaApp;
struct FleetLine;
class PortWatcher;
class SendEstimate;
class TransferRunner;
class CWzdStatusBar;
class CDialogGroup;
class IContentEditorLauncher;
class SignColourMenu;

// The main window: the sign tree on the left, the ten message rows with their previews on
// the right, the model and port lists, the transfer buttons, menus and status bar.
// Every row change is written to the current sign's message file at once; closing the
// window (close box, Escape, File > Exit, SIGTERM) writes the rows' parameters again.
class CVexaDlg : public QMainWindow, public IDialogTexts {
    Q_OBJECT
public:
    static const QString Title;
    static constexpr int TemplateId = 102;
    static constexpr int RowCount = 10;

    // Menu commands.
    enum CommandId {
        FileNew = 57600,
        FileOpen = 57601,
        FileSave = 57603,
        FileExit = 32786,
        IdModify = 32832,
        SynchronizeTime = 32836,
        SendCommand = 32837,
        GroupSend = 32839,
        HelpAbout = 32849,
        FleetOpen = 32950,
        SignViewCommand = 32900,
    };

    // Controls outside the rows.
    enum ControlId {
        SignTree = 1017,
        AddButton = 1054,
        ModifyButton = 1094,
        DelButton = 1095,
        ScanButton = 1100,
        ComList = 20020,
        ModelList = 20021,
        Check485 = 1110,
        CheckTimeButton = 1098,
        BmpEditorButton = 1065,
        SendButton = 1096,
        ProgressBar = 1097,
    };

    // What the window uses from outside; every empty member takes the program's own.
    struct Services {
        std::unique_ptr<IContentEditorLauncher> editors; // default: the program's editors
        // The serial ports. When set, asked on the window's thread whenever the list is built.
        // When empty, systemPorts gives the list: at start-up on a worker thread, the COM list
        // filled when it arrives (listing takes tens of milliseconds where the system has many
        // terminals, and the window paints meanwhile); later on the window's thread.
        std::function<QList<SerialPortList::Port>()> listPorts;
        std::function<QList<SerialPortList::Port>()> systemPorts; // default: the system's ports
        bool watchPorts = true;                                   // follow devices coming and going
    };

    explicit CVexaDlg(CVexaApp& app, QWidget* parent = nullptr);
    CVexaDlg(CVexaApp& app, Services services, QWidget* parent = nullptr);
    ~CVexaDlg() override;

    // Applies the stored model to the previews, menus, rows and buttons.
    void ApplyModelToWindow();
    // Shows every row's parameters in its controls.
    void RefreshRowControls();
    void EnableRowControls(int row);
    // Gives every preview its row's content and attributes.
    void LoadPreviews();
    void UpdatePageAlign(int row);
    void FillSignTree();

    // Makes code the current language and shows its texts; tells the operator when its
    // file cannot be read (the texts on screen then stay as they are).
    void SelectLanguage(int code);
    // Menus, row menus and button captions, control texts, status pane 0.
    void ApplyLanguage();
    void ShowTitle();
    // IDialogTexts: the current language for the dialogs opened from this window.
    void ApplyDialogTexts(QWidget* dialog, int templateId) const override;
    const LanguageTexts* Texts() const override;

    // The widget carrying a control ID, or nullptr.
    QWidget* Control(int controlId) const;
    // The menu action of a command ID, or nullptr.
    QAction* Command(int commandId) const;
    CImageWnd* Preview(int row) const;
    CWzdStatusBar* StatusPanes() const { return statusPanes; }
    CWaitDlg* WaitDialog() const { return waitDialog; }
    bool Idle() const { return idle; }
    const ModelState& Model() const { return model; }
    bool GroupSendEnabled() const { return groupSendEnabled; }
    const ScanMarks& LastScan() const { return scanMarks; }
    // The line under the sign tree that tells what the last scan found.
    QLabel* ScanSummary() const { return scanSummary; }
    // The sign view, once opened (Tools > Sign view, F6).
    CSignViewDlg* SignView() const { return signView; }
    MessageRowControls* Row(int row) const { return rows.at(static_cast<size_t>(row)); }
    // Offers the lines of the fleet file at path; a line picked is announced by fleetLineChosen.
    void OpenFleetFile(const QString& path);
    // Takes over a fleet line opened in this window's work folder: its port, its model (the
    // window's model change, with its question) and its 485 option when the fleet gives one;
    // the title names the line.
    void ApplyFleetLine(const FleetLine& line);

signals:
    // File > Open fleet… picked a line: its folder is to be opened in place of this one.
    void fleetLineChosen(const FleetLine& line);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateTimers();
    void StartPortWatcher();
    void BuildMenus();
    QMenu* AddMenu(const QString& title);
    QAction* AddCommand(QMenu* menu, const QString& text, int commandId);
    void AddShortcuts();
    void BuildLayout();
    QLayout* BuildSignPanel();
    QLayout* BuildRowPanel();
    void FillModelList();
    void ConnectRow(MessageRowControls* row);
    void ResizeToDialogUnits();
    void RestoreWindowState();

    // Row control handlers.
    void OnContentItem(int row, int item);
    void OnPreviewDoubleClicked(int row);
    void OnEffectItem(int row, int item);
    void OnSpeed(int row, int index);
    void OnTime(int row, int index);
    void OnFlag(int row, int field, bool checked);
    void RefreshRow(int row);
    void ShowEffect(int row);
    void DescribePreview(int row);
    void AfterRowEdit(int row);

    // Playback: a row played in its preview cell, the sign view, the page marks.
    void OnRowPlay(int row, bool on);
    void OnSignView();
    void RowsPlayedChanged();
    void ShowPageMarks();

    // Window handlers.
    void OnModelSelected(int index);
    void ShowStoredModel();
    void On485Clicked(bool checked);
    void OnSignSelected(QTreeWidgetItem* item);
    void OnSignTicked(QTreeWidgetItem* item);
    void OnDeleteSign();
    void OnSignMenu(const QPoint& position);
    void OnEditSigns(int style);
    void OnIdModify();
    void OnSignColour(LedColour led);
    void OnGroupSend();
    void StartGroupTransfer();
    void OnPasteSign(int target);
    void OnBmpEditor();
    void OnNew();
    void OnOpen();
    void OnSave();
    void OnExit();
    void OnAbout();
    void OnOpenFleet();
    void OnLanguage(int code);
    void UpdateLanguageChecks();
    void ApplyRowMenuTexts(); // the language's texts on every row's menu items
    void ApplyOwnTexts();
    QString Say(LanguageTexts::Text text) const;
    void ReloadCurrentFile();
    void SaveOnce();

    // Transfers to the signs.
    void SetUpTransfers();
    void OnSend();
    void OnSignStarting(int id, int index, int total);
    void OnSendsFinished();
    void TransferStarted();
    void OnCheckTime(bool fromButton);
    void OnClockChecked(int outcome);
    void ShowOpenFailure();
    void ShowFailureBox(QMessageBox::Icon icon, const QString& caption, const QString& text, int result);
    void ShowEstimate();
    void OnScan();
    void OnLinkMessage(int message, qintptr wParam, qintptr lParam);
    void OnProgressEnd(int percent);
    QString WithLineNote(const QString& result) const;
    void ClearScanMarks();
    void ShowGroupSendTip();
    void Show485Tip();
    void OnProgressTimer();
    void OnEndTimer();
    void SetIdle(bool isIdle);

    // Serial ports.
    void RefreshPortList(bool preferNewPort);
    void ApplyPortList(const QList<SerialPortList::Port>& ports, bool preferNewPort);
    void StartPortListing();
    void ShowFirstPortList(const QList<SerialPortList::Port>& ports);
    void ChooseShownPort(const QString& port);
    void ChoosePort(const QString& text);
    void OnPortTyped();
    bool HasPort() const;

    CVexaApp& app;
    std::unique_ptr<IContentEditorLauncher> editors;
    std::function<QList<SerialPortList::Port>()> listPorts;
    std::thread portListing; // the first list of the system's ports, when it is read in the background
    ModelState model;
    bool hasClock = true;
    bool groupSendEnabled = false;
    bool treeReady = false;
    bool shutDown = false;
    bool idle = true;
    bool scanning = false;
    QString chosenPort;        // the port last chosen or typed, remembered for the next run
    bool chainSend = false;    // the running send is a multi-sign (485) chain
    bool groupRunning = false; // a group operation runs
    ScanMarks scanMarks;
    QPointer<CDialogGroup> groupDialog;
    QPointer<CSignViewDlg> signView;
    int copySourceId = 0;     // the sign whose messages a paste copies; 0 = none
    QStringList skippedSigns; // signs of the running chain that were passed over, with why
    int progressTarget = 0;
    QPointer<CWaitDlg> waitDialog;
    TransferRunner* transfers = nullptr;
    SendEstimate* estimate = nullptr; // the predicted duration of Send, in status pane 3
    QString chainDuration;            // the predicted duration of the running chain
    PortWatcher* portWatcher = nullptr;

    std::array<MessageRowControls*, RowCount> rows{};
    MessageRowControls::TextWidths menuTextWidths; // shared by the rows' menu buttons
    QWidget* rowArea = nullptr;
    QGridLayout* rowGrid = nullptr;
    QTreeWidget* signTree = nullptr;
    QComboBox* modelList = nullptr;
    QComboBox* comList = nullptr;
    QCheckBox* box485 = nullptr;
    QPushButton* checkTimeButton = nullptr;
    QPushButton* sendButton = nullptr;
    QPushButton* scanButton = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* modifyButton = nullptr;
    QPushButton* delButton = nullptr;
    QLabel* scanSummary = nullptr;
    QProgressBar* progressBar = nullptr;
    CWzdStatusBar* statusPanes = nullptr;
    QMenu* languageMenu = nullptr;
    SignColourMenu* signColourMenu = nullptr;
    QHash<int, QAction*> commands; // the menu actions by command ID
    QGroupBox* signGroup = nullptr;
    QLabel* modelLabel = nullptr;
    QLabel* comLabel = nullptr;
    QTimer* signListSaveTimer = nullptr; // timer 11
    QTimer* fileCheckTimer = nullptr;
    QTimer* endTimer = nullptr;      // timer 1: one second after a transfer ended
    QTimer* progressTimer = nullptr; // timer 2: moves the progress bar
    QTimer* arrivalTimer = nullptr;  // timer 4: a device arrived
    QTimer* removalTimer = nullptr;  // timer 5: a device was removed
};

} // namespace vexa
