// tirello-gen: fills a folder with archives of any size, for benchmarks and for trying
// the program on a big laboratory's data.
//
//   tirello-gen <cartella> [--clients N] [--models N] [--reports N] [--certificates N]
//               [--year AAAA] [--seed S] [--force]

#include "datagen.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <exception>
#include <limits>
#include <type_traits>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "uso: tirello-gen <cartella> [--clients N] [--models N] [--reports N] [--certificates N]\n"
                 "                 [--year AAAA] [--seed S] [--force]\n"
                 "Scrive Clienti.pro, Parametri_Chimici.pro, <anno>.rdp e <anno>.cda (un archivio con N = 0\n"
                 "non viene scritto). Senza --force non sostituisce archivi esistenti.\n");
    return 2;
}

bool number(const char *text, qint64 low, qint64 high, qint64 &out)
{
    bool ok = false;
    const qint64 v = QByteArray(text).toLongLong(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString folder;
    benchgen::Options options;
    options.year = QDate::currentDate().year();
    bool force = false;

    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--force") {
            force = true;
            continue;
        }
        if (arg.startsWith("--")) {
            if (i + 1 >= argc)
                return usage();
            const char *value = argv[++i];
            qint64 v = 0;
            auto set = [&](qint64 low, qint64 high, auto &target) {
                if (!number(value, low, high, v))
                    return false;
                target = std::remove_reference_t<decltype(target)>(v);
                return true;
            };
            bool ok;
            if (arg == "--clients")
                ok = set(0, 50'000'000, options.counts.clients);
            else if (arg == "--models")
                ok = set(0, 10'000'000, options.counts.models);
            else if (arg == "--reports")
                ok = set(0, 10'000'000, options.counts.reports);
            else if (arg == "--certificates")
                ok = set(0, 5'000'000, options.counts.certificates);
            else if (arg == "--year")
                ok = set(1900, 9999, options.year);
            else if (arg == "--seed")
                ok = set(0, std::numeric_limits<qint64>::max(), options.seed);
            else
                return usage();
            if (!ok) {
                std::fprintf(stderr, "valore non valido per %s: %s\n", arg.constData(), value);
                return 2;
            }
        } else if (folder.isEmpty()) {
            folder = QString::fromLocal8Bit(arg);
        } else {
            return usage();
        }
    }
    if (folder.isEmpty())
        return usage();

    // Archives hold a laboratory's work: never replace one by accident.
    if (!force) {
        const QDir dir(folder);
        const benchgen::Counts &n = options.counts;
        const std::pair<int, QString> files[] = {
            {n.clients, benchgen::clientsFile()},
            {n.models, benchgen::modelsFile()},
            {n.reports, benchgen::reportsFile(options.year)},
            {n.certificates, benchgen::certificatesFile(options.year)},
        };
        for (const auto &[count, name] : files) {
            if (count > 0 && QFile::exists(dir.filePath(name))) {
                std::fprintf(stderr, "%s esiste già: usare --force per sostituirlo\n",
                             qPrintable(QDir::toNativeSeparators(dir.filePath(name))));
                return 1;
            }
        }
    }

    try {
        benchgen::generateFolder(folder, options, [](const benchgen::Written &w) {
            std::printf("%-40s %9d record %10.1f MB %7.2f s\n", qPrintable(QDir::toNativeSeparators(w.path)),
                        w.records, double(w.bytes) / (1024.0 * 1024.0), w.seconds);
            std::fflush(stdout);
        });
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
