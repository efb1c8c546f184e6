#pragma once

// Answers the message boxes a test makes the window show.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

namespace vexa::test {

// While it lives, answers every message box that opens with its first button and keeps
// the box's text.
class BoxAnswerer {
public:
    QStringList texts;

    BoxAnswerer() {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts << box->text();
            box->buttons().constFirst()->click();
        });
        timer.start();
    }

private:
    QTimer timer;
};

} // namespace vexa::test
