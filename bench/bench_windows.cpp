// Every list and export window of the four archives at a big laboratory's sizes (100,000
// clients, 2,000 analysis models, 20,000 test reports and 5,000 certificates of one year),
// driven as the user drives them and timed from the click to the result painted: the count
// line and the first screen of lines, or the grid's first screen. Target: 100 ms each.
//
// A window with a criteria page is made and shown first; the time runs from "Cerca" (no
// filter: every record listed) until the list has been painted. A window that lists on
// opening, and every export window, is timed from its making (what the card's button
// does) until the list or the grid has been painted. Closing the window is timed apart
// (counter close_ms), and so are "Trova" and the way to the last line of the biggest list.
//
// Peak resident memory: before each window the process's high-water mark is set back to
// what it holds then, and after it the counter peak_MB gives the new high-water mark. At
// the end the peak of the whole run is printed (the archives are written by a child
// process, so it is the windows' own).
//
// Off screen unless a platform is chosen (QT_QPA_PLATFORM, or a DISPLAY: run it under
// xvfb-run to see the cost of a real X server; with the accessibility bus up and
// QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 the bridge to assistive tools is timed too).
//
// Environment: TIRELLO_BENCH_CLIENTS (100000), TIRELLO_BENCH_REPORTS (20000),
// TIRELLO_BENCH_DIR (temporary files); TIRELLO_BENCH_FOLDER names a folder that already
// holds the four archives (nothing is generated then).

#include "datagen.h"
#include "windowsmain.h"

#include "app/application.h"
#include "certificates/frmdaconsegnare.h"
#include "certificates/frmexpcertificati.h"
#include "certificates/frmtrovacertificati.h"
#include "clients/frmexpclienti.h"
#include "clients/frmricontatta.h"
#include "clients/frmtrovaclienti.h"
#include "models/frmexpparametri.h"
#include "models/frmtrovaparametri.h"
#include "reports/frmexprapporti.h"
#include "reports/frmnonconsegnati.h"
#include "reports/frmtrovarapporti.h"
#include "storage/programfolder.h"
#include "ui/seams.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr quint64 kSeed = 2024;
constexpr int kYear = 2024;

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    QString folder;
    QString reports, certificates;
    int clients = 0, models = 0, reportCount = 0, certificateCount = 0;
    double peak = 0; // the highest of the windows' peaks
};

Fixture g;

// ---- Process memory ----------------------------------------------------------------------

// The high-water mark of resident memory, in MB (Linux; 0 elsewhere).
double peakMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Sets the high-water mark back to what the process holds now.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// ---- Painting --------------------------------------------------------------------------

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *w) : m_widget(w) { w->installEventFilter(this); }
    ~PaintCounter() override
    {
        if (m_widget)
            m_widget->removeEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }

private:
    QPointer<QWidget> m_widget;
};

// Runs the event loop until the counter has seen a paint (or 20 s went by).
bool waitForPaint(const PaintCounter &counter)
{
    QElapsedTimer t;
    t.start();
    while (counter.paints == 0) {
        if (t.elapsed() > 20000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // What was posted with the paint (the rest of the window) goes out too.
    QCoreApplication::processEvents();
    return true;
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// ---- The harness -------------------------------------------------------------------------

// How a window is opened and what it shows.
struct Driving {
    std::function<std::unique_ptr<QDialog>()> make;
    // The view whose first screen is the result.
    std::function<QAbstractItemView *(QDialog *)> view;
    // For a window with a criteria page: the button that runs the search.
    std::function<QPushButton *(QDialog *)> search;
    int expected = 0; // lines or rows
};

void closeTimed(std::unique_ptr<QDialog> &w, double &closeMs)
{
    const auto start = std::chrono::steady_clock::now();
    w->reject();
    w.reset();
    QCoreApplication::processEvents();
    closeMs += msSince(start);
}

void runWindow(benchmark::State &state, const Driving &d)
{
    int shown = 0;
    double closeMs = 0, peak = 0;
    QCoreApplication::processEvents();
    resetPeak();
    for (auto _ : state) {
        std::unique_ptr<QDialog> w;
        std::unique_ptr<PaintCounter> counter;
        std::chrono::steady_clock::time_point start;
        if (d.search) {
            w = d.make();
            w->show();
            QCoreApplication::processEvents();
            counter = std::make_unique<PaintCounter>(d.view(w.get())->viewport());
            start = std::chrono::steady_clock::now();
            d.search(w.get())->click();
        } else {
            start = std::chrono::steady_clock::now();
            w = d.make();
            counter = std::make_unique<PaintCounter>(d.view(w.get())->viewport());
            w->show();
        }
        const bool painted = waitForPaint(*counter);
        state.SetIterationTime(msSince(start) / 1000.0);
        shown = d.view(w.get())->model()->rowCount();
        counter.reset();
        peak = std::max(peak, peakMB());
        closeTimed(w, closeMs);
        if (!painted) {
            state.SkipWithError("the result was never painted");
            return;
        }
    }
    if (shown != d.expected)
        state.SkipWithError(QStringLiteral("%1 shown, %2 expected").arg(shown).arg(d.expected).toStdString().c_str());
    state.counters["shown"] = shown;
    state.counters["close_ms"] = closeMs / double(state.iterations());
    state.counters["peak_MB"] = peak;
    g.peak = std::max(g.peak, peak);
}

template <class Window>
QAbstractItemView *listOf(QDialog *w)
{
    return static_cast<Window *>(w)->lstRecords;
}
template <class Window>
QAbstractItemView *gridOf(QDialog *w)
{
    return static_cast<Window *>(w)->grdRecords;
}
template <class Window>
QPushButton *cercaOf(QDialog *w)
{
    return static_cast<Window *>(w)->btnCerca;
}

void BM_ClientSearch(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmTrovaClienti>(nullptr, nullptr); }, listOf<TfrmTrovaClienti>,
                      cercaOf<TfrmTrovaClienti>, g.clients});
}

void BM_ClientsToRecontact(benchmark::State &state)
{
    // The number of flagged clients is whatever the generator made: read it from the
    // first window.
    static int flagged = [] {
        TfrmRicontatta w(nullptr, nullptr);
        return w.lstRecords->model()->rowCount();
    }();
    runWindow(state, {[] { return std::make_unique<TfrmRicontatta>(nullptr, nullptr); }, listOf<TfrmRicontatta>, {},
                      flagged});
}

void BM_ModelSearch(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmTrovaParametri>(nullptr, nullptr); },
                      listOf<TfrmTrovaParametri>, {}, g.models});
}

void BM_ModelImport(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmImportaParametri>(nullptr, nullptr); },
                      listOf<TfrmImportaParametri>, {}, g.models});
}

void BM_ReportSearch(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmTrovaRapporti>(nullptr, g.reports, nullptr); },
                      listOf<TfrmTrovaRapporti>, cercaOf<TfrmTrovaRapporti>, g.reportCount});
}

int undeliveredCount(const QString &path, bool certificates)
{
    if (certificates) {
        TfrmDaConsegnare w(nullptr, path, nullptr);
        return w.lstRecords->model()->rowCount();
    }
    TfrmNonConsegnati w(nullptr, path, nullptr);
    return w.lstRecords->model()->rowCount();
}

void BM_UndeliveredReports(benchmark::State &state)
{
    static const int n = undeliveredCount(g.reports, false);
    runWindow(state, {[] { return std::make_unique<TfrmNonConsegnati>(nullptr, g.reports, nullptr); },
                      listOf<TfrmNonConsegnati>, {}, n});
}

void BM_CertificateSearch(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmTrovaCertificati>(nullptr, g.certificates, nullptr); },
                      listOf<TfrmTrovaCertificati>, cercaOf<TfrmTrovaCertificati>, g.certificateCount});
}

void BM_UndeliveredCertificates(benchmark::State &state)
{
    static const int n = undeliveredCount(g.certificates, true);
    runWindow(state, {[] { return std::make_unique<TfrmDaConsegnare>(nullptr, g.certificates, nullptr); },
                      listOf<TfrmDaConsegnare>, {}, n});
}

void BM_ExportClients(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmExpClienti>(nullptr); }, gridOf<TfrmExpClienti>, {}, g.clients});
}

void BM_ExportModels(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmExpParametri>(nullptr); }, gridOf<TfrmExpParametri>, {},
                      g.models});
}

void BM_ExportReports(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmExpRapporti>(nullptr, g.reports); }, gridOf<TfrmExpRapporti>,
                      {}, g.reportCount});
}

void BM_ExportCertificates(benchmark::State &state)
{
    runWindow(state, {[] { return std::make_unique<TfrmExpCertificati>(nullptr, g.certificates); },
                      gridOf<TfrmExpCertificati>, {}, g.certificateCount});
}

// "Trova" on the full client list: a word of a line near the end, then the next one.
void BM_ClientListTrova(benchmark::State &state)
{
    TfrmTrovaClienti w(nullptr, nullptr);
    w.show();
    w.btnCerca->click();
    QCoreApplication::processEvents();
    const QModelIndex last = w.lstRecords->model()->index(w.lstRecords->model()->rowCount() - 3, 0);
    // The name of a line near the end: found late on the first press.
    const QString word = last.data().toString().left(12).trimmed();
    for (auto _ : state) {
        w.txtTrova->setText(word);
        const auto start = std::chrono::steady_clock::now();
        w.btnTrova->click();
        QCoreApplication::processEvents();
        state.SetIterationTime(msSince(start) / 1000.0);
        w.txtTrova->setText(QStringLiteral("-")); // a new word next time
        w.btnTrova->click();
    }
    const QModelIndexList selected = w.lstRecords->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || !selected.first().data().toString().contains(word))
        state.SkipWithError("Trova did not reach the line");
}

// The end of the full client list: scrolled to, painted, its last line selected.
void BM_ClientListToTheEnd(benchmark::State &state)
{
    TfrmTrovaClienti w(nullptr, nullptr);
    w.show();
    w.btnCerca->click();
    QCoreApplication::processEvents();
    const int last = w.lstRecords->count() - 1;
    for (auto _ : state) {
        w.lstRecords->scrollToTop();
        QCoreApplication::processEvents();
        PaintCounter counter(w.lstRecords->viewport());
        const auto start = std::chrono::steady_clock::now();
        w.lstRecords->scrollToBottom();
        w.lstRecords->setCurrentRow(last);
        if (!waitForPaint(counter)) {
            state.SkipWithError("the end of the list was never painted");
            break;
        }
        state.SetIterationTime(msSince(start) / 1000.0);
    }
    if (w.selectedLine() != last)
        state.SkipWithError("the last line is not selected");
}

void prepare()
{
    const QString given = qEnvironmentVariable("TIRELLO_BENCH_FOLDER");
    g.clients = benchgen::envCount("TIRELLO_BENCH_CLIENTS", 100000);
    g.models = 2000;
    g.reportCount = benchgen::envCount("TIRELLO_BENCH_REPORTS", 20000);
    g.certificateCount = 5000;
    if (!given.isEmpty()) {
        g.folder = given;
    } else {
        g.dir = benchgen::scratchFolder();
        g.folder = g.dir->path();
        // In a child process, so that this one's memory is the windows' alone.
        const QString gen = QCoreApplication::applicationDirPath() + QStringLiteral("/tirello-gen");
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(gen, {g.folder, QStringLiteral("--clients"), QString::number(g.clients), QStringLiteral("--models"),
                      QString::number(g.models), QStringLiteral("--reports"), QString::number(g.reportCount),
                      QStringLiteral("--certificates"), QString::number(g.certificateCount), QStringLiteral("--year"),
                      QString::number(kYear), QStringLiteral("--seed"), QString::number(kSeed)});
        if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            throw std::runtime_error("tirello-gen failed: " + gen.toStdString());
    }
    g.reports = QDir(g.folder).filePath(benchgen::reportsFile(kYear));
    g.certificates = QDir(g.folder).filePath(benchgen::certificatesFile(kYear));
    for (const QString &f : {benchgen::clientsFile(), benchgen::modelsFile(), benchgen::reportsFile(kYear),
                             benchgen::certificatesFile(kYear)})
        if (!QFile::exists(QDir(g.folder).filePath(f)))
            throw std::runtime_error("missing archive " + f.toStdString());
    ProgramFolder::setOverride(g.folder);
    Messages::startRecording(); // no box may ever wait for an answer
    std::fprintf(stderr,
                 "%d clients, %d models, %d reports, %d certificates in %s; platform %s; "
                 "memory before the windows %.1f MB\n",
                 g.clients, g.models, g.reportCount, g.certificateCount, qPrintable(g.folder),
                 qPrintable(QGuiApplication::platformName()), peakMB());
}

} // namespace

#define WINDOW_BENCHMARK(name)                                                                                         \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3)->Repetitions(3)

WINDOW_BENCHMARK(BM_ClientSearch);
WINDOW_BENCHMARK(BM_ClientsToRecontact);
WINDOW_BENCHMARK(BM_ModelSearch);
WINDOW_BENCHMARK(BM_ModelImport);
WINDOW_BENCHMARK(BM_ReportSearch);
WINDOW_BENCHMARK(BM_UndeliveredReports);
WINDOW_BENCHMARK(BM_CertificateSearch);
WINDOW_BENCHMARK(BM_UndeliveredCertificates);
WINDOW_BENCHMARK(BM_ExportClients);
WINDOW_BENCHMARK(BM_ExportModels);
WINDOW_BENCHMARK(BM_ExportReports);
WINDOW_BENCHMARK(BM_ExportCertificates);
WINDOW_BENCHMARK(BM_ClientListTrova);
WINDOW_BENCHMARK(BM_ClientListToTheEnd);

int main(int argc, char **argv)
{
    const int code = benchwindows::run(
        argc, argv, "bench_windows", prepare, [](QApplication &app) { app::setUp(app); }, // as the program does
        [] {
            Messages::stopRecording();
            ProgramFolder::setOverride({});
            std::fprintf(stderr, "peak resident memory with a window open: %.1f MB; accessibility %s\n", g.peak,
                         QAccessible::isActive() ? "active" : "off");
        });
    g.dir.reset();
    return code;
}
