#pragma once
// Driving modal windows from a test: the steps run inside the next modal window once it
// is open. A failing step closes the window, so the test goes on instead of waiting.

#include <QApplication>
#include <QDialog>
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
        if (modal->isVisible() && QTest::currentTestFailed())
            modal->reject();
    });
}

} // namespace support
