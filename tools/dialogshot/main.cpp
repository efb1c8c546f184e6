// vexa-dialogshot --data-dir DIR --editor bitmapfont|image --row N [--click ID] [--pick FILE] OUT.png
// Opens the main window on DIR, launches the editor of row N as the window does, clicks
// the control ID inside it when asked (the picker button opens the character picker; the
// image editor's import button opens the picture preparation on FILE, which stands in for
// the file chooser), waits for the pictures to settle and saves the topmost dialog as OUT.png.

#include "app/CVexaApp.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/EditorLauncher.h"
#include "editors/CDialogImg.h"
#include "render/PngFile.h"
#include "ui/ToolTipStyle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QTimer>
#include <cstdio>

using namespace vexa;

namespace {

constexpr int SettleMs = 600;
// A picture is prepared in the background; a large photo takes a moment longer.
constexpr int PictureSettleMs = 2000;

QWidget* FindControl(QWidget* root, int id) {
    for (QWidget* child : root->findChildren<QWidget*>()) {
        if (child->property("controlId").toInt() == id)
            return child;
    }
    return nullptr;
}

// Saves the topmost modal dialog once it has been shown a moment, then ends every loop.
void SaveTopDialog(const QString& target, int* status, int settleMs = SettleMs) {
    QTimer::singleShot(settleMs, [target, status] {
        QWidget* dialog = QApplication::activeModalWidget();
        *status = dialog && PngFile::Write(dialog->grab().toImage(), target) ? 0 : 1;
        if (*status != 0)
            std::fprintf(stderr, "vexa-dialogshot: no dialog to save as %s\n", qPrintable(target));
        QApplication::exit(*status);
    });
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle(new ToolTipStyle);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Demo folder."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption editor(QStringLiteral("editor"), QStringLiteral("bitmapfont or image."),
                                    QStringLiteral("KIND"));
    const QCommandLineOption row(QStringLiteral("row"), QStringLiteral("Row 0-9."), QStringLiteral("N"),
                                 QStringLiteral("0"));
    const QCommandLineOption click(QStringLiteral("click"), QStringLiteral("Control to click in the editor."),
                                   QStringLiteral("ID"));
    const QCommandLineOption pick(QStringLiteral("pick"),
                                  QStringLiteral("Picture the image editor's file chooser answers."),
                                  QStringLiteral("FILE"));
    parser.addOptions({dataDir, editor, row, click, pick});
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("PNG file to write."));
    parser.process(application);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    const QString target = parser.positionalArguments().constFirst();
    const ContentEditorKind kind =
        parser.value(editor) == u"image" ? ContentEditorKind::Image : ContentEditorKind::BitmapFontText;

    CVexaApp app(AppPaths::ForApplication(parser.value(dataDir)));
    app.StartUp();
    CVexaDlg::Services services;
    services.watchPorts = false;
    CVexaDlg window(app, std::move(services));
    window.show();

    int status = 1;
    const int clickId = parser.value(click).toInt();
    QTimer::singleShot(SettleMs, &window, [&] {
        QTimer::singleShot(SettleMs, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* button =
                dialog && clickId ? qobject_cast<QAbstractButton*>(FindControl(dialog, clickId)) : nullptr;
            auto* imageEditor = qobject_cast<CDialogImg*>(dialog);
            if (imageEditor && parser.isSet(pick)) {
                const QString picked = parser.value(pick);
                imageEditor->choosePicture = [picked](QWidget*) { return picked; };
            }
            SaveTopDialog(target, &status, parser.isSet(pick) ? PictureSettleMs : SettleMs);
            if (button)
                button->click();
        });
        EditorLauncher(app).Launch(kind, parser.value(row).toInt(), &window);
    });
    QApplication::exec();
    return status;
}
