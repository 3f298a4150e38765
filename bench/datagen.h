#pragma once
// Realistic archive contents for benchmarks and for trying the program on big folders.
//
// Every record is a pure function of (seed, kind, index): record i of an archive is the
// same whatever else is generated, and reports and certificates can quote the client
// and the model they belong to without keeping the other archives in memory.

#include "storage/records.h"

#include <QString>

#include <functional>
#include <memory>

class QTemporaryDir;

namespace benchgen {

struct Counts {
    int clients = 1000;
    int models = 100;
    int reports = 1000;
    int certificates = 200;
};

struct Options {
    Counts counts;
    int year = 0;        // 0: the current year
    quint64 seed = 1;
};

// One record of each type. `clients` and `models` are how many the folder holds, so
// that documents refer to existing cards (0: made-up ones).
records::Record client(quint64 seed, int index);
records::Record model(quint64 seed, int index);
records::Record report(quint64 seed, int index, int year, int clients, int models);
records::Record certificate(quint64 seed, int index, int year, int clients, int models);

// The name shown on client card `index` (what the first field holds).
QString clientName(quint64 seed, int index);

// Writes `count` records built by make(i) into a new file (replacing any old one) in
// big chunks, with one flush to disk at the end. Returns the bytes written.
// Throws std::runtime_error on any failure.
qint64 writeArchive(const QString &path, const records::Layout &layout, int count,
                    const std::function<records::Record(int index)> &make);

struct Written {
    QString path;
    int records = 0;
    qint64 bytes = 0;
    double seconds = 0;
};

// The four archives of a program folder, named as the program expects them. An archive
// whose count is 0 is not written. `progress` (optional) hears of each finished file.
QList<Written> generateFolder(const QString &folder, const Options &options,
                              const std::function<void(const Written &)> &progress = {});

// A laboratory's year of test reports alone: `count` reports numbered from 1/year on, for
// `clients` regular clients (whose archive is not written) and every kind of analysis;
// about 13.5 kB each, so 20,000 make 270 MB. `year` 0 means the current year.
Written generateReports(const QString &folder, int count, int year, quint64 seed, int clients = 2000);

// `count` client cards alone, as the program's client archive in folder.
Written generateClients(const QString &folder, int count, quint64 seed);

// ---- For the benchmark harnesses ----

// A knob: the positive whole number in the environment variable `name`, else fallback.
int envCount(const char *name, int fallback);
// A new temporary folder for the big files, inside TIRELLO_BENCH_DIR when that is set (it
// must be on the disk the program will use). Throws std::runtime_error when it cannot be
// made.
std::unique_ptr<QTemporaryDir> scratchFolder();

// The archive file names.
QString clientsFile();
QString modelsFile();
QString reportsFile(int year);
QString certificatesFile(int year);

} // namespace benchgen
