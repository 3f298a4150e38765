#include "app/application.h"
#include "app/workspace.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app::setUp(app);
    auto ws = Workspace::create();
    ws->start();
    // Start-up benchmark: end as soon as the login window has been shown and painted.
    if (qEnvironmentVariableIsSet("TIRELLO_BENCH_EXIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
