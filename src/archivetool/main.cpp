// tirello-archivi: checks the archives of a program folder, backs the folder up into one
// file and restores such a backup. Shipped in the program folder beside the program.

#include "backup.h"
#include "check.h"

#include "storage/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

const char *const kHelp =
    "Uso: tirello-archivi <comando> [argomenti]\n"
    "\n"
    "Controlla gli archivi di Tirello, ne fa una copia di sicurezza e la ripristina.\n"
    "Senza cartella si intende la cartella in cui si trova questo programma.\n"
    "\n"
    "Comandi:\n"
    "  verifica [cartella]\n"
    "      Legge tutti gli archivi della cartella (Clienti.pro, Parametri_Chimici.pro,\n"
    "      <anno>.rdp, <anno>.cda) e segnala, per archivio e per scheda, ci\u00f2 che \u00e8\n"
    "      danneggiato o sospetto; confronta poi i documenti emessi in PDF con il registro\n"
    "      di ogni anno (Documenti_Emessi): file mancanti, modificati o non registrati.\n"
    "      Non modifica nulla.\n"
    "  copia [cartella] [destinazione]\n"
    "      Scrive nella destinazione (se manca: la sottocartella Copie_di_sicurezza della\n"
    "      cartella) un unico file Tirello-copia-AAAA-MM-GG-hhmmss.zip con archivi,\n"
    "      impostazioni, password, logo, documenti allegati e documenti emessi. Si pu\u00f2\n"
    "      fare anche mentre il programma \u00e8 aperto.\n"
    "  ripristina [--forza] <copia> <cartella vuota>\n"
    "      Controlla la copia e la ripristina in una cartella vuota (o nuova). Con --forza\n"
    "      ripristina anche una copia i cui archivi hanno dei problemi.\n"
    "\n"
    "Codici di uscita:\n"
    "  0  tutto in ordine\n"
    "  1  trovati problemi negli archivi (verifica; ripristina senza --forza non ripristina),\n"
    "     oppure copia scritta senza qualche file (elencati negli avvisi)\n"
    "  2  comando non eseguito: argomenti sbagliati, cartella o copia illeggibile,\n"
    "     copia non sicura, cartella non vuota, disco pieno o di sola lettura\n";

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int usage(const QString &why)
{
    err() << "tirello-archivi: " << why << "\n\n" << kHelp;
    return archivetool::kFailure;
}

QString defaultFolder()
{
    return QDir::cleanPath(ProgramFolder::path());
}

int verify(const QStringList &args)
{
    if (args.size() > 1)
        return usage(QStringLiteral("troppi argomenti per verifica"));
    const archivetool::CheckReport report = archivetool::check(args.isEmpty() ? defaultFolder() : args[0]);
    out() << archivetool::format(report);
    return archivetool::exitCode(report);
}

int copy(const QStringList &args)
{
    if (args.size() > 2)
        return usage(QStringLiteral("troppi argomenti per copia"));
    const QString folder = args.isEmpty() ? defaultFolder() : args[0];
    const QString destination =
        args.size() > 1 ? args[1] : QDir(folder).filePath(QStringLiteral("Copie_di_sicurezza"));
    const archivetool::BackupResult result = archivetool::backup(folder, destination);
    for (const QString &note : result.notes)
        err() << "Avviso: " << note << "\n";
    if (!result.ok) {
        err() << "Errore: " << result.error << ". Nessuna copia \u00e8 stata scritta.\n";
        return archivetool::kFailure;
    }
    out() << "Copia di sicurezza scritta: " << QDir::toNativeSeparators(result.path) << "\n"
          << "  " << result.files << " file, " << result.bytes << " byte prima della compressione; riletta e integra.\n";
    if (!result.notes.isEmpty()) {
        // Written, but not whole: said, and not "tutto in ordine".
        out() << "  Attenzione: " << (result.notes.size() == 1 ? QStringLiteral("1 file \u00e8 rimasto")
                                                               : QStringLiteral("%1 file sono rimasti")
                                                                     .arg(result.notes.size()))
              << " fuori dalla copia (vedi gli avvisi).\n";
        return archivetool::kProblems;
    }
    return archivetool::kOk;
}

int restore(QStringList args)
{
    const bool force = args.removeAll(QStringLiteral("--forza")) > 0;
    if (args.size() != 2)
        return usage(QStringLiteral("ripristina vuole la copia e la cartella vuota in cui ripristinarla"));
    const archivetool::RestoreResult result = archivetool::restore(args[0], args[1], force);
    if (!result.check.archives.isEmpty() || !result.check.errors.isEmpty())
        out() << archivetool::format(result.check);
    if (!result.error.isEmpty()) {
        err() << "Errore: " << result.error << ".\n";
        if (result.code == archivetool::kProblems)
            err() << "Per ripristinarla comunque: tirello-archivi ripristina --forza <copia> <cartella vuota>\n";
        return result.code;
    }
    out() << "Ripristino eseguito in " << QDir::toNativeSeparators(args[1]) << ": " << result.files << " file";
    out() << (result.code == archivetool::kOk ? QStringLiteral(".\n")
                                              : QStringLiteral(", nonostante i problemi segnalati sopra.\n"));
    return result.code;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("manca il comando"));
    const QString command = args.takeFirst();
    int code;
    if (command == u"--help" || command == u"-h" || command == u"aiuto") {
        out() << kHelp;
        code = archivetool::kOk;
    } else if (command == u"verifica") {
        code = verify(args);
    } else if (command == u"copia") {
        code = copy(args);
    } else if (command == u"ripristina") {
        code = restore(args);
    } else {
        code = usage(QStringLiteral("comando sconosciuto: %1").arg(command));
    }
    out().flush();
    err().flush();
    return code;
}
