#include "app/application.h"
#include "app/workspace.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

// Without a graphical session (and without a platform chosen on purpose) the toolkit
// would only print its own plugin error.
bool desktopAvailable()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char **argv)
{
    if (!desktopAvailable()) {
        std::fputs("Tirello: nessuna sessione grafica disponibile; avviare il programma dal desktop.\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    app::setUp(app);
    auto ws = Workspace::create();
    ws->start();
    // Start-up benchmark: end as soon as the login window has been shown and painted.
    if (qEnvironmentVariableIsSet("TIRELLO_BENCH_EXIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
