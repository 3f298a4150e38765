// Saving a test report with the checks that keep stations sharing one folder from losing
// each other's work, on a year of 20,000 reports: "Salva" on a new report after "Nuovo"
// (the number compared with what other stations stored meanwhile: usually nothing) and
// "Salva" over a stored report (the stored bytes compared with those the card loaded).
// Each on the local disk, and through an sshfs mount of the same kind of folder with
// every cache off, as a network share is (skipped where it cannot be mounted: see
// tests/support/sshfs.h).
//
// Environment: TIRELLO_BENCH_REPORTS (default 20000), TIRELLO_BENCH_DIR (temporary files:
// put it on the disk the program will use).

#include "datagen.h"
#include "windowsmain.h"

#include "reports/frmrapporti.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/records.h"
#include "ui/seams.h"

#include "support/sshfs.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include <cstdio>
#include <memory>

namespace {

constexpr quint64 kSeed = 2024;
constexpr int kYear = 2024;

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    QString local; // the year's archive on the local disk
    int count = 0;
    std::unique_ptr<support::SshfsPair> share;
    QString shared; // the same kind of archive, seen through the mount
    QString why;    // why there is no mount
};

Fixture g;

void prepare()
{
    g.dir = benchgen::scratchFolder();
    g.count = benchgen::envCount("TIRELLO_BENCH_REPORTS", 20000);
    g.local = benchgen::generateReports(g.dir->path(), g.count, kYear, kSeed).path;
    g.share = std::make_unique<support::SshfsPair>();
    if (g.share->start(&g.why)) {
        const QString onServer = QDir(g.share->share()).filePath(QFileInfo(g.local).fileName());
        QFile::copy(g.local, onServer);
        g.shared = QDir(g.share->mountA()).filePath(QFileInfo(g.local).fileName());
    }
    std::fprintf(stderr, "%d reports; share: %s\n", g.count,
                 g.shared.isEmpty() ? qPrintable(QStringLiteral("none (") + g.why + u')') : "sshfs, caches off");
}

// A card on the archive, with the fields a save needs.
std::unique_ptr<TfrmRapporti> cardOn(const QString &archive)
{
    ProgramFolder::setOverride(QFileInfo(archive).absolutePath());
    auto card = std::make_unique<TfrmRapporti>(nullptr);
    card->openArchive(archive, QString());
    return card;
}

void fill(TfrmRapporti &card, int i)
{
    for (const char *name : {"txtLaboratorio", "txtCliente", "txtAnalisi", "txtCampione"})
        card.setField(QString::fromLatin1(name), QStringLiteral("Misura %1").arg(i));
}

// "Nuovo", then "Salva": the append with the repeated-number check.
void saveNew(benchmark::State &state, const QString &archive)
{
    if (archive.isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("no sshfs mount: ") + g.why));
        return;
    }
    auto card = cardOn(archive);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        card->cmdNuovoClick();
        fill(*card, ++i);
        state.ResumeTiming();
        card->cmdSalvaClick();
    }
    const QList<Messages::Shown> shown = Messages::taken();
    if (shown.size() != int(state.iterations()) || shown.last().text != cardTexts::kInserted)
        state.SkipWithError("a save did not go through");
}

// A stored report changed and saved over: the lost-edit check and the write.
void saveOver(benchmark::State &state, const QString &archive)
{
    if (archive.isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("no sshfs mount: ") + g.why));
        return;
    }
    auto card = cardOn(archive);
    card->cmdUltimoClick();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        card->setField(QStringLiteral("txtRisultato01"), QString::number(++i));
        state.ResumeTiming();
        card->cmdSalvaClick();
    }
    const QList<Messages::Shown> shown = Messages::taken();
    if (shown.size() != int(state.iterations()) || shown.last().text != cardTexts::kSavedChanges)
        state.SkipWithError("a save did not go through");
}

void BM_SaveNewReportLocal(benchmark::State &state) { saveNew(state, g.local); }
void BM_SaveOverReportLocal(benchmark::State &state) { saveOver(state, g.local); }
void BM_SaveNewReportShare(benchmark::State &state) { saveNew(state, g.shared); }
void BM_SaveOverReportShare(benchmark::State &state) { saveOver(state, g.shared); }

} // namespace

BENCHMARK(BM_SaveNewReportLocal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20)->Repetitions(3);
BENCHMARK(BM_SaveOverReportLocal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20)->Repetitions(3);
BENCHMARK(BM_SaveNewReportShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20)->Repetitions(3);
BENCHMARK(BM_SaveOverReportShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20)->Repetitions(3);

int main(int argc, char **argv)
{
    const int code = benchwindows::run(argc, argv, "bench_shared", prepare,
                                       [](QApplication &) { Messages::startRecording(); }); // no box is ever shown
    g.share.reset();
    return code;
}
