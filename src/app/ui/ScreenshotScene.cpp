#include "app/ui/ScreenshotScene.h"

#include "app/ui/CSignViewDlg.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/MessageRowControls.h"
#include "link/ui/CDialogGroup.h"
#include "render/PngFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace vexa {

namespace {

constexpr int SettleMs = 800;
constexpr int PollMs = 200;

bool Save(QWidget* widget, const QString& target) {
    return widget && PngFile::Write(widget->grab().toImage(), target);
}

// Calls ready() once test() holds, polling; the poll ends with its owner.
void When(QObject* owner, std::function<bool()> test, std::function<void()> ready) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, test, ready] {
        if (!test())
            return;
        timer->stop();
        timer->deleteLater();
        ready();
    });
    timer->start(PollMs);
}

// Opens a modal dialog with open(), saves its picture once it has settled, then closes it.
void ShootDialog(CVexaDlg& window, const std::function<void()>& open, const QString& target,
                 std::function<void(bool)> done) {
    QTimer::singleShot(SettleMs, &window, [&window, target, done] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        const bool saved = Save(dialog, target);
        if (dialog)
            dialog->reject();
        QTimer::singleShot(0, &window, [done, saved] { done(saved); });
    });
    QTimer::singleShot(0, &window, open);
}

void Click(QWidget* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->click();
}

} // namespace

void ScreenshotScene::ChoosePort(CVexaDlg& window, const QString& port) {
    auto* com = qobject_cast<QComboBox*>(window.Control(CVexaDlg::ComList));
    if (!com || port.isEmpty())
        return;
    com->setEditText(port);
    emit com->lineEdit()->editingFinished();
}

bool ScreenshotScene::Known(const QString& scene) {
    return QStringList{QStringLiteral("id-editor"),        QStringLiteral("id-modify"),
                       QStringLiteral("group-send"),       QStringLiteral("after-scan"),
                       QStringLiteral("after-group-send"), QStringLiteral("sign-view"),
                       QStringLiteral("editor-playing"),   QStringLiteral("rows-playing")}
        .contains(scene);
}

void ScreenshotScene::Run(CVexaDlg& window, const QString& scene, const QString& target,
                          std::function<void(bool)> done) {
    if (scene == QLatin1String("id-editor")) {
        ShootDialog(
            window, [&window] { Click(window.Control(CVexaDlg::AddButton)); }, target, done);
    } else if (scene == QLatin1String("id-modify")) {
        ShootDialog(
            window, [&window] { window.Command(CVexaDlg::IdModify)->trigger(); }, target, done);
    } else if (scene == QLatin1String("group-send")) {
        ShootDialog(
            window, [&window] { window.Command(CVexaDlg::GroupSend)->trigger(); }, target, done);
    } else if (scene == QLatin1String("after-scan")) {
        Click(window.Control(CVexaDlg::ScanButton));
        When(
            &window, [&window] { return window.LastScan().HasScan() && window.Idle(); },
            [&window, target, done] {
                QTimer::singleShot(SettleMs, &window,
                                   [&window, target, done] { done(Save(&window, target)); });
            });
    } else if (scene == QLatin1String("after-group-send")) {
        QTimer::singleShot(SettleMs, &window, [&window, target, done] {
            auto* dialog = qobject_cast<CDialogGroup*>(QApplication::activeModalWidget());
            if (!dialog) {
                done(false);
                return;
            }
            Click(dialog->Control(CDialogGroup::SendAllButton));
            When(
                &window, [&window] { return window.Idle(); },
                [&window, dialog, target, done] {
                    dialog->reject();
                    QTimer::singleShot(SettleMs, &window,
                                       [&window, target, done] { done(Save(&window, target)); });
                });
        });
        QTimer::singleShot(0, &window, [&window] { window.Command(CVexaDlg::GroupSend)->trigger(); });
    } else if (scene == QLatin1String("sign-view")) {
        window.Command(CVexaDlg::SignViewCommand)->trigger();
        QTimer::singleShot(2 * SettleMs, &window,
                           [&window, target, done] { done(Save(window.SignView(), target)); });
    } else if (scene == QLatin1String("rows-playing")) {
        for (int row = 0; row < 3; ++row)
            window.Row(row)->playButton->setChecked(true);
        QTimer::singleShot(2 * SettleMs, &window, [&window, target, done] { done(Save(&window, target)); });
    } else if (scene == QLatin1String("editor-playing")) {
        // The text editor of row 0 with its Play button on, a moment after it started.
        QTimer::singleShot(SettleMs, &window, [&window, target, done] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                done(false);
                return;
            }
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->isCheckable() && !button->isChecked())
                    button->click();
            QTimer::singleShot(2 * SettleMs, &window, [&window, dialog, target, done] {
                const bool saved = Save(dialog, target);
                dialog->reject();
                QTimer::singleShot(0, &window, [done, saved] { done(saved); });
            });
        });
        QTimer::singleShot(0, &window, [&window] {
            auto* button = qobject_cast<QPushButton*>(window.Control(MessageRowControls::ContentId));
            if (button && button->menu() && !button->menu()->actions().isEmpty())
                button->menu()->actions().front()->trigger();
        });
    } else {
        done(false);
    }
}

} // namespace vexa
