#include "app/ui/CVexaDlg.h"

#include "app/CVexaApp.h"
#include "app/ContentEditing.h"
#include "core/ModelCatalogue.h"
#include "app/ModelChange.h"
#include "app/RowRules.h"
#include "app/SignTreeContent.h"
#include "app/TransferProgress.h"
#include "app/TransferRunner.h"
#include "app/TransferTexts.h"
#include "app/WorkFiles.h"
#include "app/ui/CAboutDlg.h"
#include "ui/CImageCheckBox.h"
#include "ui/DialogLook.h"
#include "ui/CPictureButton.h"
#include "app/ui/CWaitDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/DefaultEditorLauncher.h"
#include "app/ui/ImageEditorLauncher.h"
#include "app/ui/MessageRowControls.h"
#include "ui/UiPictures.h"
#include "app/ui/UnavailableFeature.h"
#include "link/PortWatcher.h"
#include "link/SerialPortList.h"
#include "render/SendPreparation.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
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

constexpr int SignTreeRefillMs = 300;  // timer 10: the tree is filled once more after start-up
constexpr int SignListSaveMs = 1000;   // timer 11: the sign list is saved a second after a tick
constexpr int ItemIdRole = Qt::UserRole;
constexpr int EndTimerMs = 1000;      // timer 1
constexpr int ProgressTimerMs = 100;  // timer 2
constexpr int PortSettleMs = 1000;    // timers 4 and 5: a device needs a moment to settle

struct LanguageItem {
    int command;
    int code;
    const char* text;
};
// The Language menu in menu order; its texts are each in their own language.
const LanguageItem kLanguages[] = {
    {32843, 1, "中文简体"},      {32844, 2, "中文繁體"},         {32842, 3, "English"},
    {32864, 4, "日本語"},        {32847, 5, "한국의"},            {32848, 6, "Русский"},
    {32870, 7, "ภาษาไทย"},       {32871, 8, "bahasa Indonesia"}, {32872, 9, "melayu"},
    {32873, 10, "Việt Ngữ"},
};
// Only the first six languages show a check mark.
constexpr int CheckableLanguages = 6;

struct ColumnLabel {
    int id;
    const char* text;
    int column;
};
const ColumnLabel kColumnLabels[] = {
    {1050, "Preview", MessageRowControls::PreviewColumn}, {1079, "Edit", MessageRowControls::ContentColumn},
    {1080, "Effect", MessageRowControls::EffectColumn},   {1081, "Speed", MessageRowControls::SpeedColumn},
    {1082, "Time", MessageRowControls::TimeColumn},       {1083, "Marquee", MessageRowControls::MarqueeColumn},
    {1085, "Blink", MessageRowControls::BlinkColumn},     {1093, "Send", MessageRowControls::SendColumn},
    {1084, "Vertical", MessageRowControls::RightToLeftColumn},
};
constexpr int HiddenColumnLabel = 1084;

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
        editors = std::make_unique<DefaultEditorLauncher>();
    if (!listPorts)
        listPorts = &SerialPortList::ListSerialPorts;
    setWindowTitle(Title);
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
    RefreshPortList(true);
    if (services.watchPorts)
        StartPortWatcher();
    FillModelList();
    ApplyModelToWindow();
    FillSignTree();
    LoadPreviews();
    RefreshRowControls();
    treeReady = true;
    QTimer::singleShot(SignTreeRefillMs, this, &CVexaDlg::FillSignTree);
    ResizeToDialogUnits();
}

CVexaDlg::~CVexaDlg() { SaveOnce(); }

void CVexaDlg::SaveOnce() {
    if (shutDown)
        return;
    shutDown = true;
    app.Shutdown();
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
}

// A device coming or going starts its timer (again); the list is rebuilt a second later.
void CVexaDlg::StartPortWatcher() {
    portWatcher = new PortWatcher(this);
    connect(portWatcher, &PortWatcher::deviceArrived, arrivalTimer, qOverload<>(&QTimer::start));
    connect(portWatcher, &PortWatcher::deviceRemoved, removalTimer, qOverload<>(&QTimer::start));
    portWatcher->Start();
}

QMenu* CVexaDlg::AddMenu(const QString& title) { return menuBar()->addMenu(title); }

QAction* CVexaDlg::AddCommand(QMenu* menu, const QString& text, int commandId) {
    QAction* action = menu->addAction(text);
    action->setProperty("commandId", commandId);
    return action;
}

void CVexaDlg::BuildMenus() {
    QMenu* file = AddMenu(QStringLiteral("File(&F)"));
    connect(AddCommand(file, QStringLiteral("New(&N)"), FileNew), &QAction::triggered, this, &CVexaDlg::OnNew);
    connect(AddCommand(file, QStringLiteral("Open(&O)"), FileOpen), &QAction::triggered, this, &CVexaDlg::OnOpen);
    connect(AddCommand(file, QStringLiteral("Save(&S)"), FileSave), &QAction::triggered, this, &CVexaDlg::OnSave);
    file->addSeparator();
    connect(AddCommand(file, QStringLiteral("Exit(&E)"), FileExit), &QAction::triggered, this, &CVexaDlg::OnExit);

    QMenu* setting = AddMenu(QStringLiteral("Setting(&S)"));
    connect(AddCommand(setting, QStringLiteral("ID Modify(&I)"), IdModify), &QAction::triggered, this,
            [this] { UnavailableFeature::Tell(this, QStringLiteral("ID Modify")); });

    QMenu* tools = AddMenu(QStringLiteral("Tools(&T)"));
    connect(AddCommand(tools, QStringLiteral("Synchronize Time(&V)"), SynchronizeTime), &QAction::triggered, this,
            [this] { OnCheckTime(false); });
    connect(AddCommand(tools, QStringLiteral("Send(&T)"), SendCommand), &QAction::triggered, this, &CVexaDlg::OnSend);
    connect(AddCommand(tools, QStringLiteral("Group Send(&G)"), GroupSend), &QAction::triggered, this, [this] {
        app.messageTable.SaveParams();
        UnavailableFeature::Tell(this, QStringLiteral("Group Send"));
    });

    languageMenu = AddMenu(QStringLiteral("Language(&L)"));
    for (const LanguageItem& language : kLanguages) {
        QAction* action = AddCommand(languageMenu, QString::fromUtf8(language.text), language.command);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, code = language.code] { OnLanguage(code); });
    }
    connect(languageMenu, &QMenu::aboutToShow, this, &CVexaDlg::UpdateLanguageChecks);

    QMenu* help = AddMenu(QStringLiteral("Help(&H)"));
    connect(AddCommand(help, QStringLiteral("About(&A)"), HelpAbout), &QAction::triggered, this, &CVexaDlg::OnAbout);
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
    auto* modify = WithId(new CPictureButton(QStringLiteral("Modify"), UiPictures::ModifySign, 0, group), ModifyButton);
    auto* del = WithId(new CPictureButton(QStringLiteral("Del"), UiPictures::DeleteSign, 0, group), DelButton);
    auto* scan = WithId(new CPictureButton(QStringLiteral("Scan"), UiPictures::ScanSigns, 0, group), ScanButton);
    scanButton = scan;
    connect(add, &QPushButton::clicked, this, [this] { UnavailableFeature::Tell(this, QStringLiteral("Adding signs")); });
    connect(modify, &QPushButton::clicked, this,
            [this] { UnavailableFeature::Tell(this, QStringLiteral("Renaming signs")); });
    connect(del, &QPushButton::clicked, this, &CVexaDlg::OnDeleteSign);
    connect(scan, &QPushButton::clicked, this, &CVexaDlg::OnScan);

    auto* buttons = new QGridLayout;
    buttons->addWidget(add, 0, 0);
    buttons->addWidget(modify, 0, 1);
    buttons->addWidget(del, 1, 0);
    buttons->addWidget(scan, 1, 1);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(signTree, 1);
    groupLayout->addLayout(buttons);

    modelList = WithId(new QComboBox(this), ModelList);
    modelList->setMaxVisibleItems(18);
    connect(modelList, &QComboBox::activated, this, &CVexaDlg::OnModelSelected);
    comList = WithId(new QComboBox(this), ComList);
    // Besides the listed ports a device can be typed ("/dev/pts/3": pseudo-terminals and
    // simulators are never listed).
    comList->setEditable(true);
    comList->setInsertPolicy(QComboBox::NoInsert);
    comList->setToolTip(QStringLiteral("Serial port"));
    comList->lineEdit()->setPlaceholderText(QStringLiteral("ttyUSB0"));
    connect(comList, &QComboBox::activated, this, [this](int index) { ChoosePort(comList->itemText(index)); });
    connect(comList->lineEdit(), &QLineEdit::editingFinished, this, [this] { ChoosePort(comList->currentText()); });
    box485 = WithId(new QCheckBox(QStringLiteral("485"), this), Check485);
    const int option485 = app.settingsFile.Mode485();
    box485->setChecked(option485 != 0);
    app.signLink.address485 = option485;
    connect(box485, &QCheckBox::clicked, this, &CVexaDlg::On485Clicked);

    auto* settings = new QGridLayout;
    settings->addWidget(new QLabel(QStringLiteral("MODEL"), this), 0, 0);
    settings->addWidget(modelList, 0, 1);
    settings->addWidget(new QLabel(QStringLiteral("COM"), this), 1, 0);
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
        auto* row = new MessageRowControls(i, this);
        MessageImage& image = row->preview->Image();
        image.glyphLibrary = &app.glyphLibrary;
        image.dataDir = app.Paths().DataDir();
        image.imageDir = app.Paths().ImageDir();
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
    sendButton = WithId(new CPictureButton(QStringLiteral("Send"), UiPictures::Send, UiPictures::SendHover, this),
                        SendButton);
    connect(checkTimeButton, &QPushButton::clicked, this, [this] { OnCheckTime(true); });
    connect(bmpEditor, &QPushButton::clicked, this, &CVexaDlg::OnBmpEditor);
    connect(sendButton, &QPushButton::clicked, this, &CVexaDlg::OnSend);
    progressBar = WithId(new QProgressBar(this), ProgressBar);
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
}

void CVexaDlg::FillModelList() {
    modelList->clear();
    modelList->addItems(ModelCatalogue::Names());
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
    const QSize wanted(std::max(width, sizeHint().width()),
                       std::max(height + menuBar()->sizeHint().height() + statusPanes->sizeHint().height(),
                                sizeHint().height()));
    resize(wanted);
}

// ---------------------------------------------------------------------------------------
// Model

void CVexaDlg::ApplyModelToWindow() {
    const QString name = app.settingsFile.LedType();
    app.signLink.ApplyModel(name); // model members and the port's settings string
    model.ApplyModel(name);
    for (MessageRowControls* row : rows) {
        MessageImage& image = row->preview->Image();
        image.rows = model.rows;
        image.exportHeight = model.PreviewExportHeight();
        image.pageWidth = model.pageWidth;
        image.pagePitch = model.pagePitch;
        row->preview->Refresh();
    }
    statusPanes->SetPaneText(0, ModelCatalogue::StatusText(app.language, name));
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
    Command(GroupSend)->setEnabled(groupSendEnabled);
}

void CVexaDlg::OnModelSelected(int index) {
    if (index < 0)
        return;
    if (ModelChange::Apply(app, modelList->itemText(index)) == ModelChange::Result::Unchanged)
        return;
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
    row->contentButton->setText(RowRules::ContentCaption(table.kind[r], hasClock));
    row->effectButton->setText(RowRules::EffectCaption(table.effect[r], model.effectListSet));
    row->speedBox->setCurrentIndex(table.speed[r] >= 0 && table.speed[r] < row->speedBox->count() ? table.speed[r] : -1);
    row->timeBox->setCurrentIndex(table.holdTime[r] >= 0 && table.holdTime[r] < row->timeBox->count() ? table.holdTime[r]
                                                                                                      : -1);
    row->blinkBox->setChecked(table.blink[r] != 0);
    row->rightToLeftBox->setChecked(table.arabic[r] != 0);
    row->marqueeBox->setChecked(table.marquee[r] != 0);
    row->sendBox->setChecked(table.sendFlag[r] != 0);
    EnableRowControls(i);
}

void CVexaDlg::EnableRowControls(int i) {
    const auto r = static_cast<size_t>(i);
    MessageRowControls* row = rows[r];
    row->rightToLeftBox->setChecked(app.messageTable.arabic[r] != 0);
    row->ApplyEnabling(RowRules::EnablingFor(model.Model(), model.rows, app.messageTable.kind[r]));
}

void CVexaDlg::LoadPreviews() {
    CMessageTable& table = app.messageTable;
    for (int i = 0; i < RowCount; ++i) {
        const auto r = static_cast<size_t>(i);
        const QString content = table.ReadContent(i);
        CImageWnd* preview = rows[r]->preview;
        preview->Image().arabic = table.arabic[r];
        preview->Image().yOffset = table.yOffset[r];
        preview->SetContent(content);
        UpdatePageAlign(i);
    }
}

void CVexaDlg::UpdatePageAlign(int i) {
    const auto r = static_cast<size_t>(i);
    const int align =
        ModelCatalogue::PageAlignFor(model.Model(), app.messageTable.holdTime[r], app.messageTable.effect[r]);
    rows[r]->preview->SetPageAlign(align != 0);
}

void CVexaDlg::OnSpeed(int row, int index) {
    app.messageTable.speed[static_cast<size_t>(row)] = index;
    app.messageTable.SaveParams();
}

void CVexaDlg::OnTime(int row, int index) {
    app.messageTable.holdTime[static_cast<size_t>(row)] = index;
    app.messageTable.SaveParams();
    UpdatePageAlign(row);
}

void CVexaDlg::OnEffectItem(int row, int item) {
    const int effect = item - RowRules::MenuItemBase;
    rows[static_cast<size_t>(row)]->effectButton->setText(RowRules::EffectCaption(effect, model.effectListSet));
    app.messageTable.effect[static_cast<size_t>(row)] = effect;
    app.messageTable.SaveParams();
    UpdatePageAlign(row);
}

void CVexaDlg::OnFlag(int row, int field, bool checked) {
    app.messageTable.Param(field)[static_cast<size_t>(row)] = checked ? 1 : 0;
    app.messageTable.SaveParams();
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
    rows[r]->contentButton->setText(RowRules::ContentCaption(app.messageTable.kind[r], hasClock));
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
    const SignTreeContent content = SignTreeContent::Build(app.idList, scanning);
    auto* root = new QTreeWidgetItem(signTree, QStringList{QStringLiteral("LEDS")});
    root->setData(0, ItemIdRole, 0);
    root->setFlags(root->flags() | Qt::ItemIsUserCheckable);
    for (const SignTreeContent::Sign& sign : content.signs) {
        auto* item = new QTreeWidgetItem(root, QStringList{sign.text});
        item->setData(0, ItemIdRole, sign.id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, sign.checked ? Qt::Checked : Qt::Unchecked);
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
    SignTreeContent::ApplyTick(app.idList, id, checked);
    treeReady = false;
    for (int i = 0; i < item->childCount(); ++i)
        item->child(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    treeReady = true;
    if (checked)
        item->setExpanded(true);
    signListSaveTimer->start();
}

void CVexaDlg::OnDeleteSign() {
    QTreeWidgetItem* selected = signTree->currentItem();
    if (!selected || !selected->parent() || !selected->isSelected())
        return;
    if (!SignTreeContent::RemoveFromTree(app.idList, app.settingsFile.NowSelID()))
        return;
    app.idList.SaveIdList();
    FillSignTree();
}

// Copy and paste of a sign's messages; the menu texts are the same in every language.
void CVexaDlg::OnSignMenu(const QPoint& position) {
    QTreeWidgetItem* item = signTree->itemAt(position);
    if (!item || !item->parent())
        return;
    const int target = item->data(0, ItemIdRole).toInt();
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("复制内容"));
    copy->setProperty("commandId", 2024);
    QAction* paste = menu.addAction(QStringLiteral("粘贴内容"));
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
        QMessageBox::critical(this, QStringLiteral("Error"), QStringLiteral("Can't copy the messages!"));
        return;
    }
    if (target == app.settingsFile.NowSelID()) {
        app.messageTable.OpenMessageFile(app.Paths().WorkFilePath(target));
        ReloadCurrentFile();
    }
}

// ---------------------------------------------------------------------------------------
// Menus and buttons

void CVexaDlg::ReloadCurrentFile() {
    LoadPreviews();
    RefreshRowControls();
}

void CVexaDlg::OnNew() {
    if (QMessageBox::question(this, QString(), QStringLiteral("New File？"), QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    WorkFiles::NewFile(app);
    ReloadCurrentFile();
}

void CVexaDlg::OnOpen() {
    app.messageTable.SaveParams();
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("LED Files (*.led)"));
    if (chosen.isEmpty())
        return;
    if (!WorkFiles::OpenFile(app, chosen))
        QMessageBox::critical(this, QStringLiteral("Error"), QStringLiteral("Can't open the message file!"));
    ReloadCurrentFile();
}

void CVexaDlg::OnSave() {
    app.messageTable.SaveParams();
    QFileDialog dialog(this, QString(), QString(), QStringLiteral("LED Files (*.led)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("led"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    if (!WorkFiles::SaveFileAs(app, dialog.selectedFiles().constFirst()))
        QMessageBox::critical(this, QStringLiteral("Error"), QStringLiteral("Can't save the message file!"));
}

void CVexaDlg::OnExit() {
    if (QMessageBox::question(this, QString(), QStringLiteral("Exit？"), QMessageBox::Yes | QMessageBox::No) ==
        QMessageBox::Yes)
        close();
}

void CVexaDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CVexaDlg::OnBmpEditor() {
    if (!ImageEditorLauncher::Launch(app.Paths()))
        QMessageBox::critical(this, QStringLiteral("Error"), QStringLiteral("Can't execute image editor program!"));
}

void CVexaDlg::On485Clicked(bool checked) {
    app.signLink.address485 = checked ? 1 : 0;
    app.settingsFile.SetMode485(checked ? 1 : 0);
}

void CVexaDlg::OnLanguage(int code) {
    app.language = code;
    app.settingsFile.SetLanguage(code);
    statusPanes->SetPaneText(0, ModelCatalogue::StatusText(code, app.settingsFile.LedType()));
    UpdateLanguageChecks();
}

void CVexaDlg::UpdateLanguageChecks() {
    const int stored = app.settingsFile.Language();
    const bool readable = app.settingsFile.Readable();
    int index = 0;
    for (const LanguageItem& language : kLanguages) {
        QAction* action = Command(language.command);
        action->setChecked(readable && index < CheckableLanguages && stored == language.code);
        ++index;
    }
}

// ---------------------------------------------------------------------------------------
// Serial ports

void CVexaDlg::RefreshPortList(bool preferNewPort) {
    const QList<SerialPortList::Port> ports = listPorts();
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
    app.signLink.SetPortName(device);
    QString shown = device;
    if (shown.startsWith(QLatin1String("/dev/")))
        shown = shown.mid(5);
    statusPanes->SetPaneText(1, QStringLiteral("COM:%1").arg(shown));
}

bool CVexaDlg::HasPort() const { return !comList->currentText().trimmed().isEmpty(); }

// ---------------------------------------------------------------------------------------
// Transfers: Send, Synchronize Time, Scan and the engine's reports

void CVexaDlg::SetUpTransfers() {
    connect(&app.signLink, &SignLink::linkMessage, this, &CVexaDlg::OnLinkMessage);
    connect(&app.signLink, &SignLink::openFailure, this, [this](const QString& text) {
        QMessageBox::warning(this, QCoreApplication::applicationName(), text);
    });
    transfers = new TransferRunner(app, this);
    // The window sends what its previews show.
    transfers->SetPreparer([this](const DisplayModel& current, Payload& payload) {
        SendPreparation::RowImageList images{};
        for (int i = 0; i < RowCount; ++i)
            images[static_cast<size_t>(i)] = &rows[static_cast<size_t>(i)]->preview->Image();
        SendPreparation::PrepareSendData(current, images, app.messageTable, payload);
    });
    transfers->SetSizeQuestion([this](const QString& text, int) {
        return QMessageBox::question(this, QStringLiteral("Information"), text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    });
    connect(transfers, &TransferRunner::signStarting, this, &CVexaDlg::OnSignStarting);
    connect(transfers, &TransferRunner::sendsFinished, this, &CVexaDlg::OnSendsFinished);
    connect(transfers, &TransferRunner::clockChecked, this, [this](bool ok) {
        if (ok)
            QMessageBox::information(this, QStringLiteral("Information"), TransferRunner::ClockText(true));
        else
            QMessageBox::critical(this, QStringLiteral("Error"), TransferRunner::ClockText(false));
    });
}

// While a transfer runs the link engine reads the message table and the payload from its
// worker thread, so nothing may reload or change them: the rows, the model list, the sign
// tree and the file commands wait until it has ended.
void CVexaDlg::SetIdle(bool isIdle) {
    idle = isIdle;
    Command(SendCommand)->setEnabled(idle);
    for (int command : {FileNew, FileOpen})
        Command(command)->setEnabled(idle);
    rowArea->setEnabled(idle);
    modelList->setEnabled(idle);
    signTree->setEnabled(idle);
}

void CVexaDlg::TransferStarted() {
    SetIdle(false);
    sendButton->setEnabled(false);
    progressTimer->start();
}

void CVexaDlg::OnSend() {
    if (!idle)
        return;
    if (!box485->isChecked()) {
        const TransferRunner::Start start = transfers->BeginTransfer();
        if (start == TransferRunner::Start::Started)
            TransferStarted();
        else if (start == TransferRunner::Start::NoModel)
            QMessageBox::warning(this, QStringLiteral("Warning"), QStringLiteral("Please choose the display model first."));
        return;
    }
    if (app.idList.TickedIds().isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Warning"), TransferRunner::NoIdSelectedText(app.language));
        return;
    }
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
        QMessageBox::warning(this, QStringLiteral("Warning"), QStringLiteral("Please choose the display model first."));
    if (start != TransferRunner::Start::Started && waitDialog)
        waitDialog->close();
}

// A sign of a multi-sign send is about to be sent: show its rows (the send is prepared
// from the previews) and where the chain stands.
void CVexaDlg::OnSignStarting(int id, int index, int total) {
    LoadPreviews();
    RefreshRowControls();
    if (transfers->ChainRunning()) {
        TransferStarted();
        if (waitDialog) {
            waitDialog->SetPosition(index);
            waitDialog->SetText(TransferTexts::WaitText(app.language, id, total, total - index));
        }
    }
}

// Every send is over; the selected sign's file is open again.
void CVexaDlg::OnSendsFinished() {
    LoadPreviews();
    RefreshRowControls();
    if (waitDialog)
        waitDialog->close();
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
        if (TransferProgress::IsFailureReport(lParam))
            QMessageBox::critical(this, QStringLiteral("Error"), TransferRunner::ResultText(report.result));
        return;
    }
    case SignLink::GroupFailedMessage:
        QMessageBox::critical(this, QCoreApplication::applicationName(),
                              QStringLiteral("%1 Send failed").arg(lParam - wParam));
        return;
    case SignLink::ScanFinishedMessage:
        FillSignTree(); // still showing which signs answered
        scanning = false;
        return;
    case SignLink::ScanProgressMessage:
        progressTarget = static_cast<int>(wParam);
        progressBar->setValue(static_cast<int>(wParam));
        if (lParam == 1)
            OnProgressEnd(static_cast<int>(wParam));
        return;
    default: return; // 1128 is the transfer runner's
    }
}

void CVexaDlg::OnProgressEnd(int percent) {
    progressTimer->stop();
    progressBar->setValue(percent);
    statusPanes->SetPaneText(3, QStringLiteral("100%"));
    SetIdle(true);
    statusPanes->SetPaneText(2, QStringLiteral("OK!"));
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
    statusPanes->SetPaneText(2, QString());
    statusPanes->SetPaneText(3, QString());
    progressBar->setValue(0);
}

void CVexaDlg::OnCheckTime(bool fromButton) {
    if (fromButton)
        statusPanes->SetPaneText(3, QString());
    transfers->SynchronizeTime();
}

void CVexaDlg::OnScan() {
    if (!HasPort()) {
        QMessageBox::information(this, QString(), TransferTexts::SelectPortFirst(app.language));
        return;
    }
    scanning = true;
    if (transfers->StartScan() != TransferRunner::Start::Started) {
        scanning = false;
        return;
    }
    SetIdle(false);
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
    const auto actions = menuBar()->findChildren<QAction*>();
    for (QAction* a : actions) {
        if (a->property("commandId").toInt() == commandId)
            return a;
    }
    return nullptr;
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
    case Qt::Key_Enter: event->accept(); return; // the dialog's OK command does nothing
    case Qt::Key_Escape: close(); return;
    default: QMainWindow::keyPressEvent(event);
    }
}

} // namespace vexa
