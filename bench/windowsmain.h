#pragma once
// The main of a benchmark that makes windows: the benchmark's own arguments, an
// application (off screen unless a display or a platform is given, as bench/desktop.sh
// gives one), the data made once by `prepare`, then the runs. `ready` runs on the
// application before the data is made (a seam to record, the program's own set-up),
// `done` after the runs while the application is still there.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <exception>
#include <functional>

namespace benchwindows {

inline int run(int argc, char **argv, const char *name, const std::function<void()> &prepare,
               const std::function<void(QApplication &)> &ready = {}, const std::function<void()> &done = {})
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (ready)
        ready(app);
    try {
        prepare();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (done)
        done();
    return 0;
}

} // namespace benchwindows
