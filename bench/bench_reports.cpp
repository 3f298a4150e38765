// A laboratory's busy year of test reports (20,000 reports, about 270 MB): the search
// with no filter and with two filters, the search for results out of their limits, the
// search window filled with the results, the list of undelivered reports, the export
// grid, and the record count behind "Nuovo"; and what the report card pays to judge the
// thirty results of a report against their limits. For
// scale, in the same run: cat of the same file to /dev/null (a separate process each
// time, so its figure includes a process start: see BM_ProcessStart).
//
// Environment: TIRELLO_BENCH_REPORTS (default 20000), TIRELLO_BENCH_DIR (temporary
// files: put it on the disk the program will use).

#include "datagen.h"
#include "windowsmain.h"

#include "reports/frmtrovarapporti.h"
#include "reports/limits.h"
#include "reports/reportexport.h"
#include "reports/reportsearch.h"
#include "storage/recordfile.h"
#include "storage/records.h"
#include "tools/spreadsheet.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr quint64 kSeed = 2024;
constexpr int kYear = 2024;

// Two filters as a user would type them: part of a client's name and a kind of analysis.
constexpr std::pair<const char *, const char *> kTwo[] = {
    {"txtCliente", "ar"},
    {"txtAnalisi", "acqu"},
};

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    QString reports;
    int count = 0;
    qint64 bytes = 0;
    reports::ReportFilters two;
    int twoCount = 0;
    int undelivered = 0;
    int outOfLimit = 0; // reports with a result out of its limit
    QString chosenLine; // a line from the middle of the full list
    // Thirty rows of a card each, every one filled: (result, limit) as the card holds them.
    QList<QList<std::pair<QString, QString>>> cards;
};

Fixture g;

void prepare()
{
    g.dir = benchgen::scratchFolder();
    g.count = benchgen::envCount("TIRELLO_BENCH_REPORTS", 20000);

    const benchgen::Written w = benchgen::generateReports(g.dir->path(), g.count, kYear, kSeed);
    g.reports = w.path;
    g.bytes = w.bytes;

    for (const auto &[field, typed] : kTwo)
        g.two.set(QString::fromLatin1(field), QString::fromLatin1(typed));
    const QStringList all = reports::searchLines(g.reports, {});
    if (all.size() != g.count || archive::count(g.reports, records::report().size()) != g.count)
        throw std::runtime_error("the search without filters did not list every report");
    g.twoCount = int(reports::searchLines(g.reports, g.two).size());
    QStringList undelivered;
    reports::undeliveredLines(g.reports, undelivered);
    g.undelivered = int(undelivered.size());
    g.chosenLine = all.at(all.size() / 2);
    g.outOfLimit = int(reports::searchLines(g.reports, lists::Filters(records::report()), true).size());

    // The filled rows of the first reports, thirty to a card: the worst a card can hold.
    QList<std::pair<QString, QString>> rows;
    archive::scan(g.reports, records::report().size(), [&rows](int index, QByteArrayView bytes) {
        if (index >= 500)
            return;
        const records::RecordView r(records::report(), bytes.data());
        for (int row = 1; row <= reports::kResultRows; ++row) {
            const QString result = r.text(reports::resultField(row)), limit = r.text(reports::limitField(row));
            if (!result.isEmpty() || !limit.isEmpty())
                rows.append({result, limit});
        }
    });
    for (qsizetype at = 0; at + reports::kResultRows <= rows.size(); at += reports::kResultRows)
        g.cards.append(rows.mid(at, reports::kResultRows));
    if (g.cards.isEmpty())
        throw std::runtime_error("no result rows to judge");
    std::fprintf(stderr,
                 "%d reports (%.1f MB, written in %.2f s); two filters (client \"ar\", analysis \"acqu\") list %d; "
                 "%d not delivered; %d with results out of limit\n",
                 g.count, double(g.bytes) / (1024.0 * 1024.0), w.seconds, g.twoCount, g.undelivered, g.outOfLimit);
}

void BM_ReportSearchNoFilter(benchmark::State &state)
{
    qsizetype n = 0;
    for (auto _ : state)
        n = reports::searchLines(g.reports, {}).size();
    state.counters["lines"] = double(n);
    state.SetBytesProcessed(int64_t(state.iterations()) * g.bytes);
}

void BM_ReportSearchTwoFilters(benchmark::State &state)
{
    qsizetype n = 0;
    for (auto _ : state)
        n = reports::searchLines(g.reports, g.two).size();
    state.counters["lines"] = double(n);
    state.SetBytesProcessed(int64_t(state.iterations()) * g.bytes);
}

// "Solo rapporti con risultati fuori limite" ticked, no other filter: every report read
// and its thirty rows judged; to set beside BM_ReportSearchNoFilter.
void BM_ReportSearchOutOfLimit(benchmark::State &state)
{
    const lists::Filters none(records::report());
    qsizetype n = 0;
    for (auto _ : state)
        n = reports::searchLines(g.reports, none, true).size();
    if (n != g.outOfLimit)
        state.SkipWithError("the search did not list the reports out of limit");
    state.counters["lines"] = double(n);
    state.SetBytesProcessed(int64_t(state.iterations()) * g.bytes);
}

// What the report card does for a report on screen: the thirty rows judged, each with
// its reason. One iteration is one card of thirty filled rows.
void BM_JudgeThirtyRows(benchmark::State &state)
{
    qsizetype card = 0;
    int flagged = 0;
    for (auto _ : state) {
        for (const auto &[result, limit] : g.cards[card])
            flagged += limits::judge(result, limit).verdict == limits::Verdict::OutOfLimit;
        card = (card + 1) % g.cards.size();
    }
    benchmark::DoNotOptimize(flagged);
    state.counters["cards"] = double(g.cards.size());
}

// What the user waits for after Cerca with no filter: the search and the list of the
// window filled with every line.
void BM_SearchWindowNoFilter(benchmark::State &state)
{
    TfrmTrovaRapporti window(nullptr, g.reports, {});
    int n = 0;
    for (auto _ : state) {
        window.btnCercaClick();
        n = window.lstRecords->count();
    }
    if (n != g.count)
        state.SkipWithError("the window did not list every report");
    state.counters["lines"] = double(n);
}

void BM_UndeliveredList(benchmark::State &state)
{
    qsizetype n = 0;
    for (auto _ : state) {
        QStringList lines;
        reports::undeliveredLines(g.reports, lines);
        n = lines.size();
    }
    state.counters["lines"] = double(n);
}

// The export window's grid, filled when the window is shown.
void BM_ExportGridFill(benchmark::State &state)
{
    const spreadsheet::Sheet &sheet = reports::exportSheet();
    int rows = 0;
    for (auto _ : state) {
        spreadsheet::ArchiveGrid grid(int(sheet.columns.size()));
        spreadsheet::fill(grid, sheet, records::report(), g.reports);
        rows = grid.rowCount();
    }
    if (rows != g.count)
        state.SkipWithError("the grid does not hold every report");
}

// What "Nuovo" asks of the archive to number a new report.
void BM_CountRecords(benchmark::State &state)
{
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(n = archive::count(g.reports, records::report().size()));
    if (n != g.count)
        state.SkipWithError("wrong count");
}

// What a double click costs: the whole archive read and every line rebuilt.
void BM_DoubleClickScan(benchmark::State &state)
{
    for (auto _ : state) {
        if (!lists::lastRecordOfLine(g.reports, records::report(), reports::lineOf(), g.chosenLine)) {
            state.SkipWithError("the chosen line was not found");
            break;
        }
    }
}

// For diagnosis: the archive read with nothing decoded, and the sort of the full list.
void BM_ScanBytesOnly(benchmark::State &state)
{
    for (auto _ : state) {
        qint64 sum = 0;
        archive::scan(g.reports, records::report().size(),
                      [&sum](int, QByteArrayView bytes) { sum += bytes.at(0); });
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * g.bytes);
}

void BM_SortFullList(benchmark::State &state)
{
    QStringList unsorted;
    archive::scan(g.reports, records::report().size(), [&](int, QByteArrayView bytes) {
        unsorted.append(reports::listLine(records::RecordView(records::report(), bytes.data())));
    });
    for (auto _ : state) {
        QStringList lines = unsorted;
        lines.detach();
        lists::sortLines(lines);
        benchmark::DoNotOptimize(lines.data());
    }
}

void BM_CatReports(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        cat.start(QStringLiteral("cat"), {g.reports});
        if (!cat.waitForFinished(60000) || cat.exitCode() != 0) {
            state.SkipWithError("cat failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * g.bytes);
}

// The cost of starting any process, to read the figure above.
void BM_ProcessStart(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral("true"), {});
        p.waitForFinished(60000);
    }
}

} // namespace

BENCHMARK(BM_ReportSearchNoFilter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_ReportSearchTwoFilters)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_ReportSearchOutOfLimit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_JudgeThirtyRows)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_SearchWindowNoFilter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_UndeliveredList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_ExportGridFill)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_CountRecords)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(100)->Repetitions(3);
BENCHMARK(BM_DoubleClickScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_ScanBytesOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_SortFullList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_CatReports)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_ProcessStart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10)->Repetitions(3);

int main(int argc, char **argv)
{
    // The search window is made but never shown.
    const int code = benchwindows::run(argc, argv, "bench_reports", prepare);
    g.dir.reset();
    return code;
}
