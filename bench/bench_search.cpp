// The client search on a big laboratory's archive: the list built and sorted as the search
// window shows it, with no filter (every client listed) and with three filters.
//
// For scale, in the same run: the same searches done by the sqlite3 command-line program
// on the same rows loaded in a table (LIKE on the three columns, the same fixed-width line
// built in SQL, ordered with ASCII-only case folding as the list is), and cat of the
// archive to /dev/null. Both run as a separate process each time, so their figures
// include a process start (see BM_ProcessStart). Without sqlite3 on the PATH the
// comparison is skipped with a note.
//
// Also: the list of clients to recontact, and the scan behind a double click (every
// record's line rebuilt and compared with the chosen one).
//
// Environment: TIRELLO_BENCH_CLIENTS (default 100000), TIRELLO_BENCH_DIR (temporary files).

#include "datagen.h"

#include "clients/clientsearch.h"
#include "storage/recordfile.h"
#include "storage/records.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr quint64 kSeed = 2024;

struct Filter {
    const char *field;
    const char *column; // in the SQL table
    const char *typed;
};
// Three filters as a user would type them: part of a name, of a town, of the products.
constexpr Filter kThree[] = {
    {"txtCliente", "cliente", "ar"},
    {"txtComuneRes", "comune", "RO"},
    {"txtProdotti", "prodotti", "analisi"},
};

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    QString clients;
    QString database; // empty when sqlite3 is missing
    QString sqlite3;
    int count = 0;
    qint64 bytes = 0;
    clients::ClientFilters three;
    int threeCount = 0;
    QString chosenLine; // a line from the middle of the full list
};

Fixture g;

QString csvField(const QString &value)
{
    QString v = value;
    v.replace(u'"', QStringLiteral("\"\""));
    return u'"' + v + u'"';
}

// The list line in SQL: the same columns, blanks and cuts as the program's line.
QString sqlLine()
{
    return QStringLiteral(
        "substr(cliente || printf('%26s', ''), 1, 26) || '  Tel. ' || "
        "substr(recapito || printf('%15s', ''), 1, 15) || '  ' || "
        "substr(occupazione || printf('%25s', ''), 1, 25) || '  Prod. ' || "
        "substr(prodotti || printf('%30s', ''), 1, 30) || '  ' || note");
}

QString sqlQuery(bool filtered)
{
    QString where;
    if (filtered) {
        QStringList terms;
        for (const Filter &f : kThree)
            terms.append(QStringLiteral("%1 LIKE '%%2%'").arg(QLatin1String(f.column), QLatin1String(f.typed)));
        where = QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
    }
    // NOCASE folds A-Z only and then compares bytes: the list's own order.
    return QStringLiteral("SELECT %1 AS riga FROM clienti%2 ORDER BY riga COLLATE NOCASE;").arg(sqlLine(), where);
}

QByteArray runSqlite(const QString &sql, bool keepOutput)
{
    QProcess p;
    if (!keepOutput)
        p.setStandardOutputFile(QProcess::nullDevice());
    p.start(g.sqlite3, {g.database, sql});
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error("sqlite3 failed: " + p.readAllStandardError().toStdString());
    return keepOutput ? p.readAllStandardOutput() : QByteArray();
}

void loadSqlite()
{
    const QString csv = g.dir->filePath(QStringLiteral("clienti.csv"));
    QFile out(csv);
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the CSV file");
    const records::Layout &layout = records::client();
    const QStringList columns{QStringLiteral("txtCliente"),  QStringLiteral("txtRecapito"),
                              QStringLiteral("txtOccupazione"), QStringLiteral("txtProdotti"),
                              QStringLiteral("txtNote"),     QStringLiteral("txtComuneRes")};
    QByteArray chunk;
    archive::scan(g.clients, layout.size(), [&](int, QByteArrayView bytes) {
        const records::RecordView r(layout, bytes.data());
        QStringList row;
        for (const QString &c : columns)
            row.append(csvField(r.text(c)));
        chunk += row.join(u',').toUtf8() + '\n';
        if (chunk.size() > (1 << 20)) {
            out.write(chunk);
            chunk.clear();
        }
    });
    out.write(chunk);
    out.close();

    g.database = g.dir->filePath(QStringLiteral("clienti.db"));
    QProcess p;
    p.start(g.sqlite3, {g.database});
    p.write(QStringLiteral("CREATE TABLE clienti (cliente TEXT, recapito TEXT, occupazione TEXT, prodotti TEXT, "
                           "note TEXT, comune TEXT);\n.import --csv '%1' clienti\n")
                .arg(csv)
                .toUtf8());
    p.closeWriteChannel();
    if (!p.waitForFinished(300000) || p.exitCode() != 0)
        throw std::runtime_error("sqlite3 could not load the table: " + p.readAllStandardError().toStdString());
    QFile::remove(csv);
}

// The same lines from both, or the comparison measures two different jobs.
void checkSqliteAgrees(const QStringList &ours, bool filtered)
{
    const QStringList theirs = QString::fromUtf8(runSqlite(sqlQuery(filtered), true)).split(u'\n', Qt::SkipEmptyParts);
    // sqlite3 prints the lines as they are; the program keeps trailing blanks too.
    QStringList trimmedOurs;
    for (const QString &l : ours) {
        QString t = l;
        while (t.endsWith(u' '))
            t.chop(1);
        trimmedOurs.append(t);
    }
    QStringList trimmedTheirs;
    for (const QString &l : theirs) {
        QString t = l;
        while (t.endsWith(u' '))
            t.chop(1);
        trimmedTheirs.append(t);
    }
    int differing = 0;
    for (qsizetype i = 0; i < std::min(trimmedOurs.size(), trimmedTheirs.size()); ++i)
        differing += trimmedOurs[i] != trimmedTheirs[i];
    std::fprintf(stderr, "sqlite3 %s: %lld lines (program %lld), %d lines in a different place (ties in case)\n",
                 filtered ? "three filters" : "no filter", qlonglong(theirs.size()), qlonglong(ours.size()), differing);
    if (theirs.size() != ours.size())
        throw std::runtime_error("sqlite3 and the program do not find the same clients");
}

void prepare()
{
    g.dir = benchgen::scratchFolder();
    g.count = benchgen::envCount("TIRELLO_BENCH_CLIENTS", 100000);

    const benchgen::Written written = benchgen::generateClients(g.dir->path(), g.count, kSeed);
    g.clients = written.path;
    g.bytes = written.bytes;

    for (const Filter &f : kThree)
        g.three.set(QString::fromLatin1(f.field), QString::fromLatin1(f.typed));
    const QStringList all = clients::searchLines(g.clients, {});
    const QStringList three = clients::searchLines(g.clients, g.three);
    if (all.size() != g.count)
        throw std::runtime_error("the search without filters did not list every client");
    g.threeCount = int(three.size());
    g.chosenLine = all.at(all.size() / 2);
    std::fprintf(stderr, "%d clients (%.1f MB); three filters (name \"ar\", town \"RO\", products \"analisi\") "
                         "list %d\n",
                 g.count, double(g.bytes) / (1024.0 * 1024.0), g.threeCount);

    g.sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (g.sqlite3.isEmpty()) {
        std::fprintf(stderr, "NOTE: sqlite3 is not installed: the comparison with it is skipped "
                             "(apt-get install sqlite3).\n");
        return;
    }
    QElapsedTimer t;
    t.start();
    loadSqlite();
    std::fprintf(stderr, "Loaded the rows into sqlite3 in %.2f s\n", double(t.elapsed()) / 1000.0);
    checkSqliteAgrees(all, false);
    checkSqliteAgrees(three, true);
}

void BM_SearchNoFilter(benchmark::State &state)
{
    qsizetype n = 0;
    for (auto _ : state)
        n = clients::searchLines(g.clients, {}).size();
    state.counters["lines"] = double(n);
    state.SetItemsProcessed(int64_t(state.iterations()) * g.count);
}

void BM_SearchThreeFilters(benchmark::State &state)
{
    qsizetype n = 0;
    for (auto _ : state)
        n = clients::searchLines(g.clients, g.three).size();
    state.counters["lines"] = double(n);
    state.SetItemsProcessed(int64_t(state.iterations()) * g.count);
}

// The list as the search window holds it: the lines kept as bytes, sorted.
void BM_SearchListNoFilter(benchmark::State &state)
{
    qsizetype n = 0;
    for (auto _ : state)
        n = clients::searchList(g.clients, {}).size();
    state.counters["lines"] = double(n);
    state.SetItemsProcessed(int64_t(state.iterations()) * g.count);
}

// The same without the sort: the archive read and every line made.
void BM_CollectFullList(benchmark::State &state)
{
    for (auto _ : state) {
        lists::Lines lines;
        lists::collectLines(
            g.clients, records::client(),
            [](records::RecordView r, QByteArray &line) { clients::appendLine(line, r, clients::LastColumn::Notes); },
            {}, lines);
        benchmark::DoNotOptimize(lines.size());
    }
}

// Only the sort of the full list as the window holds it, for diagnosis.
void BM_SortLines(benchmark::State &state)
{
    lists::Lines unsorted;
    lists::collectLines(
        g.clients, records::client(),
        [](records::RecordView r, QByteArray &line) { clients::appendLine(line, r, clients::LastColumn::Notes); }, {},
        unsorted);
    for (auto _ : state) {
        lists::Lines lines = unsorted;
        lines.sort();
        benchmark::DoNotOptimize(lines.size());
    }
}

// Only the sort of the full list as strings, for diagnosis.
void BM_SortFullList(benchmark::State &state)
{
    QStringList unsorted;
    archive::scan(g.clients, records::client().size(), [&](int, QByteArrayView bytes) {
        unsorted.append(clients::listLine(records::RecordView(records::client(), bytes.data()), clients::LastColumn::Notes));
    });
    for (auto _ : state) {
        QStringList lines = unsorted;
        lines.detach();
        lists::sortLines(lines);
        benchmark::DoNotOptimize(lines.data());
    }
}

void BM_RecontactList(benchmark::State &state)
{
    qsizetype n = 0;
    for (auto _ : state) {
        QStringList lines;
        clients::recontactLines(g.clients, lines);
        n = lines.size();
    }
    state.counters["lines"] = double(n);
}

// What a double click costs: the whole archive read and every line rebuilt.
void BM_DoubleClickScan(benchmark::State &state)
{
    for (auto _ : state) {
        const auto chosen = lists::lastRecordOfLine(g.clients, records::client(),
                                                   clients::lineOf(clients::LastColumn::Notes), g.chosenLine);
        if (!chosen) {
            state.SkipWithError("the chosen line was not found");
            break;
        }
    }
}

void BM_Sqlite3(benchmark::State &state, bool filtered)
{
    const QString sql = sqlQuery(filtered);
    for (auto _ : state) {
        try {
            runSqlite(sql, false);
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            break;
        }
    }
}

void BM_CatClients(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess cat;
        cat.setStandardOutputFile(QProcess::nullDevice());
        cat.start(QStringLiteral("cat"), {g.clients});
        if (!cat.waitForFinished(60000) || cat.exitCode() != 0) {
            state.SkipWithError("cat failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * g.bytes);
}

// The cost of starting any process, to read the two figures above.
void BM_ProcessStart(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral("true"), {});
        p.waitForFinished(60000);
    }
}

} // namespace

BENCHMARK(BM_SearchNoFilter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_SearchThreeFilters)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_SearchListNoFilter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_CollectFullList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_SortLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_SortFullList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_RecontactList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_DoubleClickScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
BENCHMARK(BM_CatClients)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5)->Repetitions(3);
BENCHMARK(BM_ProcessStart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10)->Repetitions(3);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    try {
        prepare();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_search: %s\n", e.what());
        return 1;
    }
    if (!g.database.isEmpty()) {
        benchmark::RegisterBenchmark("BM_Sqlite3NoFilter", BM_Sqlite3, false)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
        benchmark::RegisterBenchmark("BM_Sqlite3ThreeFilters", BM_Sqlite3, true)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g.dir.reset();
    return 0;
}
