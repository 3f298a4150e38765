#pragma once
// Driving a modal window from a test: the steps run inside the next modal window once
// it is up, and the window is closed afterwards if the steps left it open or failed.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace support {

inline void onModal(QObject *context, std::function<void(QDialog *)> steps)
{
    QTimer::singleShot(0, context, [steps] {
        auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!modal)
            QFAIL("no modal window");
        steps(modal);
        if (modal->isVisible())
            modal->reject();
    });
}

} // namespace support
