#include "ui/CVexaDialog.h"
#include "ui/DialogLook.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace vexa;

class TestDialogLook : public QObject {
    Q_OBJECT

private slots:
    // Every window shows the background, and all windows and their controls share one
    // palette: a palette of their own would make the style draw each button afresh. Other
    // windows (message boxes, file dialogs) keep the application's palette.
    void controlsShareTheWindowsPalette() {
        qint64 firstKey = 0;
        for (int window = 0; window < 2; ++window) {
            CVexaDialog dialog(140);
            auto* layout = new QVBoxLayout(&dialog);
            auto* button = new QPushButton(QStringLiteral("OK"));
            auto* box = new QComboBox;
            layout->addWidget(button);
            layout->addWidget(box);
            dialog.show();
            QCOMPARE(dialog.palette().color(QPalette::Window), DialogLook::Background());
            QCOMPARE(button->palette().color(QPalette::Window), DialogLook::Background());
            QCOMPARE(button->palette().cacheKey(), dialog.palette().cacheKey());
            QCOMPARE(box->palette().cacheKey(), dialog.palette().cacheKey());
            if (window == 0)
                firstKey = dialog.palette().cacheKey();
            QCOMPARE(dialog.palette().cacheKey(), firstKey); // one palette for every window
        }
        QWidget other;
        QCOMPARE(other.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    }

    // A new application palette (a desktop theme change brings one) drops Qt's class
    // palettes: an open window gets its background back at once.
    void backgroundOutlivesANewApplicationPalette() {
        CVexaDialog dialog(140);
        auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
        dialog.show();
        QPalette theme = QApplication::palette();
        theme.setColor(QPalette::Button, QColor(0x80, 0x80, 0x80));
        QApplication::setPalette(theme);
        QCoreApplication::processEvents();
        QCOMPARE(dialog.palette().color(QPalette::Window), DialogLook::Background());
        QCOMPARE(button->palette().color(QPalette::Window), DialogLook::Background());
        QCOMPARE(button->palette().color(QPalette::Button), QColor(0x80, 0x80, 0x80));
    }
};

QTEST_MAIN(TestDialogLook)
#include "tst_dialoglook.moc"
