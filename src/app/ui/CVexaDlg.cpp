#include "app/ui/CVexaDlg.h"

#include "app/CVexaApp.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPalette>

namespace vexa {

const QString CVexaDlg::Title = QStringLiteral("Vexa\u00A0Message\u00A0Editor\u00A0v1.0");

CVexaDlg::CVexaDlg(CVexaApp& context, QWidget* parent) : QMainWindow(parent), app(context) {
    setWindowTitle(Title);
    setProperty("templateId", 102);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(240, 250, 255));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(1040, 560);
}

void CVexaDlg::closeEvent(QCloseEvent* event) {
    if (!shutDown) {
        app.Shutdown();
        shutDown = true;
    }
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
