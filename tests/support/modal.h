#pragma once
// Driving a modal window from a test: the steps run inside the next modal window once
// it is up, and the window is closed afterwards if the steps (and what they queued) left
// it open, so the test goes on instead of waiting.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace support {

inline void onModal(QObject *context, std::function<void(QDialog *)> steps)
{
    QTimer::singleShot(0, context, [steps = std::move(steps)] {
        auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!modal)
            QFAIL("no modal window");
        steps(modal);
        // What the steps queued (a double click's choice) runs first.
        QTimer::singleShot(0, modal, [window = QPointer<QDialog>(modal)] {
            if (window && window->isVisible())
                window->reject();
        });
    });
}

} // namespace support
