// Archive speed on a big laboratory's client archive.
//
// BM_ScanClients reads every record and decodes every field into text being built (as the
// export cells and list lines are), the work behind any list or export of the whole
// archive; BM_CatClients copies the same file to /dev/null with
// cat in the same run, so that the two times can be compared on this machine. The scan
// should stay within 2 times cat. BM_ScanClientsBytesOnly reads without decoding, to
// tell the file reading from the text decoding when the scan is slow,
// BM_ScanClientsStringPerField makes a string of every field instead,
// BM_ScanClientsOneThread scans without the second thread reading ahead, and
// BM_ScanClientsTwoParts decodes on both cores as the list windows do.
//
// BM_SaveOneRecord is one save of a client card as the program does it (lock, write,
// flush to disk); BM_OverwriteOneRecord saves an edited card in place. Target: 20 ms.
//
// Environment: TIRELLO_BENCH_CLIENTS (default 100000) sets the archive size,
// TIRELLO_BENCH_DIR the folder for the temporary files (they must land on the disk the
// program will use: a memory file system would make the flush to disk free),
// TIRELLO_BENCH_CLIENTS_FROM a Clienti.pro written before by tirello-gen with seed 2024,
// copied instead of generating one (under a profiler the generation takes long).

#include "datagen.h"

#include "storage/recordfile.h"
#include "storage/records.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QVarLengthArray>

#include <array>
#include <cstdio>
#include <limits>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    QString clients;   // the archive scanned and read by cat
    QString saves;     // a copy the save benchmarks write into
    int count = 0;
    qint64 bytes = 0;
    qint64 characters = 0; // every field of every record decoded, counted once beforehand
};

Fixture g;

constexpr quint64 kSeed = 2024;

void prepare()
{
    g.dir = benchgen::scratchFolder();
    g.count = benchgen::envCount("TIRELLO_BENCH_CLIENTS", 100000);

    QElapsedTimer t;
    t.start();
    const QString from = qEnvironmentVariable("TIRELLO_BENCH_CLIENTS_FROM");
    if (!from.isEmpty()) {
        g.clients = g.dir->filePath(QStringLiteral("Clienti.pro"));
        if (!QFile::copy(from, g.clients))
            throw std::runtime_error("cannot copy TIRELLO_BENCH_CLIENTS_FROM");
        g.bytes = QFileInfo(g.clients).size();
        g.count = int(g.bytes / records::client().size());
    } else {
        const benchgen::Written written = benchgen::generateClients(g.dir->path(), g.count, kSeed);
        g.clients = written.path;
        g.bytes = written.bytes;
    }
    std::fprintf(stderr, "Generated %d client records (%.1f MB) in %.2f s into %s\n", g.count,
                 double(g.bytes) / (1024.0 * 1024.0), double(t.elapsed()) / 1000.0, qPrintable(g.dir->path()));

    g.saves = g.dir->filePath(QStringLiteral("Clienti_salvataggi.pro"));
    if (!QFile::copy(g.clients, g.saves))
        throw std::runtime_error("cannot copy the archive for the save benchmarks");
#ifdef Q_OS_UNIX
    // The copy must be on the disk already: else the first save would also wait for it.
    {
        QFile copy(g.saves);
        if (!copy.open(QIODevice::ReadWrite) || ::fdatasync(copy.handle()) != 0)
            throw std::runtime_error("cannot flush the copy of the archive to disk");
    }
#endif

    // What the scan finds must be what was written, or the figures measure nothing.
    const records::Record first(records::client(), archive::readAt(g.clients, records::client().size(), 1));
    const records::Record last(records::client(),
                               archive::readAt(g.clients, records::client().size(), g.count));
    if (archive::count(g.clients, records::client().size()) != g.count ||
        first.text(QStringLiteral("txtCliente")) != benchgen::clientName(kSeed, 0) ||
        last.text(QStringLiteral("txtCliente")) != benchgen::clientName(kSeed, g.count - 1))
        throw std::runtime_error("the generated archive does not read back as written");
    // What every decoding scan must count, from a plain read of every field as a string.
    const records::Layout &layout = records::client();
    archive::scan(g.clients, layout.size(), [&](int, QByteArrayView bytes) {
        const records::RecordView record(layout, bytes.data());
        for (int f = 0; f < int(layout.fields().size()); ++f)
            g.characters += record.text(f).size();
    });
}

void setThroughput(benchmark::State &state, qint64 bytesPerIteration, int recordsPerIteration)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * bytesPerIteration);
    state.SetItemsProcessed(int64_t(state.iterations()) * recordsPerIteration);
}

// A cell's characters, as the export window builds them.
using CellBuffer = QVarLengthArray<char16_t, 1024>;

// Every field of a record decoded the way the export builds its cells: into the cell
// being put together (RecordView::appendText), not a string per field. Gives the
// characters decoded.
qsizetype decodeEveryField(const records::RecordView &record, int fields, CellBuffer &buffer)
{
    qsizetype characters = 0;
    for (int f = 0; f < fields; ++f) {
        buffer.clear();
        record.appendText(f, buffer);
        characters += buffer.size();
    }
    return characters;
}

enum class Decoding { IntoText, StringPerField };

void scanDecodingEveryField(benchmark::State &state, Decoding decoding = Decoding::IntoText)
{
    const records::Layout &layout = records::client();
    const int fields = int(layout.fields().size());
    int seen = 0;
    CellBuffer buffer;
    for (auto _ : state) {
        qint64 characters = 0;
        seen = 0;
        archive::scan(g.clients, layout.size(), [&](int, QByteArrayView bytes) {
            const records::RecordView record(layout, bytes.data());
            if (decoding == Decoding::IntoText) {
                characters += decodeEveryField(record, fields, buffer);
            } else {
                for (int f = 0; f < fields; ++f)
                    characters += record.text(f).size();
            }
            ++seen;
        });
        benchmark::DoNotOptimize(characters);
        if (characters != g.characters)
            state.SkipWithError("the scan did not decode every character");
    }
    if (seen != g.count)
        state.SkipWithError("the scan did not see every record");
    setThroughput(state, g.bytes, g.count);
}

void BM_ScanClients(benchmark::State &state)
{
    scanDecodingEveryField(state);
}

// The same with a string of its own for every field (RecordView::text), as a card reads
// its fields: what building a string costs against decoding into text being built.
void BM_ScanClientsStringPerField(benchmark::State &state)
{
    scanDecodingEveryField(state, Decoding::StringPerField);
}

void BM_ScanClientsOneThread(benchmark::State &state)
{
    const qint64 previous = archive::setTwoThreadSize(std::numeric_limits<qint64>::max());
    scanDecodingEveryField(state);
    archive::setTwoThreadSize(previous);
}

// The same work through archive::scanParts, as the list windows read: the records decoded
// on both cores, each half of the archive on its own.
void BM_ScanClientsTwoParts(benchmark::State &state)
{
    const records::Layout &layout = records::client();
    const int fields = int(layout.fields().size());
    // One cache line per part: the two threads never write to the same one.
    struct alignas(64) Sums {
        qint64 characters = 0;
        int seen = 0;
        CellBuffer buffer;
    };
    std::array<Sums, archive::kMaxScanParts> sums{};
    for (auto _ : state) {
        for (Sums &s : sums)
            s.characters = s.seen = 0;
        const archive::PartErrors errors =
            archive::scanParts(g.clients, layout.size(), [&](int part, int, QByteArrayView bytes) {
                Sums &s = sums[part];
                s.characters += decodeEveryField(records::RecordView(layout, bytes.data()), fields, s.buffer);
                ++s.seen;
            });
        for (const std::exception_ptr &e : errors)
            if (e)
                state.SkipWithError("the scan failed");
        benchmark::DoNotOptimize(sums);
        qint64 characters = 0;
        for (const Sums &s : sums)
            characters += s.characters;
        if (characters != g.characters)
            state.SkipWithError("the scan did not decode every character");
    }
    if (sums[0].seen + sums[1].seen != g.count)
        state.SkipWithError("the scan did not see every record");
    setThroughput(state, g.bytes, g.count);
}

void BM_ScanClientsBytesOnly(benchmark::State &state)
{
    const int size = records::client().size();
    for (auto _ : state) {
        quint64 sum = 0;
        archive::scan(g.clients, size, [&](int, QByteArrayView bytes) { sum += uchar(bytes.at(1)); });
        benchmark::DoNotOptimize(sum);
    }
    setThroughput(state, g.bytes, g.count);
}

// cat <archive> > /dev/null, without a shell in between.
void BM_CatClients(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        cat.start(QStringLiteral("cat"), {g.clients});
        if (!cat.waitForFinished(60000) || cat.exitStatus() != QProcess::NormalExit || cat.exitCode() != 0) {
            state.SkipWithError("cat failed");
            break;
        }
    }
    setThroughput(state, g.bytes, g.count);
}

void BM_SaveOneRecord(benchmark::State &state)
{
    const records::Record card = benchgen::client(kSeed, g.count + 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(archive::append(g.saves, card.bytes()));
}

void BM_OverwriteOneRecord(benchmark::State &state)
{
    records::Record card = benchgen::client(kSeed, g.count / 2);
    int position = g.count / 2 + 1;
    for (auto _ : state) {
        archive::overwriteAt(g.saves, position, card.bytes());
        // A different card each time, so that every save really changes the page.
        position = position % g.count + 1;
    }
}

} // namespace

// Few iterations of whole-archive passes, timed by the wall clock: cat works in another
// process and the saves wait for the disk, so CPU time would say nothing.
BENCHMARK(BM_ScanClients)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_CatClients)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_ScanClientsTwoParts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_ScanClientsStringPerField)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_ScanClientsOneThread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_ScanClientsBytesOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_SaveOneRecord)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_OverwriteOneRecord)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    try {
        prepare();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_storage: %s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g.dir.reset();
    return 0;
}
