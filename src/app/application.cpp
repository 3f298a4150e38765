#include "application.h"

#include "storage/sharelock.h"

#include <QCoreApplication>

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QThread>
#include <QTranslator>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace app {

void setUp(QApplication &app)
{
#if defined(__GLIBC__)
    // Big blocks (the lines of a long list, the rows of an export grid) go back to the
    // system when they are freed: a list window closed gives back what it took, instead
    // of keeping it for whatever comes next and growing with every window opened.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
#endif
    app.setApplicationName(QStringLiteral("Tirello"));
    app.setWindowIcon(QIcon(QStringLiteral(":/img/logo.svg")));
    // Hiding the last visible window (a window switch) must not end the program.
    app.setQuitOnLastWindowClosed(false);

    QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);

    auto *qt = new QTranslator(&app);
    if (qt->load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);

    // While a save waits for another station's lock, the pointer shows it is busy.
    sharelock::setWaitingHook([](bool waiting) {
        if (QThread::currentThread() != qApp->thread())
            return;
        if (waiting)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    });
}

} // namespace app

namespace {
std::function<void()> g_endHandler;
}

void endProgram()
{
    if (g_endHandler)
        g_endHandler();
    else
        QCoreApplication::quit();
}

void setEndHandler(std::function<void()> handler)
{
    g_endHandler = std::move(handler);
}
