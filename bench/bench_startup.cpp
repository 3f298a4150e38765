// Start-up time of the program: wall time from starting the process until it has shown
// its login window and quit again (TIRELLO_BENCH_EXIT_WHEN_SHOWN), off screen.
// Target: 0.3 s.
//
//   bench_startup [--exe PATH] [--runs N] [--no-data]
//
// The executable is copied into temporary program folders, because the program keeps its
// files next to itself. Two folders are timed: a freshly set-up one (password file only)
// and one holding a big laboratory's archives. One warm-up start per folder is not
// counted, so that the figures are for a program whose files are in the disk cache.

#include "datagen.h"

#include "storage/crypt.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

constexpr double kTargetMs = 300.0;

struct Figures {
    double min = 0, median = 0, max = 0;
};

Figures summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    return {ms.front(), n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2, ms.back()};
}

// Milliseconds from start to exit; throws when the program fails or hangs.
double timeOnce(const QString &program, const QString &folder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TIRELLO_BENCH_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer t;
    t.start();
    p.start(program, {});
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        throw std::runtime_error(QStringLiteral("%1 did not end within 30 s: %2")
                                     .arg(program, QString::fromLocal8Bit(p.readAll()))
                                     .toStdString());
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(QStringLiteral("%1 ended with code %2: %3")
                                     .arg(program)
                                     .arg(p.exitCode())
                                     .arg(QString::fromLocal8Bit(p.readAll()))
                                     .toStdString());
    return ms;
}

Figures timeRuns(const QString &program, const QString &folder, int runs)
{
    timeOnce(program, folder); // warm-up
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms.push_back(timeOnce(program, folder));
    return summarise(ms);
}

// A program folder as set up for a laboratory: the executable and the password file.
QString programFolder(const QString &folder, const QString &exe)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error("cannot create " + folder.toStdString());
    const QString copy = QDir(folder).filePath(QFileInfo(exe).fileName());
    if (!QFile::copy(exe, copy))
        throw std::runtime_error(QStringLiteral("cannot copy %1 into %2").arg(exe, folder).toStdString());
    QFile::setPermissions(copy, QFile::permissions(exe));
    password::writeStored(QDir(folder).filePath(password::kFileName), password::kFirstPassword);
    return copy;
}

void print(const char *label, const Figures &f, bool withVerdict)
{
    std::printf("  %-30s min %8.1f ms   median %8.1f ms   max %8.1f ms", label, f.min, f.median, f.max);
    if (withVerdict)
        std::printf("   %s", f.median <= kTargetMs ? "within target" : "OVER TARGET");
    std::printf("\n");
}

int usage()
{
    std::fprintf(stderr, "usage: bench_startup [--exe PATH] [--runs N] [--no-data]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
#ifdef TIRELLO_EXECUTABLE
    QString exe = QStringLiteral(TIRELLO_EXECUTABLE);
#else
    QString exe;
#endif
    int runs = 10;
    bool withData = true;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--exe") && i + 1 < args.size()) {
            exe = args[++i];
        } else if (args[i] == QStringLiteral("--runs") && i + 1 < args.size()) {
            bool ok = false;
            runs = args[++i].toInt(&ok);
            if (!ok || runs < 1)
                return usage();
        } else if (args[i] == QStringLiteral("--no-data")) {
            withData = false;
        } else {
            return usage();
        }
    }
    if (exe.isEmpty() || !QFileInfo(exe).isExecutable()) {
        std::fprintf(stderr, "bench_startup: no executable program at \"%s\" (use --exe)\n", qPrintable(exe));
        return 1;
    }

    QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/tirello-startup-XXXXXX"));
    if (!temp.isValid()) {
        std::fprintf(stderr, "bench_startup: cannot create a temporary folder\n");
        return 1;
    }

    try {
        std::printf("Start-up to the login window, %d runs each after one warm-up (target %.0f ms)\n", runs,
                    kTargetMs);
        std::fflush(stdout);
        // How much of each figure is only starting and waiting for a process.
        print("baseline: /bin/true", timeRuns(QStringLiteral("/bin/true"), temp.path(), runs), false);

        const QString fresh = programFolder(temp.filePath(QStringLiteral("nuova")), exe);
        const Figures empty = timeRuns(fresh, QFileInfo(fresh).path(), runs);
        print("fresh program folder", empty, true);
        std::fflush(stdout);

        if (withData) {
            const QString fullFolder = temp.filePath(QStringLiteral("piena"));
            const QString full = programFolder(fullFolder, exe);
            benchgen::Options options;
            options.counts = {100000, 500, 10000, 1000};
            options.seed = 7;
            benchgen::generateFolder(fullFolder, options);
            const Figures filled = timeRuns(full, fullFolder, runs);
            print("filled program folder (*)", filled, true);
            std::printf("  (*) %d clients, %d models, %d reports and %d certificates of this year\n",
                        options.counts.clients, options.counts.models, options.counts.reports,
                        options.counts.certificates);
            std::printf("startup_median_ms fresh=%.1f filled=%.1f\n", empty.median, filled.median);
        } else {
            std::printf("startup_median_ms fresh=%.1f\n", empty.median);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
    return 0;
}
