#pragma once

// Drives a modal dialog from inside its own event loop: the exec() that opens it blocks
// the caller until it closes.

#include "support/WidgetFinder.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>

namespace vexa::test {

// Runs steps on the modal dialog D once it is open, and closes it afterwards when the
// steps left it open, so that a failed step never hangs the test. Call it just before
// the action that opens the dialog. When no D opens, the test fails and whatever modal
// dialog opened instead is closed.
template <typename D> void WhenModal(std::function<void(D*)> steps) {
    QTimer::singleShot(0, [steps = std::move(steps)] {
        D* dialog = WaitForModal<D>();
        if (!dialog) {
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
            QTest::qFail("the expected dialog did not open", __FILE__, __LINE__);
            return;
        }
        if (!QTest::qWaitForWindowExposed(dialog))
            qWarning("the dialog was not shown");
        steps(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace vexa::test
