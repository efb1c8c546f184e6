#include "editors/CDialogImg.h"

#include "editors/CDialogPicture.h"
#include "editors/EditorPreview.h"
#include "render/PictureReader.h"
#include "render/RowCheck.h"
#include "render/ui/CImageWnd.h"
#include "render/ui/CPicWnd.h"
#include "ui/DialogLook.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vexa {

QString CDialogImg::FileFilter(const QWidget* owner) {
    return Say(owner, LanguageTexts::Text::ImageFiles) + QStringLiteral(" (*.bmp *.png *.jpg *.jpeg *.gif)");
}

CDialogImg::CDialogImg(int rowIndex, CMessageTable& table, const ImageEditorModel::Setup& setup,
                       QWidget* parent)
    : CVexaDialog(TemplateId, parent), model(table, rowIndex, setup) {
    setWindowTitle(QStringLiteral("Image Editor"));
    chooseFile = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QString(), QString(), FileFilter(owner));
    };
    choosePicture = [](QWidget* owner) {
        const QString filter = Say(owner, LanguageTexts::Text::ImageFiles) + QStringLiteral(" (") +
                               PictureReader::NameFilters().join(u' ') + u')';
        return QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
    };
    importPicture = [this](QWidget* owner, const QString& path) {
        PictureImportModel::Setup importSetup;
        importSetup.model = model.Settings().model;
        importSetup.picturesDir = model.Settings().picturesDir;
        importSetup.led = model.Settings().ledColour;
        CDialogPicture dialog(importSetup, path, owner);
        return dialog.exec() == QDialog::Accepted ? dialog.SavedPath() : QString();
    };
    refuse = [](QWidget* owner, const QString& text) {
        QMessageBox::warning(owner, Say(owner, LanguageTexts::Text::CaptionWarning), text);
    };
    BuildControls();
    model.LoadRow();
    ShowList();
    preview->Refresh();
    ApplyDialogTexts();
}

void CDialogImg::BuildControls() {
    const auto frame =
        EditorPreview::MakeFrame(this, PreviewGroup, PreviewWindow, model.Preview(),
                                 EditorPreview::GlyphLargeDot, 520, EditorPlayback::RowOf(model));
    auto* previewGroup = frame.group;
    preview = frame.window;

    auto* editGroup =
        DialogLook::Tag(new QGroupBox(QStringLiteral("Edit"), this), EditGroup, QStringLiteral("Edit"));
    list = DialogLook::Tag(new QListWidget(editGroup), PathList, QStringLiteral("Picture files"));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // The warning sign of a picture the row check names stays within the line's height.
    const int mark = list->fontMetrics().height();
    list->setIconSize(QSize(mark, mark));
    list->setMinimumWidth(300);
    picture = DialogLook::Tag(new CPicWnd(editGroup), PictureBox, QStringLiteral("Selected picture"));
    picture->setFixedSize(140, 100);

    struct ButtonSpec {
        int id;
        const char* text;
        const char* tip;
        void (CDialogImg::*handler)();
    };
    const ButtonSpec specs[] = {
        {AddButton, "Add", "Add a picture file at the end of the list", &CDialogImg::OnAdd},
        {ImportButton, "Import picture…", "Prepare a picture for the sign and add it to the list",
         &CDialogImg::OnImport},
        {DelButton, "Del", "Delete the selected picture", &CDialogImg::OnDel},
        {UpButton, "Up", "Move the selected picture up", &CDialogImg::OnUp},
        {DownButton, "Down", "Move the selected picture down", &CDialogImg::OnDown},
    };
    auto* side = new QVBoxLayout;
    QWidget* last = list;
    for (const ButtonSpec& spec : specs) {
        // The import button is the program's own: its words come from the language module.
        const bool own = spec.id == ImportButton;
        const QString text = own ? Say(LanguageTexts::Text::ImportPicture) : QString::fromUtf8(spec.text);
        auto* button = DialogLook::Tag(new QPushButton(text, editGroup), spec.id, text);
        button->setToolTip(own ? Say(LanguageTexts::Text::ImportPictureTip) : QString::fromUtf8(spec.tip));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, spec.handler);
        side->addWidget(button);
        setTabOrder(last, button);
        last = button;
    }
    side->addStretch();
    auto* editLayout = new QHBoxLayout(editGroup);
    editLayout->addWidget(list, 1);
    editLayout->addWidget(picture, 0, Qt::AlignTop);
    editLayout->addLayout(side);

    auto* ok = DialogLook::Tag(new QPushButton(QStringLiteral("OK"), this), OkButton, QStringLiteral("OK"));
    auto* cancel = DialogLook::Tag(new QPushButton(QStringLiteral("Cancel"), this), CancelButton,
                                   QStringLiteral("Cancel"));
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    setTabOrder(last, ok);
    setTabOrder(ok, cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(previewGroup);
    layout->addWidget(editGroup, 1);
    layout->addLayout(buttons);

    connect(list, &QListWidget::itemSelectionChanged, this, &CDialogImg::OnSelectionChanged);
    connect(ok, &QPushButton::clicked, this, &CDialogImg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CDialogImg::ShowList() {
    showing = true;
    list->clear();
    list->addItems(model.Entries());
    if (model.Selected() >= 0)
        list->setCurrentRow(model.Selected(), QItemSelectionModel::ClearAndSelect);
    showing = false;
    picture->SetImagePath(model.SelectedPath());
    preview->Refresh();
    MarkEntries();
}

// Pictures the row check names carry a warning sign and say why in their tooltip.
void CDialogImg::MarkEntries() {
    const RowFindings& findings = model.Preview().Findings();
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        const QString about = RowCheck::AboutSubject(findings, item->text(), Texts());
        item->setIcon(about.isEmpty() ? QIcon() : warning);
        item->setToolTip(about);
        item->setData(Qt::AccessibleDescriptionRole, about);
    }
}

// The selection, not the current row, is the entry the buttons act on: the list makes its
// first row current when it gets the focus without selecting it.
void CDialogImg::OnSelectionChanged() {
    if (showing)
        return;
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    model.Select(chosen.isEmpty() ? -1 : list->row(chosen.constFirst()));
    if (!model.SelectedPath().isEmpty())
        picture->SetImagePath(model.SelectedPath());
}

void CDialogImg::OnAdd() {
    const QString path = chooseFile ? chooseFile(this) : QString();
    if (model.Add(path) == ImageEditorModel::AddResult::HasSeparator && refuse)
        refuse(this, Say(LanguageTexts::Text::PathHasSeparator));
    ShowList();
}

void CDialogImg::OnImport() {
    const QString source = choosePicture ? choosePicture(this) : QString();
    if (source.isEmpty() || !importPicture)
        return;
    const QString prepared = importPicture(this, source);
    if (prepared.isEmpty())
        return;
    if (model.Add(prepared) == ImageEditorModel::AddResult::HasSeparator && refuse)
        refuse(this, Say(LanguageTexts::Text::PathHasSeparator));
    ShowList();
}

void CDialogImg::OnDel() {
    model.Delete();
    ShowList();
}

void CDialogImg::OnUp() {
    if (model.Up())
        ShowList();
}

void CDialogImg::OnDown() {
    if (model.Down())
        ShowList();
}

void CDialogImg::OnOk() {
    model.Ok(&emptyResult);
    accept();
}

} // namespace vexa
