#include "app/ui/CVexaDlg.h"

#include "PalettePictures.h"
#include "app/CVexaApp.h"
#include "app/ClockResult.h"
#include "app/ContentEditing.h"
#include "app/FleetLineChoice.h"
#include "app/ModelChange.h"
#include "app/RowDescription.h"
#include "app/RowRules.h"
#include "app/SendEstimate.h"
#include "app/SignResults.h"
#include "app/SignTreeContent.h"
#include "app/TransferProgress.h"
#include "app/TransferRunner.h"
#include "app/WorkFiles.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/CFleetDlg.h"
#include "app/ui/CSignViewDlg.h"
#include "app/ui/CWaitDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/EditorLauncher.h"
#include "app/ui/FileDialogLabels.h"
#include "app/ui/ImageEditorLauncher.h"
#include "app/ui/MessageRowControls.h"
#include "app/ui/PreviewsAfterFirstFrame.h"
#include "app/ui/SignColourMenu.h"
#include "app/ui/SignTreeMarks.h"
#include "app/ui/StandardButtonTexts.h"
#include "core/ModelCatalogue.h"
#include "link/PortCheck.h"
#include "link/PortWatcher.h"
#include "link/PosixSerialPort.h"
#include "link/SerialPortFactory.h"
#include "link/SerialPortList.h"
#include "link/families/LinkFamilies.h"
#include "link/ui/CDialogGroup.h"
#include "link/ui/CDialogID.h"
#include "link/ui/CDialogIDSet.h"
#include "playback/SignGeometry.h"
#include "render/PlaybackSource.h"
#include "ui/CImageCheckBox.h"
#include "ui/CPictureButton.h"
#include "ui/DialogLook.h"
#include "ui/UiPictures.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vexa {

namespace {

constexpr int SignTreeRefillMs = 300; // timer 10: the tree is filled once more after start-up
constexpr int SignListSaveMs = 1000;  // timer 11: the sign list is saved a second after a tick
constexpr int ItemIdRole = Qt::UserRole;
constexpr int EndTimerMs = 1000;     // timer 1
constexpr int ProgressTimerMs = 100; // timer 2
constexpr int PortSettleMs = 1000;   // timers 4 and 5: a device needs a moment to settle
constexpr int FileCheckMs = 1000;    // how often the open message file is looked at for other writers

using Text = LanguageTexts::Text;

struct ColumnLabel {
    int id;
    const char* text;
    int column;
};
const ColumnLabel kColumnLabels[] = {
    {1050, "Preview", MessageRowControls::PreviewColumn},
    {1079, "Edit", MessageRowControls::ContentColumn},
    {1080, "Effect", MessageRowControls::EffectColumn},
    {1081, "Speed", MessageRowControls::SpeedColumn},
    {1082, "Time", MessageRowControls::TimeColumn},
    {1083, "Marquee", MessageRowControls::MarqueeColumn},
    {1085, "Blink", MessageRowControls::BlinkColumn},
    {1093, "Send", MessageRowControls::SendColumn},
    {1084, "Vertical", MessageRowControls::RightToLeftColumn},
};
constexpr int HiddenColumnLabel = 1084;

// The letter of a bitmap-font glyph index beyond ASCII (128 = the first extra character).
QString GlyphCharacter(int index) {
    return index >= 128 ? PalettePictures::SpecialCharacter(index - 128) : QString();
}

template <typename W> W* WithId(W* widget, int id) {
    widget->setProperty("controlId", id);
    return widget;
}

} // namespace

const QString CVexaDlg::Title = QStringLiteral("Vexa\u00A0Message\u00A0Editor\u00A0v1.0");

CVexaDlg::CVexaDlg(CVexaApp& context, QWidget* parent) : CVexaDlg(context, Services{}, parent) {}

CVexaDlg::CVexaDlg(CVexaApp& context, Services services, QWidget* parent)
    : QMainWindow(parent), app(context), editors(std::move(services.editors)),
      listPorts(std::move(services.listPorts)) {
    if (!editors)
        editors = std::make_unique<EditorLauncher>(app);
    const bool listInBackground = !listPorts;
    if (!listPorts)
        listPorts = services.systemPorts ? std::move(services.systemPorts) : &SerialPortList::ListSerialPorts;
    ShowTitle();
    DialogLook::Apply(this, TemplateId);
    setWindowIcon(UiPictures::Icon(UiPictures::ProgramIcon));

    statusPanes = new CWzdStatusBar(this);
    setStatusBar(statusPanes);
    statusPanes->SetPaneText(1, QStringLiteral("COM:AUTO"));

    if (!app.glyphLibrary.IsLoaded())
        app.OpenGlyphLibrary();
    CreateTimers();
    SetUpTransfers();
    BuildMenus();
    BuildLayout();
    if (!listInBackground)
        RefreshPortList(true);
    FillModelList();
    ApplyModelToWindow();
    FillSignTree();
    LoadPreviews();
    RefreshRowControls();
    treeReady = true;
    new StandardButtonTexts(app.texts, this);
    new FileDialogLabels(this);
    SelectLanguage(app.language);
    QTimer::singleShot(SignTreeRefillMs, this, &CVexaDlg::FillSignTree);
    ResizeToDialogUnits();
    RestoreWindowState();
    QList<QWidget*> previews;
    for (MessageRowControls* row : rows)
        previews.append(row->preview);
    // The device watcher and the background port list wait for the first frame; the watcher
    // starts first, so that no device coming while the list is taken goes unnoticed.
    new PreviewsAfterFirstFrame(
        previews,
        [this, watch = services.watchPorts, listInBackground] {
            if (watch)
                StartPortWatcher();
            if (listInBackground)
                StartPortListing();
        },
        this);
}

CVexaDlg::~CVexaDlg() {
    if (portListing.joinable())
        portListing.join(); // its report to this window is dropped with the window
    SaveOnce();
}

void CVexaDlg::SaveOnce() {
    if (shutDown)
        return;
    shutDown = true;
    app.settingsFile.SetWindowState(chosenPort, normalGeometry());
    app.Shutdown();
}

// The port and the window frame of the last run; the port rules of the list still decide
// when nothing was stored.
void CVexaDlg::RestoreWindowState() {
    const QString port = app.settingsFile.PortName().trimmed();
    if (!port.isEmpty())
        ChooseShownPort(port);
    const QRect frame = app.settingsFile.WindowRect();
    if (!frame.isValid())
        return;
    // The stored geometry is the client area of the normal (not maximised) window.
    if (QGuiApplication::screenAt(frame.center()))
        setGeometry(QRect(frame.topLeft(), frame.size().expandedTo(minimumSizeHint())));
    else
        resize(frame.size().expandedTo(minimumSizeHint()));
}

// ---------------------------------------------------------------------------------------
// Construction of timers, menus and controls

void CVexaDlg::CreateTimers() {
    const auto makeTimer = [this](int ms, bool singleShot) {
        auto* timer = new QTimer(this);
        timer->setInterval(ms);
        timer->setSingleShot(singleShot);
        return timer;
    };
    endTimer = makeTimer(EndTimerMs, true);
    progressTimer = makeTimer(ProgressTimerMs, false);
    arrivalTimer = makeTimer(PortSettleMs, true);
    removalTimer = makeTimer(PortSettleMs, true);
    signListSaveTimer = makeTimer(SignListSaveMs, true);
    connect(endTimer, &QTimer::timeout, this, &CVexaDlg::OnEndTimer);
    connect(progressTimer, &QTimer::timeout, this, &CVexaDlg::OnProgressTimer);
    connect(arrivalTimer, &QTimer::timeout, this, [this] { RefreshPortList(true); });
    connect(removalTimer, &QTimer::timeout, this, [this] { RefreshPortList(false); });
    connect(signListSaveTimer, &QTimer::timeout, this, [this] { app.idList.SaveIdList(); });
    // Another program (the command line, a script) may change the open message file: the
    // rows are read again and shown, so that nothing of its change is written back over.
    fileCheckTimer = makeTimer(FileCheckMs, false);
    connect(fileCheckTimer, &QTimer::timeout, this, [this] {
        if (idle && app.messageTable.ReloadChanges())
            ReloadCurrentFile();
    });
    fileCheckTimer->start();
}

// A device coming or going starts its timer (again); the list is rebuilt a second later.
void CVexaDlg::StartPortWatcher() {
    portWatcher = new PortWatcher(this);
    connect(portWatcher, &PortWatcher::deviceArrived, arrivalTimer, qOverload<>(&QTimer::start));
    connect(portWatcher, &PortWatcher::deviceRemoved, removalTimer, qOverload<>(&QTimer::start));
    portWatcher->Start();
}

QMenu* CVexaDlg::AddMenu(const QString& title) {
    return menuBar()->addMenu(title);
}

QAction* CVexaDlg::AddCommand(QMenu* menu, const QString& text, int commandId) {
    QAction* action = menu->addAction(text);
    action->setProperty("commandId", commandId);
    if (!commands.contains(commandId))
        commands.insert(commandId, action); // the first action of an ID, as a search finds it
    return action;
}

void CVexaDlg::BuildMenus() {
    QMenu* file = AddMenu(QStringLiteral("File(&F)"));
    connect(AddCommand(file, QStringLiteral("New(&N)"), FileNew), &QAction::triggered, this,
            &CVexaDlg::OnNew);
    connect(AddCommand(file, QStringLiteral("Open(&O)"), FileOpen), &QAction::triggered, this,
            &CVexaDlg::OnOpen);
    connect(AddCommand(file, QStringLiteral("Save(&S)"), FileSave), &QAction::triggered, this,
            &CVexaDlg::OnSave);
    file->addSeparator();
    connect(AddCommand(file, Say(Text::FleetOpenMenu), FleetOpen), &QAction::triggered, this,
            &CVexaDlg::OnOpenFleet);
    file->addSeparator();
    connect(AddCommand(file, QStringLiteral("Exit(&E)"), FileExit), &QAction::triggered, this,
            &CVexaDlg::OnExit);

    QMenu* setting = AddMenu(QStringLiteral("Setting(&S)"));
    connect(AddCommand(setting, QStringLiteral("ID Modify(&I)"), IdModify), &QAction::triggered, this,
            &CVexaDlg::OnIdModify);
    signColourMenu = new SignColourMenu(this);
    signColourMenu->ApplyTexts(app.texts);
    signColourMenu->ShowChoice(app.rowImages.Led());
    setting->addMenu(signColourMenu);
    connect(signColourMenu, &SignColourMenu::chosen, this, &CVexaDlg::OnSignColour);

    QMenu* tools = AddMenu(QStringLiteral("Tools(&T)"));
    tools->setToolTipsVisible(true); // Group Send says why it is greyed
    connect(AddCommand(tools, QStringLiteral("Synchronize Time(&V)"), SynchronizeTime), &QAction::triggered,
            this, [this] { OnCheckTime(false); });
    connect(AddCommand(tools, QStringLiteral("Send(&T)"), SendCommand), &QAction::triggered, this,
            &CVexaDlg::OnSend);
    connect(AddCommand(tools, QStringLiteral("Group Send(&G)"), GroupSend), &QAction::triggered, this,
            &CVexaDlg::OnGroupSend);
    tools->addSeparator();
    connect(AddCommand(tools, QStringLiteral("Sign view"), SignViewCommand), &QAction::triggered, this,
            &CVexaDlg::OnSignView);

    languageMenu = AddMenu(QStringLiteral("Language(&L)"));
    for (const LanguageTexts::Language& language : LanguageTexts::Languages()) {
        QAction* action = AddCommand(languageMenu, QString::fromUtf8(language.menuText), language.command);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, code = language.code] { OnLanguage(code); });
    }
    connect(languageMenu, &QMenu::aboutToShow, this, &CVexaDlg::UpdateLanguageChecks);

    QMenu* help = AddMenu(QStringLiteral("Help(&H)"));
    connect(AddCommand(help, QStringLiteral("About(&A)"), HelpAbout), &QAction::triggered, this,
            &CVexaDlg::OnAbout);
    AddShortcuts();
}

// Standard keys for the file commands, and keys for the two commands operators repeat
// most; the menus show them beside the texts whatever the language.
void CVexaDlg::AddShortcuts() {
    Command(FileNew)->setShortcut(QKeySequence::New);
    Command(FileOpen)->setShortcut(QKeySequence::Open);
    Command(FileSave)->setShortcut(QKeySequence::Save);
    Command(FileExit)->setShortcut(QKeySequence::Quit);
    Command(SendCommand)->setShortcut(QKeySequence(Qt::Key_F5));
    Command(SynchronizeTime)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    Command(SignViewCommand)->setShortcut(QKeySequence(Qt::Key_F6));
}

void CVexaDlg::BuildLayout() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QHBoxLayout(central);
    outer->setContentsMargins(8, 6, 8, 4);
    outer->setSpacing(10);
    outer->addLayout(BuildSignPanel(), 0);
    outer->addLayout(BuildRowPanel(), 1);
}

QLayout* CVexaDlg::BuildSignPanel() {
    auto* group = new QGroupBox(QStringLiteral("LEDS"), this);
    signGroup = group;
    signTree = WithId(new QTreeWidget(group), SignTree);
    signTree->setHeaderHidden(true);
    signTree->setColumnCount(1);
    signTree->setRootIsDecorated(true);
    signTree->setSelectionMode(QAbstractItemView::SingleSelection);
    signTree->setMinimumWidth(signTree->fontMetrics().horizontalAdvance(QStringLiteral("255.WWWWWWWWWW")));
    connect(signTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnSignSelected(current); });
    connect(signTree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { OnSignTicked(item); });
    signTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(signTree, &QTreeWidget::customContextMenuRequested, this, &CVexaDlg::OnSignMenu);

    auto* add = WithId(new CPictureButton(QStringLiteral("Add"), UiPictures::AddSign, 0, group), AddButton);
    auto* modify =
        WithId(new CPictureButton(QStringLiteral("Modify"), UiPictures::ModifySign, 0, group), ModifyButton);
    auto* del =
        WithId(new CPictureButton(QStringLiteral("Del"), UiPictures::DeleteSign, 0, group), DelButton);
    auto* scan =
        WithId(new CPictureButton(QStringLiteral("Scan"), UiPictures::ScanSigns, 0, group), ScanButton);
    scanButton = scan;
    addButton = add;
    modifyButton = modify;
    delButton = del;
    connect(add, &QPushButton::clicked, this, [this] { OnEditSigns(IdEditorModel::AddStyle); });
    connect(modify, &QPushButton::clicked, this, [this] { OnEditSigns(IdEditorModel::ModifyStyle); });
    connect(del, &QPushButton::clicked, this, &CVexaDlg::OnDeleteSign);
    connect(scan, &QPushButton::clicked, this, &CVexaDlg::OnScan);

    auto* buttons = new QGridLayout;
    buttons->addWidget(add, 0, 0);
    buttons->addWidget(modify, 0, 1);
    buttons->addWidget(del, 1, 0);
    buttons->addWidget(scan, 1, 1);
    scanSummary = new QLabel(group);
    scanSummary->setAccessibleName(QStringLiteral("Scan result"));
    scanSummary->setWordWrap(true);
    scanSummary->hide(); // until the first scan
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(signTree, 1);
    groupLayout->addWidget(scanSummary);
    groupLayout->addLayout(buttons);

    modelList = WithId(new QComboBox(this), ModelList);
    modelList->setMaxVisibleItems(18);
    connect(modelList, &QComboBox::activated, this, &CVexaDlg::OnModelSelected);
    comList = WithId(new QComboBox(this), ComList);
    // Besides the listed ports a device can be typed ("/dev/pts/3": pseudo-terminals and
    // simulators are never listed). A line edit of its own makes the box editable without
    // building its popup list before the window is first shown, as setEditable would.
    comList->setLineEdit(new QLineEdit(comList));
    comList->setInsertPolicy(QComboBox::NoInsert);
    comList->setToolTip(QStringLiteral("Serial port"));
    comList->lineEdit()->setPlaceholderText(QStringLiteral("ttyUSB0"));
    connect(comList, &QComboBox::activated, this,
            [this](int index) { ChoosePort(comList->itemText(index)); });
    connect(comList->lineEdit(), &QLineEdit::editingFinished, this, &CVexaDlg::OnPortTyped);
    box485 = WithId(new QCheckBox(QStringLiteral("485"), this), Check485);
    const int option485 = app.settingsFile.Mode485();
    box485->setChecked(option485 != 0);
    app.signLink.address485 = option485;
    connect(box485, &QCheckBox::clicked, this, &CVexaDlg::On485Clicked);

    auto* settings = new QGridLayout;
    modelLabel = new QLabel(QStringLiteral("MODEL"), this);
    comLabel = new QLabel(QStringLiteral("COM"), this);
    modelLabel->setBuddy(modelList); // the label names the list for screen readers
    comLabel->setBuddy(comList);
    comList->setAccessibleName(QStringLiteral("COM port"));
    modelList->setAccessibleName(QStringLiteral("Model"));
    signTree->setAccessibleName(QStringLiteral("Signs"));
    settings->addWidget(modelLabel, 0, 0);
    settings->addWidget(modelList, 0, 1);
    settings->addWidget(comLabel, 1, 0);
    settings->addWidget(comList, 1, 1);
    settings->addWidget(box485, 2, 1);
    settings->setColumnStretch(1, 1);

    auto* panel = new QVBoxLayout;
    panel->addWidget(group, 1);
    panel->addLayout(settings);
    return panel;
}

QLayout* CVexaDlg::BuildRowPanel() {
    rowArea = new QWidget(this);
    rowGrid = new QGridLayout(rowArea);
    rowGrid->setContentsMargins(0, 0, 0, 0);
    rowGrid->setHorizontalSpacing(6);
    rowGrid->setVerticalSpacing(4);
    for (const ColumnLabel& label : kColumnLabels) {
        auto* text = WithId(new QLabel(QString::fromLatin1(label.text), this), label.id);
        text->setAlignment(Qt::AlignCenter);
        rowGrid->addWidget(text, 0, label.column);
        if (label.id == HiddenColumnLabel)
            text->hide();
    }
    for (int i = 0; i < RowCount; ++i) {
        auto* row = new MessageRowControls(i, this, &menuTextWidths);
        row->preview->SetImage(&app.rowImages.Row(i));
        row->PlaceIn(rowGrid, i + 1);
        rowGrid->setRowStretch(i + 1, 1);
        ConnectRow(row);
        rows[static_cast<size_t>(i)] = row;
    }
    rowGrid->setColumnStretch(MessageRowControls::PreviewColumn, 1);

    checkTimeButton = WithId(new CPictureButton(QStringLiteral("Check time"), UiPictures::CheckTime,
                                                UiPictures::CheckTimeHover, this),
                             CheckTimeButton);
    auto* bmpEditor = WithId(new CPictureButton(QStringLiteral("Bmp editor"), UiPictures::BmpEditor,
                                                UiPictures::BmpEditorHover, this),
                             BmpEditorButton);
    sendButton =
        WithId(new CPictureButton(QStringLiteral("Send"), UiPictures::Send, UiPictures::SendHover, this),
               SendButton);
    connect(checkTimeButton, &QPushButton::clicked, this, [this] { OnCheckTime(true); });
    connect(bmpEditor, &QPushButton::clicked, this, &CVexaDlg::OnBmpEditor);
    connect(sendButton, &QPushButton::clicked, this, &CVexaDlg::OnSend);
    progressBar = WithId(new QProgressBar(this), ProgressBar);
    progressBar->setAccessibleName(QStringLiteral("Send progress"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progressBar, 1);
    bottom->addSpacing(8);
    bottom->addWidget(checkTimeButton);
    bottom->addWidget(bmpEditor);
    bottom->addWidget(sendButton);

    auto* panel = new QVBoxLayout;
    panel->addWidget(rowArea, 1);
    panel->addSpacing(4);
    panel->addLayout(bottom);
    return panel;
}

void CVexaDlg::ConnectRow(MessageRowControls* row) {
    connect(row, &MessageRowControls::contentItemChosen, this, &CVexaDlg::OnContentItem);
    connect(row, &MessageRowControls::effectItemChosen, this, &CVexaDlg::OnEffectItem);
    connect(row, &MessageRowControls::speedChosen, this, &CVexaDlg::OnSpeed);
    connect(row, &MessageRowControls::timeChosen, this, &CVexaDlg::OnTime);
    connect(row, &MessageRowControls::flagClicked, this, &CVexaDlg::OnFlag);
    connect(row, &MessageRowControls::previewDoubleClicked, this, &CVexaDlg::OnPreviewDoubleClicked);
    connect(row, &MessageRowControls::playToggled, this, &CVexaDlg::OnRowPlay);
}

void CVexaDlg::FillModelList() {
    modelList->clear();
    modelList->addItems(ModelCatalogue::Names());
    ShowStoredModel();
}

void CVexaDlg::ShowStoredModel() {
    // An empty LedType (first start) selects nothing: the operator has not chosen a model yet.
    const QString stored = app.settingsFile.LedType();
    const DisplayModel* match = stored.isEmpty() ? nullptr : ModelCatalogue::PrefixMatch(stored);
    modelList->setCurrentIndex(match ? match->position : -1);
}

// The original dialog is 524 x 254 dialog units; a dialog unit is a quarter of the average
// character width and an eighth of the character height of the window font.
void CVexaDlg::ResizeToDialogUnits() {
    const QFontMetrics metrics = fontMetrics();
    const int width = 524 * metrics.averageCharWidth() / 4;
    const int height = 254 * metrics.height() / 8;
    const QSize hint = sizeHint();
    const QSize wanted(
        std::max(width, hint.width()),
        std::max(height + menuBar()->sizeHint().height() + statusPanes->sizeHint().height(), hint.height()));
    resize(wanted);
}

// ---------------------------------------------------------------------------------------
// Model

void CVexaDlg::ApplyModelToWindow() {
    const QString name = app.settingsFile.LedType();
    app.signLink.ApplyModel(name); // model members and the port's settings string
    model.ApplyModel(name);
    app.rowImages.ApplyModel(model);
    ShowPageMarks();
    statusPanes->SetPaneText(0, LanguageTexts::StatusText(LanguageTexts::ModelWord(app.language), name));
    hasClock = model.hasClock;
    groupSendEnabled = model.is485Model;
    checkTimeButton->setVisible(hasClock);
    for (int i = 0; i < RowCount; ++i) {
        MessageRowControls* row = rows[static_cast<size_t>(i)];
        row->SetMenus(hasClock, model.effectListSet);
        const bool visible = model.RowVisible(i);
        row->SetRowVisible(visible);
        rowGrid->setRowStretch(i + 1, visible ? 1 : 0);
    }
    ApplyRowMenuTexts();
    Command(GroupSend)->setEnabled(groupSendEnabled);
    ShowGroupSendTip();
    Show485Tip();
    // The LED colour matters only where the sign lights every dot in one colour.
    signColourMenu->menuAction()->setEnabled(model.packKind && SignColours::IsSingleColour(*model.packKind));
}

// A greyed Group Send says why it is greyed.
void CVexaDlg::ShowGroupSendTip() {
    QStringList models;
    for (const DisplayModel& candidate : ModelCatalogue::All()) {
        if (candidate.is485Model)
            models << QString::fromLatin1(candidate.name);
    }
    models.sort();
    const QString range =
        models.size() > 1 ? models.constFirst() + QChar(0x2013) + models.constLast() : models.value(0);
    Command(GroupSend)->setToolTip(groupSendEnabled ? QString() : Say(Text::GroupSendNeeds485).arg(range));
}

// What the 485 option changes depends on the family: the character-code family never
// puts an ID in its frames and the addressed family always does.
void CVexaDlg::Show485Tip() {
    if (!box485)
        return; // the model is applied once before the settings controls exist
    const auto family = static_cast<LinkFamily>(app.signLink.family);
    const Text tip = family == LinkFamily::SlotTrailer       ? Text::Tip485NoId
                     : family == LinkFamily::AddressedBlocks ? Text::Tip485AlwaysId
                                                             : Text::Tip485;
    box485->setToolTip(Say(tip));
    box485->setAccessibleDescription(Say(tip));
}

void CVexaDlg::OnSignColour(LedColour led) {
    app.settingsFile.SetSignColour(led);
    app.rowImages.SetLedColour(led);
    for (MessageRowControls* row : rows)
        row->preview->Refresh();
}

void CVexaDlg::OnModelSelected(int index) {
    if (index < 0)
        return;
    const QString name = modelList->itemText(index);
    if (ModelChange::WouldReplaceMessages(app, name) &&
        QMessageBox::question(this, Say(Text::CaptionWarning), ModelChange::QuestionText(&app.texts),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        ShowStoredModel(); // No: the old model stays chosen and the file untouched
        return;
    }
    const ModelChange::Result changed = ModelChange::Apply(app, name);
    if (changed == ModelChange::Result::Failed)
        ShowStoredModel(); // told already; the old model and messages stay
    if (changed == ModelChange::Result::Unchanged || changed == ModelChange::Result::Failed)
        return;
    ClearScanMarks(); // signs of another model answered them
    ApplyModelToWindow();
    LoadPreviews();
    RefreshRowControls();
}

// ---------------------------------------------------------------------------------------
// Rows

void CVexaDlg::RefreshRowControls() {
    for (int i = 0; i < RowCount; ++i)
        RefreshRow(i);
}

void CVexaDlg::RefreshRow(int i) {
    const CMessageTable& table = app.messageTable;
    const auto r = static_cast<size_t>(i);
    MessageRowControls* row = rows[r];
    row->contentButton->setText(row->ContentCaption(table.kind[r]));
    ShowEffect(i);
    row->speedBox->setCurrentIndex(
        table.speed[r] >= 0 && table.speed[r] < row->speedBox->count() ? table.speed[r] : -1);
    row->timeBox->setCurrentIndex(
        table.holdTime[r] >= 0 && table.holdTime[r] < row->timeBox->count() ? table.holdTime[r] : -1);
    row->blinkBox->setChecked(table.blink[r] != 0);
    row->rightToLeftBox->setChecked(table.arabic[r] != 0);
    row->marqueeBox->setChecked(table.marquee[r] != 0);
    row->sendBox->setChecked(table.sendFlag[r] != 0);
    EnableRowControls(i);
    DescribePreview(i);
}

// The button shows the effect the sign runs. A stored index outside the model's list goes
// on the wire as stored; the button shows the list's first effect for it, the one the
// addressed family sends in its place, and the tooltip explains.
void CVexaDlg::ShowEffect(int i) {
    const auto r = static_cast<size_t>(i);
    MessageRowControls* row = rows[r];
    const int stored = app.messageTable.effect[r];
    const int run = ModelCatalogue::EffectToRun(model.effectListSet, stored);
    row->effectButton->setText(row->EffectCaption(run));
    row->ShowEffectNote(stored == run ? QString()
                                      : Say(Text::EffectNotInList).arg(stored).arg(row->EffectCaption(run)));
}

void CVexaDlg::DescribePreview(int i) {
    const auto r = static_cast<size_t>(i);
    MessageRowControls* row = rows[r];
    const int effect = ModelCatalogue::EffectToRun(model.effectListSet, app.messageTable.effect[r]);
    row->preview->setAccessibleName(RowDescription::Describe(
        i, app.rowImages.Row(i), row->EffectCaption(effect), app.messageTable.speed[r], GlyphCharacter));
}

void CVexaDlg::EnableRowControls(int i) {
    const auto r = static_cast<size_t>(i);
    MessageRowControls* row = rows[r];
    row->rightToLeftBox->setChecked(app.messageTable.arabic[r] != 0);
    row->ApplyEnabling(RowRules::EnablingFor(model.Model(), model.rows, app.messageTable.kind[r]));
}

void CVexaDlg::LoadPreviews() {
    app.rowImages.LoadPreviews(model.Model(), app.messageTable);
    for (int i = 0; i < RowCount; ++i) {
        rows[static_cast<size_t>(i)]->preview->Refresh();
        DescribePreview(i);
    }
    estimate->Invalidate();
    RowsPlayedChanged();
}

void CVexaDlg::UpdatePageAlign(int i) {
    app.rowImages.UpdatePageAlign(model.Model(), app.messageTable, i);
    rows[static_cast<size_t>(i)]->preview->Refresh();
    estimate->Invalidate();
    RowsPlayedChanged();
}

void CVexaDlg::OnSpeed(int row, int index) {
    app.messageTable.speed[static_cast<size_t>(row)] = index;
    app.messageTable.SaveParams();
    DescribePreview(row);
    RowsPlayedChanged();
}

void CVexaDlg::OnTime(int row, int index) {
    app.messageTable.holdTime[static_cast<size_t>(row)] = index;
    app.messageTable.SaveParams();
    UpdatePageAlign(row);
}

void CVexaDlg::OnEffectItem(int row, int item) {
    const int effect = item - RowRules::MenuItemBase;
    app.messageTable.effect[static_cast<size_t>(row)] = effect;
    ShowEffect(row);
    app.messageTable.SaveParams();
    UpdatePageAlign(row);
    DescribePreview(row);
}

void CVexaDlg::OnFlag(int row, int field, bool checked) {
    app.messageTable.Param(field)[static_cast<size_t>(row)] = checked ? 1 : 0;
    app.messageTable.SaveParams();
    estimate->Invalidate();
    RowsPlayedChanged();
}

// ---------------------------------------------------------------------------------------
// Playback

// Page boundaries on the still previews, one sign width apart (or at the catalogue's pitch).
void CVexaDlg::ShowPageMarks() {
    const DisplayModel* shown = model.Model();
    const SignGeometry sign =
        shown ? SignGeometry::For(*shown, app.settingsFile.SignWidth(), app.rowImages.Led())
              : SignGeometry{0, 0, 0};
    for (MessageRowControls* row : rows) {
        MessageImage& image = app.rowImages.Row(row->row);
        image.markColumns = sign.columns;
        image.markPitch = sign.pagePitch;
        row->preview->Refresh();
    }
}

void CVexaDlg::OnRowPlay(int row, bool on) {
    CImageWnd* preview = rows[static_cast<size_t>(row)]->preview;
    const DisplayModel* shown = model.Model();
    if (!on || !shown) {
        preview->Play(nullptr);
        return;
    }
    const SignGeometry sign = SignGeometry::For(*shown, app.settingsFile.SignWidth(), app.rowImages.Led());
    preview->Play(std::make_shared<const PlaybackProgramme>(
        PlaybackSource::RowProgramme(app.rowImages.Row(row), app.messageTable, row, *shown, sign)));
}

// The rows, their settings, the sign or the model changed: what plays is built again.
void CVexaDlg::RowsPlayedChanged() {
    for (MessageRowControls* row : rows) {
        if (row->preview->Playing())
            OnRowPlay(row->row, true);
    }
    if (signView)
        signView->Reload();
}

void CVexaDlg::OnSignView() {
    if (!signView) {
        signView = new CSignViewDlg(app, this);
        connect(signView, &CSignViewDlg::signWidthChanged, this, [this] {
            ShowPageMarks();
            RowsPlayedChanged();
        });
    }
    signView->show();
    signView->raise();
    signView->activateWindow();
}

void CVexaDlg::OnContentItem(int row, int item) {
    const auto editor = ContentEditing::EditorForItem(model.Model(), item);
    if (!editor)
        return;
    const EditorResult result = editors->Launch(*editor, row, this);
    const RowEditOutcome outcome = ContentEditing::AfterMenuEdit(item, result);
    if (!outcome.changed)
        return;
    ContentEditing::Apply(app.messageTable, row, outcome);
    AfterRowEdit(row);
}

void CVexaDlg::OnPreviewDoubleClicked(int row) {
    const int kind = app.messageTable.kind[static_cast<size_t>(row)];
    const auto editor = ContentEditing::EditorForKind(model.Model(), kind);
    if (!editor)
        return;
    const EditorResult result = editors->Launch(*editor, row, this);
    const RowEditOutcome outcome = ContentEditing::AfterDoubleClickEdit(kind, result);
    if (!outcome.changed)
        return;
    // The row's new kind and send flag are written at once, like every other row change,
    // so the file never pairs the editor's new content with the row's old kind.
    ContentEditing::Apply(app.messageTable, row, outcome);
    AfterRowEdit(row);
}

void CVexaDlg::AfterRowEdit(int row) {
    const auto r = static_cast<size_t>(row);
    rows[r]->contentButton->setText(rows[r]->ContentCaption(app.messageTable.kind[r]));
    EnableRowControls(row);
    LoadPreviews();
    rows[r]->sendBox->setChecked(app.messageTable.sendFlag[r] != 0);
}

// ---------------------------------------------------------------------------------------
// Sign tree

void CVexaDlg::FillSignTree() {
    treeReady = false;
    signTree->setUpdatesEnabled(false);
    signTree->clear();
    const SignTreeContent content = SignTreeContent::Build(app.idList, &scanMarks);
    auto* root = new QTreeWidgetItem(signTree, QStringList{Say(Text::TreeRoot)});
    root->setData(0, ItemIdRole, 0);
    root->setFlags(root->flags() | Qt::ItemIsUserCheckable);
    for (const SignTreeContent::Sign& sign : content.signs) {
        auto* item = new QTreeWidgetItem(root, QStringList{sign.text});
        item->setData(0, ItemIdRole, sign.id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, sign.checked ? Qt::Checked : Qt::Unchecked);
        SignTreeMarks::Show(item, sign.scanMark, &app.texts);
    }
    root->setCheckState(0, content.rootChecked ? Qt::Checked : Qt::Unchecked);
    root->setExpanded(true);
    signTree->setCurrentItem(nullptr);
    signTree->setUpdatesEnabled(true);
    treeReady = true;
}

void CVexaDlg::OnSignSelected(QTreeWidgetItem* item) {
    if (!treeReady || !item)
        return;
    int id = item->data(0, ItemIdRole).toInt();
    if (!item->parent())
        id = SignTreeContent::FirstSignId(app.idList);
    if (!SignTreeContent::SelectSign(app, id))
        return;
    app.signLink.currentId = id;
    LoadPreviews();
    RefreshRowControls();
}

void CVexaDlg::OnSignTicked(QTreeWidgetItem* item) {
    if (!treeReady || !item)
        return;
    const bool checked = item->checkState(0) == Qt::Checked;
    const int id = item->parent() ? item->data(0, ItemIdRole).toInt() : 0;
    // The tree reports a new text or scan mark (a language switch) as a change of the item
    // too: only a box that differs from the list is a tick.
    if (checked == SignTreeContent::IsTicked(app.idList, id))
        return;
    SignTreeContent::ApplyTick(app.idList, id, checked);
    treeReady = false;
    for (int i = 0; i < item->childCount(); ++i)
        item->child(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    treeReady = true;
    if (checked)
        item->setExpanded(true);
    signListSaveTimer->start();
    estimate->Invalidate(); // the signs a 485 send goes to
}

// Del asks first, and removes the sign the question names: the one selected in the tree.
void CVexaDlg::OnDeleteSign() {
    QTreeWidgetItem* selected = signTree->currentItem();
    if (!selected || !selected->parent() || !selected->isSelected())
        return;
    const int id = selected->data(0, ItemIdRole).toInt();
    if (QMessageBox::question(this, DialogLook::ProgramTitle(),
                              SignTreeContent::RemoveQuestion(app.idList, id, &app.texts),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!SignTreeContent::RemoveFromTree(app.idList, id))
        return;
    if (!app.idList.SaveIdList())
        QMessageBox::critical(this, Say(Text::CaptionError), Say(Text::SignListSaveFailed));
    FillSignTree();
}

// Copy and paste of a sign's messages.
void CVexaDlg::OnSignMenu(const QPoint& position) {
    QTreeWidgetItem* item = signTree->itemAt(position);
    if (!item || !item->parent())
        return;
    const int target = item->data(0, ItemIdRole).toInt();
    QMenu menu(this);
    QAction* copy = menu.addAction(Say(Text::CopyMessages));
    copy->setProperty("commandId", 2024);
    QAction* paste = menu.addAction(Say(Text::PasteMessages));
    paste->setProperty("commandId", 2025);
    QAction* chosen = menu.exec(signTree->viewport()->mapToGlobal(position));
    if (chosen == copy)
        copySourceId = target;
    else if (chosen == paste)
        OnPasteSign(target);
}

void CVexaDlg::OnPasteSign(int target) {
    if (copySourceId == 0 || copySourceId == target)
        return; // nothing copied yet, or onto itself
    if (!SignTreeContent::PasteSign(app, copySourceId, target)) {
        QMessageBox::critical(this, Say(Text::CaptionError), Say(Text::CopyFailed));
        return;
    }
    if (target == app.SelectedSign()) {
        WorkFiles::OpenWorkFile(app, app.Paths().WorkFilePath(target));
        ReloadCurrentFile();
    }
}

// Add (style 0) or Modify (style 1): the ID editor changes and saves the list itself;
// the tree is refilled whatever it ended with.
void CVexaDlg::OnEditSigns(int style) {
    IdEditorModel editor(
        app.idList, style, app.SelectedSign(),
        [this](int id) { return QFileInfo::exists(WorkFiles::EnsureWorkFile(app, id, false)); }, &app.texts);
    CDialogID dialog(std::move(editor), this);
    dialog.exec();
    FillSignTree();
}

void CVexaDlg::OnIdModify() {
    CDialogIDSet dialog(app.signLink, this);
    dialog.exec();
}

// Group Send: the rows are saved and the payload prepared before the dialog opens; its
// buttons start group operations through StartGroupTransfer while it stays open.
void CVexaDlg::OnGroupSend() {
    if (!idle || !groupSendEnabled)
        return;
    const TransferRunner::Start prepared = transfers->PrepareGroupData();
    if (prepared == TransferRunner::Start::NoModel) {
        QMessageBox::warning(this, Say(Text::CaptionWarning), Say(Text::ChooseModelFirst));
        return;
    }
    if (prepared == TransferRunner::Start::Unprepared) {
        QMessageBox::critical(this, Say(Text::CaptionError),
                              Say(Text::NothingSent).arg(transfers->Problems().join(u'\n')));
        return;
    }
    if (prepared == TransferRunner::Start::Cancelled)
        return;
    CDialogGroup dialog(
        app.settingsFile, app.idList, app.signLink, [this] { StartGroupTransfer(); }, this);
    groupDialog = &dialog;
    dialog.exec();
}

void CVexaDlg::StartGroupTransfer() {
    if (!idle || transfers->StartGroupTransfer() != TransferRunner::Start::Started)
        return;
    groupRunning = true;
    TransferStarted();
    scanButton->setEnabled(false);
}

// ---------------------------------------------------------------------------------------
// Menus and buttons

void CVexaDlg::ReloadCurrentFile() {
    LoadPreviews();
    RefreshRowControls();
}

void CVexaDlg::OnNew() {
    if (QMessageBox::question(this, DialogLook::ProgramTitle(), Say(Text::AskNewFile),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    if (WorkFiles::NewFile(app)) // else told, and the messages stay as they were
        ReloadCurrentFile();
}

void CVexaDlg::OnOpen() {
    app.messageTable.SaveParams();
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), QString(), Say(Text::LedFileFilter));
    if (chosen.isEmpty())
        return;
    QString reason;
    if (!WorkFiles::OpenFile(app, chosen, &reason)) {
        QMessageBox box(QMessageBox::Critical, Say(Text::CaptionError), Say(Text::OpenFileFailed),
                        QMessageBox::Ok, this);
        box.setDetailedText(reason);
        box.exec();
    }
    ReloadCurrentFile();
}

void CVexaDlg::OnSave() {
    app.messageTable.SaveParams();
    QFileDialog dialog(this, QString(), QString(), Say(Text::LedFileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("led"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    if (!WorkFiles::SaveFileAs(app, dialog.selectedFiles().constFirst()))
        QMessageBox::critical(this, Say(Text::CaptionError), Say(Text::SaveFileFailed));
}

void CVexaDlg::OnExit() {
    if (QMessageBox::question(this, DialogLook::ProgramTitle(), Say(Text::AskExit),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        close();
}

void CVexaDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CVexaDlg::OnOpenFleet() {
    app.messageTable.SaveParams();
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), Say(Text::FleetFileFilter));
    if (!path.isEmpty())
        OpenFleetFile(path);
}

void CVexaDlg::OpenFleetFile(const QString& path) {
    FleetLineChoice choice;
    if (!choice.Load(path)) {
        QMessageBox::critical(this, Say(Text::CaptionError), Say(Text::FleetUnreadable).arg(choice.Error()));
        return;
    }
    CFleetDlg dialog(choice, this);
    if (dialog.exec() != QDialog::Accepted || dialog.ChosenRow() < 0)
        return;
    emit fleetLineChosen(choice.Rows()[dialog.ChosenRow()].line);
}

void CVexaDlg::ApplyFleetLine(const FleetLine& line) {
    setWindowTitle(QStringLiteral("%1 \u2014 %2").arg(Title, line.name));
    if (!line.port.isEmpty())
        ChooseShownPort(line.port);
    if (line.mode485) {
        box485->setChecked(*line.mode485 != 0);
        On485Clicked(*line.mode485 != 0);
    }
    const int index = modelList->findText(line.model);
    if (index >= 0 && line.model != app.ModelName()) {
        modelList->setCurrentIndex(index);
        OnModelSelected(index);
    }
}

// Either the launcher cannot run (its fixed message, with where it is looked for), or the
// desktop has no application for pictures (what to install, and where the pictures are).
void CVexaDlg::OnBmpEditor() {
    using Failure = ImageEditorLauncher::Failure;
    const auto tell = [this](Failure failure) {
        const bool noEditor = failure == Failure::NoImageEditor;
        QMessageBox box(QMessageBox::Critical, Say(Text::CaptionError),
                        Say(noEditor ? Text::NoImageEditor : Text::ImageEditorFailed), QMessageBox::Ok, this);
        box.setInformativeText(noEditor ? Say(Text::ImageEditorHint).arg(app.Paths().ImageDir())
                                        : ImageEditorLauncher::ProgramPath(app.Paths()));
        box.exec();
    };
    if (!ImageEditorLauncher::Launch(app.Paths(), this, tell))
        tell(Failure::CannotRun);
}

void CVexaDlg::On485Clicked(bool checked) {
    app.signLink.address485 = checked ? 1 : 0;
    app.settingsFile.SetMode485(checked ? 1 : 0);
    estimate->SetChain(checked);
}

// The choice is stored whether or not its file could be read.
void CVexaDlg::OnLanguage(int code) {
    SelectLanguage(code);
    app.settingsFile.SetLanguage(code);
    UpdateLanguageChecks();
}

// The stored choice is checked, every language alike; nothing when nothing is stored.
void CVexaDlg::UpdateLanguageChecks() {
    const int stored = app.settingsFile.Language();
    const bool readable = app.settingsFile.Readable();
    for (const LanguageTexts::Language& language : LanguageTexts::Languages())
        Command(language.command)->setChecked(readable && stored == language.code);
}

void CVexaDlg::SelectLanguage(int code) {
    app.language = code;
    if (!app.texts.SelectLanguage(code)) {
        QMessageBox::warning(this, DialogLook::ProgramTitle(), LanguageTexts::FailureText);
        return;
    }
    ApplyLanguage();
}

// A window on a work folder another editor holds says so in its title.
void CVexaDlg::ShowTitle() {
    setWindowTitle(app.ReadOnly() ? Title + QStringLiteral(" (%1)").arg(Say(Text::ReadOnlyMark)) : Title);
}

void CVexaDlg::ApplyLanguage() {
    ShowTitle();
    const QList<QAction*> top = menuBar()->actions();
    const QStringList topEntries = LanguageTexts::TopMenuEntries();
    for (qsizetype i = 0; i < top.size() && i < topEntries.size(); ++i)
        top[i]->setText(app.texts.LookupString(topEntries[i]));
    for (const LanguageTexts::MenuItem& item : LanguageTexts::MenuItems()) {
        if (QAction* action = Command(item.command))
            action->setText(app.texts.LookupString(QString::fromLatin1(item.entry)));
    }
    ApplyRowMenuTexts();
    ApplyDialogTexts(this, TemplateId);
    ApplyOwnTexts();
    RefreshRowControls();
    statusPanes->SetPaneText(0, LanguageTexts::StatusText(LanguageTexts::SwitchModelWord(app.language),
                                                          app.settingsFile.LedType()));
    ShowEstimate();
}

// Row menus keep the program's own texts while no language file could be read.
void CVexaDlg::ApplyRowMenuTexts() {
    if (app.texts.File().IsEmpty())
        return;
    const QStringList contentTexts = app.texts.RowMenuTexts(ModelCatalogue::ContentMenuResource(hasClock));
    const QStringList effectTexts =
        app.texts.RowMenuTexts(ModelCatalogue::EffectMenuResource(model.effectListSet));
    for (MessageRowControls* row : rows)
        row->SetMenuTexts(contentTexts, effectTexts);
}

// The texts the language file's dialog entries do not reach: labels without a control
// ID, the row controls' tooltips (the words of their column labels), the sign tree.
void CVexaDlg::ApplyOwnTexts() {
    signGroup->setTitle(Say(Text::TreeRoot));
    if (QTreeWidgetItem* root = signTree->topLevelItem(0)) {
        root->setText(0, Say(Text::TreeRoot));
        for (int i = 0; i < root->childCount(); ++i) {
            QTreeWidgetItem* item = root->child(i);
            SignTreeMarks::Show(item, scanMarks.For(item->data(0, ItemIdRole).toInt()), &app.texts);
        }
    }
    if (scanMarks.HasScan())
        scanSummary->setText(scanMarks.Summary(&app.texts));
    Command(FleetOpen)->setText(Say(Text::FleetOpenMenu));
    signColourMenu->ApplyTexts(app.texts);
    modelLabel->setText(Say(Text::ModelLabel));
    comLabel->setText(Say(Text::ComLabel));
    comList->setToolTip(Say(Text::ComListTip));
    ShowGroupSendTip();
    Show485Tip();
    if (chosenPort.isEmpty())
        statusPanes->SetPaneText(1, Say(Text::PortAutomatic));
    Command(SignViewCommand)->setText(Say(Text::SignViewTitle));
    if (signView)
        signView->Reload(); // its texts and notes in the new language
    // In the order of MessageRowControls::SetColumnTips: Edit, Effect, Speed, Time, Marquee,
    // Blink, Send.
    QStringList words;
    for (int labelId : {1079, 1080, 1081, 1082, 1083, 1085, 1093})
        words << app.texts.DialogText(TemplateId, labelId);
    for (MessageRowControls* row : rows) {
        row->SetPlayTexts(Say(Text::PlayRowName), Say(Text::PauseRowName));
        row->preview->setToolTip(Say(Text::PreviewTip));
        row->SetColumnTips(words);
    }
}

void CVexaDlg::ApplyDialogTexts(QWidget* dialog, int templateId) const {
    app.texts.ApplyDialogTexts(dialog, templateId);
}

const LanguageTexts* CVexaDlg::Texts() const {
    return &app.texts;
}

QString CVexaDlg::Say(Text text) const {
    return app.texts.Get(text);
}

// ---------------------------------------------------------------------------------------
// Serial ports

void CVexaDlg::RefreshPortList(bool preferNewPort) {
    ApplyPortList(listPorts(), preferNewPort);
}

// The list is read on a worker thread and shown on the window's thread; the window joins
// the worker before it goes away, so the report always finds it.
void CVexaDlg::StartPortListing() {
    portListing = std::thread([this, list = listPorts] {
        QList<SerialPortList::Port> ports = list();
        QMetaObject::invokeMethod(
            this, [this, ports = std::move(ports)] { ShowFirstPortList(ports); }, Qt::QueuedConnection);
    });
}

// The first list arrives after the window has shown the stored port (or nothing): the
// list's own rule applies as at a start with the list at hand, then the port chosen so
// far (stored, typed or set by a caller) stays the chosen one.
void CVexaDlg::ShowFirstPortList(const QList<SerialPortList::Port>& ports) {
    if (portListing.joinable())
        portListing.join();
    const QString chosenSoFar = chosenPort;
    ApplyPortList(ports, true);
    if (!chosenSoFar.isEmpty())
        ChooseShownPort(chosenSoFar);
}

void CVexaDlg::ChooseShownPort(const QString& port) {
    const int index = comList->findText(port);
    if (index >= 0)
        comList->setCurrentIndex(index);
    else
        comList->setEditText(port);
    ChoosePort(port);
}

void CVexaDlg::ApplyPortList(const QList<SerialPortList::Port>& ports, bool preferNewPort) {
    QStringList oldItems;
    for (int i = 0; i < comList->count(); ++i)
        oldItems << comList->itemText(i);
    const QString oldSelection = comList->currentIndex() >= 0 ? comList->currentText() : QString();
    const SerialPortList::Refresh refresh =
        SerialPortList::RefreshPortList(oldItems, oldSelection, SerialPortList::Names(ports), preferNewPort);
    comList->clear();
    for (const SerialPortList::Port& port : ports) {
        comList->addItem(port.name);
        comList->setItemData(comList->count() - 1, port.description, Qt::ToolTipRole);
    }
    comList->setCurrentIndex(refresh.selected);
    if (refresh.portToSet)
        ChoosePort(*refresh.portToSet);
}

void CVexaDlg::ChoosePort(const QString& text) {
    const QString device = text.trimmed();
    if (device.isEmpty())
        return;
    if (!chosenPort.isEmpty() && device != chosenPort)
        ClearScanMarks(); // they tell about the signs of the other line
    app.signLink.SetPortName(device);
    chosenPort = device;
    QString shown = device;
    if (shown.startsWith(QLatin1String("/dev/")))
        shown = shown.mid(5);
    statusPanes->SetPaneText(1, QStringLiteral("COM:%1").arg(shown));
}

// A port typed into the COM box counts once the operator presses Enter or leaves the box,
// never on every keystroke.
void CVexaDlg::OnPortTyped() {
    const QString device = comList->currentText().trimmed();
    ChoosePort(device);
    if (SerialPortFactory::IsMissingDevice(device))
        statusPanes->SetPaneText(2, Say(Text::PortMissing).arg(PosixSerialPort::DevicePath(device)));
}

void CVexaDlg::ClearScanMarks() {
    if (!scanMarks.HasScan())
        return;
    if (statusPanes->PaneText(2) == scanSummary->text())
        statusPanes->SetPaneText(2, QString());
    scanMarks.Clear();
    scanSummary->clear();
    scanSummary->hide();
    FillSignTree();
}

bool CVexaDlg::HasPort() const {
    return !comList->currentText().trimmed().isEmpty();
}

// ---------------------------------------------------------------------------------------
// Transfers: Send, Synchronize Time, Scan and the engine's reports

void CVexaDlg::SetUpTransfers() {
    connect(&app.signLink, &SignLink::linkMessage, this, &CVexaDlg::OnLinkMessage);
    connect(&app.signLink, &SignLink::openFailure, this,
            [this](const QString&, const QString& function, int error) {
                ShowOpenFailure();
                ShowFailureBox(QMessageBox::Warning, DialogLook::ProgramTitle(),
                               Say(Text::OpenFailureBox).arg(error).arg(function),
                               SignLink::ResultOpenFailed);
            });
    transfers = new TransferRunner(app, this);
    estimate = new SendEstimate(app, *transfers, this);
    estimate->SetChain(app.settingsFile.Mode485() != 0);
    connect(estimate, &SendEstimate::changed, this, &CVexaDlg::ShowEstimate);
    transfers->SetSizeQuestion([this](const QString& text, int) {
        return QMessageBox::question(this, Say(Text::CaptionInformation), text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    });
    transfers->SetRowWarningQuestion([this](const QStringList& lines) {
        return QMessageBox::question(this, Say(Text::CaptionWarning),
                                     Say(Text::RowCheckQuestion).arg(lines.join(u'\n')),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    });
    connect(transfers, &TransferRunner::signStarting, this, &CVexaDlg::OnSignStarting);
    connect(transfers, &TransferRunner::sendsFinished, this, &CVexaDlg::OnSendsFinished);
    connect(transfers, &TransferRunner::signFailed, this, [this](int id, const QString& reason) {
        skippedSigns << QStringLiteral("ID %1: %2").arg(id).arg(reason);
    });
    connect(transfers, &TransferRunner::clockChecked, this, &CVexaDlg::OnClockChecked);
}

void CVexaDlg::OnClockChecked(int value) {
    ShowEstimate(); // the Check time button cleared pane 3
    const auto outcome = static_cast<ClockResult::Outcome>(value);
    const QString text = ClockResult::Text(outcome, &app.texts);
    const QString caption = ClockResult::Caption(outcome, &app.texts);
    switch (outcome) {
    case ClockResult::Acknowledged:
        QMessageBox::information(this, caption, text);
        return;
    case ClockResult::NotConfirmed:
        QMessageBox::warning(this, caption, text);
        return;
    default:
        QMessageBox::critical(this, caption, text);
        return;
    }
}

// The box keeps its fixed text; for a port that did not open its detail text names the
// device and the system's reason, the case and what to do about it.
void CVexaDlg::ShowFailureBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                              int result) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
    if (result == SignLink::ResultOpenFailed)
        box.setDetailedText(PortCheck::FailureDetail(*app.signLink.Port(), &app.texts));
    box.exec();
}

// While nothing runs, pane 3 tells how long Send would take; a transfer shows its progress
// there and its predicted duration in pane 2.
void CVexaDlg::ShowEstimate() {
    if (!idle || endTimer->isActive() || app.signLink.IsBusy())
        return;
    const QString text = estimate->Text();
    statusPanes->SetPaneText(3, text);
    statusPanes->SetPaneToolTip(3, text.isEmpty() ? QString() : Say(Text::SendEstimateTip));
}

// The message box keeps its fixed text; the status bar tells which device and why.
void CVexaDlg::ShowOpenFailure() {
    statusPanes->SetPaneText(2, app.texts.ResultText(SignLink::ResultOpenFailed) + QLatin1Char(' ') +
                                    app.signLink.LastOpenFailure());
}

// While a transfer runs the link engine reads the message table and the payload from its
// worker thread, so nothing may reload or change them: the rows, the model list, the sign
// tree and the file commands wait until it has ended.
void CVexaDlg::SetIdle(bool isIdle) {
    idle = isIdle;
    if (!idle) { // pane 3 is the transfer's now
        statusPanes->SetPaneText(3, QString());
        statusPanes->SetPaneToolTip(3, QString());
    }
    Command(SendCommand)->setEnabled(idle);
    // Nothing else may touch the port or the sign list meanwhile either.
    for (int command : {FileNew, FileOpen, IdModify, SynchronizeTime, FleetOpen})
        Command(command)->setEnabled(idle);
    Command(GroupSend)->setEnabled(idle && groupSendEnabled);
    for (QWidget* control :
         std::initializer_list<QWidget*>{checkTimeButton, addButton, modifyButton, delButton, comList})
        control->setEnabled(idle);
    if (groupDialog && !idle)
        groupDialog->SetActionsEnabled(false); // back with Send and Scan, once the engine is free
    rowArea->setEnabled(idle);
    modelList->setEnabled(idle);
    signTree->setEnabled(idle);
}

void CVexaDlg::TransferStarted() {
    SetIdle(false);
    const QString duration = chainSend      ? chainDuration
                             : groupRunning ? estimate->OfStartedGroup()
                                            : estimate->OfStartedSend();
    statusPanes->SetPaneText(2, duration.isEmpty() ? QString() : Say(Text::SendingAbout).arg(duration));
    sendButton->setEnabled(false);
    progressTimer->start();
}

void CVexaDlg::OnSend() {
    if (!idle)
        return;
    chainSend = box485->isChecked();
    if (!chainSend) {
        const TransferRunner::Start start = transfers->BeginTransfer();
        if (start == TransferRunner::Start::Started)
            TransferStarted();
        else if (start == TransferRunner::Start::Unprepared)
            QMessageBox::critical(this, Say(Text::CaptionError),
                                  Say(Text::NothingSent).arg(transfers->Problems().join(u'\n')));
        else if (start == TransferRunner::Start::NoModel)
            QMessageBox::warning(this, Say(Text::CaptionWarning), Say(Text::ChooseModelFirst));
        return;
    }
    if (app.idList.TickedIds().isEmpty()) {
        QMessageBox::warning(this, Say(Text::CaptionWarning), Say(Text::NoIdSelected));
        return;
    }
    chainDuration = estimate->OfChain();
    if (!waitDialog) {
        waitDialog = new CWaitDlg(this);
        waitDialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(waitDialog, &CWaitDlg::stopRequested, transfers, &TransferRunner::StopChainAfterCurrent);
    }
    waitDialog->SetRange(static_cast<int>(app.idList.TickedIds().size()));
    waitDialog->SetPosition(0);
    waitDialog->show();
    const TransferRunner::Start start = transfers->StartChain();
    if (start == TransferRunner::Start::NoModel)
        QMessageBox::warning(this, Say(Text::CaptionWarning), Say(Text::ChooseModelFirst));
    if (start == TransferRunner::Start::Cancelled)
        LoadPreviews(); // the question was asked over the rows of every ticked sign
    if (start != TransferRunner::Start::Started && waitDialog)
        waitDialog->close();
}

// A sign of a multi-sign send is about to be sent: show its rows and where the chain
// stands.
void CVexaDlg::OnSignStarting(int id, int index, int total) {
    LoadPreviews();
    RefreshRowControls();
    if (transfers->ChainRunning()) {
        TransferStarted();
        if (waitDialog) {
            waitDialog->SetPosition(index);
            waitDialog->SetText(app.texts.WaitLine(id, total, total - index));
        }
    }
}

// Every send is over; the selected sign's file is open again.
void CVexaDlg::OnSendsFinished() {
    LoadPreviews();
    RefreshRowControls();
    if (chainSend && !transfers->ChainResults().isEmpty())
        statusPanes->SetPaneText(2,
                                 WithLineNote(SignResults::Summary(transfers->ChainResults(), &app.texts)));
    chainSend = false;
    if (waitDialog)
        waitDialog->close();
    if (!skippedSigns.isEmpty()) {
        const QString text = Say(Text::SignsNotSent).arg(skippedSigns.join(u'\n'));
        skippedSigns.clear();
        QMessageBox::critical(this, Say(Text::CaptionError), text);
    }
    if (!endTimer->isActive() && !app.signLink.IsBusy()) { // the last sign was not sent at all
        progressTimer->stop();
        SetIdle(true);
        sendButton->setEnabled(true);
    }
}

void CVexaDlg::OnLinkMessage(int message, qintptr wParam, qintptr lParam) {
    switch (message) {
    case SignLink::ProgressMessage: {
        const TransferProgress::Report report = TransferProgress::Decode(wParam, lParam);
        progressTarget = report.percent;
        if (!report.ended)
            return;
        OnProgressEnd(report.percent);
        if (groupRunning) {
            groupRunning = false;
            statusPanes->SetPaneText(2, SignResults::Summary(app.signLink.GroupResults(), &app.texts,
                                                             app.signLink.groupOperation));
        } else if (report.result == SignLink::ResultOpenFailed) {
            ShowOpenFailure();
        } else if (report.result != SignLink::ResultOk) {
            statusPanes->SetPaneText(2, app.texts.ResultText(report.result)); // never "OK!" for a failure
        } else if (!chainSend) {
            statusPanes->SetPaneText(2, WithLineNote(Say(Text::ResultOk)));
        }
        if (TransferProgress::IsFailureReport(lParam))
            ShowFailureBox(QMessageBox::Critical, Say(Text::CaptionError),
                           app.texts.ResultText(report.result), report.result);
        return;
    }
    case SignLink::GroupFailedMessage:
        QMessageBox::critical(this, DialogLook::ProgramTitle(),
                              Say(Text::SendFailedCount).arg(lParam - wParam));
        return;
    case SignLink::ScanFinishedMessage: {
        // A scan that could not probe the line found nothing out: it leaves no marks.
        const int result = app.signLink.LastResult();
        if (result == SignLink::ResultOk)
            scanMarks.Take(app.idList);
        else
            scanMarks.Clear();
        FillSignTree(); // the ticks as stored, the answers as marks beside them
        scanning = false;
        scanSummary->setText(result == SignLink::ResultOk ? scanMarks.Summary(&app.texts)
                                                          : app.texts.ResultText(result));
        scanSummary->show();
        if (result == SignLink::ResultOpenFailed)
            ShowOpenFailure();
        else
            statusPanes->SetPaneText(2, scanSummary->text());
        return;
    }
    case SignLink::ScanProgressMessage:
        progressTarget = static_cast<int>(wParam);
        progressBar->setValue(static_cast<int>(wParam));
        if (lParam == 1)
            OnProgressEnd(static_cast<int>(wParam));
        return;
    default:
        return; // 1128 is the transfer runner's
    }
}

// Without an ID in its frames a send reaches every sign on the line, whatever the tree
// shows selected: the result says so.
QString CVexaDlg::WithLineNote(const QString& result) const {
    const bool oneSign = LinkFamilies::AddressesOneSign(static_cast<LinkFamily>(app.signLink.family),
                                                        app.signLink.address485 != 0);
    return oneSign ? result : result + QLatin1Char(' ') + Say(Text::SentToEverySign);
}

void CVexaDlg::OnProgressEnd(int percent) {
    progressTimer->stop();
    progressBar->setValue(percent);
    statusPanes->SetPaneText(3, QStringLiteral("100%"));
    SetIdle(true);
    statusPanes->SetPaneText(2, Say(Text::ResultOk));
    endTimer->start();
    progressTarget = 0;
}

void CVexaDlg::OnProgressTimer() {
    const int position = progressBar->value();
    if (position >= progressTarget)
        return;
    const int next = TransferProgress::Step(position, progressTarget);
    progressBar->setValue(next);
    statusPanes->SetPaneText(3, QStringLiteral("%1%").arg(next));
}

void CVexaDlg::OnEndTimer() {
    sendButton->setEnabled(true);
    scanButton->setEnabled(true);
    if (groupDialog)
        groupDialog->SetActionsEnabled(true);
    // The outcome ("OK!", per-sign results, scan results, failures) stays until the next
    // operation starts; only the progress goes.
    statusPanes->SetPaneText(3, QString());
    progressBar->setValue(0);
    ShowEstimate();
}

void CVexaDlg::OnCheckTime(bool fromButton) {
    if (!idle)
        return;
    if (fromButton)
        statusPanes->SetPaneText(3, QString());
    statusPanes->SetPaneText(2, QString()); // an earlier outcome is not this one's
    transfers->SynchronizeTime();
}

void CVexaDlg::OnScan() {
    if (!HasPort()) {
        QMessageBox::information(this, DialogLook::ProgramTitle(), Say(Text::SelectPortFirst));
        return;
    }
    scanning = true;
    const TransferRunner::Start start = transfers->StartScan();
    if (start != TransferRunner::Start::Started) {
        scanning = false;
        if (start == TransferRunner::Start::NoModel)
            QMessageBox::warning(this, Say(Text::CaptionWarning), Say(Text::ChooseModelFirst));
        return;
    }
    SetIdle(false);
    statusPanes->SetPaneText(2, QString());
    sendButton->setEnabled(false);
    scanButton->setEnabled(false);
}

// ---------------------------------------------------------------------------------------
// Look-ups and window events

QWidget* CVexaDlg::Control(int controlId) const {
    const auto widgets = findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (w->property("controlId").toInt() == controlId)
            return w;
    }
    return nullptr;
}

QAction* CVexaDlg::Command(int commandId) const {
    return commands.value(commandId, nullptr);
}

CImageWnd* CVexaDlg::Preview(int row) const {
    return row >= 0 && row < RowCount ? rows[static_cast<size_t>(row)]->preview : nullptr;
}

void CVexaDlg::closeEvent(QCloseEvent* event) {
    SaveOnce();
    event->accept();
}

void CVexaDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return; // the dialog's OK command does nothing
    case Qt::Key_Escape:
        close();
        return;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

} // namespace vexa
