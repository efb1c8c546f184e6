#pragma once

#include <QMainWindow>

namespace vexa {

class CVexaApp;

// The main window. Closing it (close box, Escape, SIGTERM) writes the rows' parameters.
class CVexaDlg : public QMainWindow {
    Q_OBJECT
public:
    static const QString Title;

    explicit CVexaDlg(CVexaApp& app, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CVexaApp& app;
    bool shutDown = false;
};

} // namespace vexa
