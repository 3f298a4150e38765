// Export of a big laboratory's client archive to "Clienti.xls".
//
// BM_ExportClients is what the export window does end to end: read every record into the
// grid as the window keeps it (the fill on show: the cells as stored bytes), then write
// the spreadsheet file (the Esporta command, committed to disk). Target: under 2 s for
// 100,000 clients. BM_FillClients and BM_WriteClients time the two halves apart, to tell
// which one is slow; BM_FillClientsAsTexts fills a grid of decoded texts, for comparison.
//
// Environment: TIRELLO_BENCH_CLIENTS (default 100000) sets the archive size,
// TIRELLO_BENCH_DIR the folder for the temporary files.

#include "datagen.h"

#include "storage/records.h"
#include "clients/clientexport.h"
#include "tools/spreadsheet.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    QString clients; // Clienti.pro
    QString xls;     // Clienti.xls beside it
    int count = 0;
    spreadsheet::ArchiveGrid grid; // filled once, for the write-only benchmark
};

Fixture g;

constexpr quint64 kSeed = 2024;

void prepare()
{
    g.dir = benchgen::scratchFolder();
    g.count = benchgen::envCount("TIRELLO_BENCH_CLIENTS", 100000);

    QElapsedTimer t;
    t.start();
    g.clients = benchgen::generateClients(g.dir->path(), g.count, kSeed).path;
    g.xls = g.dir->filePath(clients::exportSheet().fileName);
    std::fprintf(stderr, "Generated %d client records in %.2f s into %s\n", g.count, double(t.elapsed()) / 1000.0,
                 qPrintable(g.dir->path()));

    // The grid must hold every client, or the figures measure nothing.
    g.grid = spreadsheet::ArchiveGrid(int(clients::exportSheet().columns.size()));
    if (!spreadsheet::fill(g.grid, clients::exportSheet(), records::client(), g.clients) || g.grid.rowCount() != g.count
        || g.grid.cell(g.count - 1, 0) != benchgen::clientName(kSeed, g.count - 1))
        throw std::runtime_error("the generated archive does not read back as written");
}

void BM_ExportClients(benchmark::State &state)
{
    const spreadsheet::Sheet &sheet = clients::exportSheet();
    for (auto _ : state) {
        spreadsheet::ArchiveGrid grid(int(sheet.columns.size()));
        if (!spreadsheet::fill(grid, sheet, records::client(), g.clients) || !spreadsheet::save(g.xls, sheet, grid)) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.counters["file_MB"] = double(QFileInfo(g.xls).size()) / (1024.0 * 1024.0);
    state.SetItemsProcessed(int64_t(state.iterations()) * g.count);
}

template <class Rows>
void BM_Fill(benchmark::State &state)
{
    const spreadsheet::Sheet &sheet = clients::exportSheet();
    for (auto _ : state) {
        Rows grid(int(sheet.columns.size()));
        spreadsheet::fill(grid, sheet, records::client(), g.clients);
        benchmark::DoNotOptimize(grid.rowCount());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * g.count);
}

void BM_FillClients(benchmark::State &state)
{
    BM_Fill<spreadsheet::ArchiveGrid>(state);
}

void BM_FillClientsAsTexts(benchmark::State &state)
{
    BM_Fill<spreadsheet::Grid>(state);
}

void BM_WriteClients(benchmark::State &state)
{
    for (auto _ : state) {
        if (!spreadsheet::save(g.xls, clients::exportSheet(), g.grid)) {
            state.SkipWithError("the write failed");
            break;
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * g.count);
}

} // namespace

// Whole-archive passes timed by the wall clock: the write ends waiting for the disk.
BENCHMARK(BM_ExportClients)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_FillClients)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_FillClientsAsTexts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_WriteClients)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    try {
        prepare();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_export: %s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g.grid.clear();
    g.dir.reset();
    return 0;
}
