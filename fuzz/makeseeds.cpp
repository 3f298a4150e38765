// Writes the seed corpora of the fuzz targets from real-looking data: records made by the
// benchmark generator, a settings file and a password file as the program writes them,
// an export of client cards, and the program's own report templates.
//
//   fuzz_makeseeds <folder of the sources> <corpus folder>

#include "datagen.h"

#include "clients/clientexport.h"
#include "storage/crypt.h"
#include "storage/settings.h"
#include "storage/textcodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QString g_out;

void put(const QString &target, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(g_out + u'/' + target);
    QFile f(g_out + u'/' + target + u'/' + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
        std::exit(1);
    }
}

QByteArray utf16(const QString &s)
{
    QByteArray out;
    for (QChar c : s) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    return f.readAll();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "uso: fuzz_makeseeds <sorgenti> <cartella dei corpus>\n");
        return 2;
    }
    const QString sources = QString::fromLocal8Bit(argv[1]);
    g_out = QString::fromLocal8Bit(argv[2]);
    const quint64 seed = 7;
    const int year = 2025;

    // One record of each layout, and a client card with a text to write into its fields.
    const records::Record samples[] = {benchgen::client(seed, 3), benchgen::model(seed, 2),
                                       benchgen::report(seed, 5, year, 50, 10),
                                       benchgen::certificate(seed, 1, year, 50, 10)};
    const char *names[] = {"cliente", "modello", "rapporto", "certificato"};
    for (int k = 0; k < 4; ++k)
        put(QStringLiteral("records"), QString::fromLatin1(names[k]), char(k) + samples[k].bytes());
    put(QStringLiteral("records"), QStringLiteral("cliente-testo"),
        char(0) + samples[0].bytes() + utf16(QStringLiteral("  Rossi Maria \u20ac \u00e8 \u201cprova\u201d\u3042 ")));

    // Archives: two client cards and a partial third, a certificate with a partial tail,
    // and an archive of short records.
    put(QStringLiteral("archive"), QStringLiteral("clienti-coda"),
        char(0) + benchgen::client(seed, 1).bytes() + benchgen::client(seed, 2).bytes()
            + benchgen::client(seed, 4).bytes().left(700));
    put(QStringLiteral("archive"), QStringLiteral("modelli"), char(1) + samples[1].bytes());
    put(QStringLiteral("archive"), QStringLiteral("certificati-coda"), char(3) + samples[3].bytes() + QByteArray(40, 'C'));
    put(QStringLiteral("archive"), QStringLiteral("corti"),
        char(4 + 15) + samples[0].bytes().left(16 * 5 + 7));

    // The settings file and the password file, written by the program itself.
    QTemporaryDir tmp;
    const QString ini = tmp.path() + QStringLiteral("/Tirello.ini");
    settings::Laboratory lab;
    lab.denominazione = QStringLiteral("Laboratorio Analisi Ambientali S.r.l.");
    lab.indirizzo = QStringLiteral("Via dell'Industria, 12");
    lab.comune = QStringLiteral("35127 Padova (PD)");
    lab.partita = QStringLiteral("04231560283");
    lab.codice = QStringLiteral("04231560283");
    lab.email = QStringLiteral("info@laboratorio-esempio.it");
    lab.telefono = QStringLiteral("049 8765432");
    lab.libero = QStringLiteral("Accreditato \u00abLAB N\u00b0 1234\u00bb");
    lab.responsabile = QStringLiteral("Dott. Bianchi Luca");
    lab.chimico = QStringLiteral("Dott.ssa Verdi Anna");
    lab.ordine = QStringLiteral("Ordine dei Chimici di Padova n. 567");
    settings::writeLaboratory(ini, settings::DocumentKind::Reports, lab);
    settings::writeLaboratory(ini, settings::DocumentKind::Certificates, lab);
    settings::writeNumbering(ini, settings::DocumentKind::Reports, {QStringLiteral("120"), true});
    settings::writeNumbering(ini, settings::DocumentKind::Certificates, {QStringLiteral("1"), false});
    const QByteArray settingsFile = fileBytes(ini);
    put(QStringLiteral("settings"), QStringLiteral("tirello-ini"), settingsFile);
    // As an editor may leave it: UTF-8 with a byte-order mark, LF lines, a comment.
    QString edited = text::fromCp1252(settingsFile);
    edited.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    put(QStringLiteral("settings"), QStringLiteral("tirello-ini-utf8"),
        "\xEF\xBB\xBF; modificato a mano\n" + edited.toUtf8() + "[Altro]\nChiave = valore con spazi \t\n");

    const QString pwd = tmp.path() + u'/' + password::kFileName;
    password::writeStored(pwd, password::kFirstPassword);
    put(QStringLiteral("crypt"), QStringLiteral("primo-accesso"), '\0' + fileBytes(pwd));
    password::writeStored(pwd, QStringLiteral("analisi2025"));
    put(QStringLiteral("crypt"), QStringLiteral("parola"), '\0' + fileBytes(pwd));
    put(QStringLiteral("crypt"), QStringLiteral("digitata"), '\1' + utf16(QStringLiteral(" Caff\u00e8Laboratorio\u20ac ")));

    // An export of client cards: the sheet's name and captions, then three rows.
    const spreadsheet::Sheet &sheet = clients::exportSheet();
    const int columns = 8;
    QStringList texts{sheet.name};
    for (int c = 0; c < columns; ++c)
        texts.append(sheet.columns[c].caption);
    for (int r = 0; r < 3; ++r) {
        const records::Record card = benchgen::client(seed, 10 + r);
        for (int c = 0; c < columns; ++c) {
            QStringList parts;
            for (const QString &field : sheet.columns[c].fields)
                parts.append(card.text(field));
            texts.append(parts.join(u' '));
        }
    }
    texts.append(QStringLiteral("  <b>Ditta & figli</b> \u00abgi\u00e0\u00bb \U0001F600 \u4e2d "));
    put(QStringLiteral("spreadsheet"), QStringLiteral("clienti"),
        QByteArray(1, char(columns - 1)) + char(0x25) + utf16(texts.join(QChar(0xFFFF))));

    // The report templates as they ship.
    for (const QString &name : QDir(sources + QStringLiteral("/src/templates")).entryList({QStringLiteral("*.json")}))
        put(QStringLiteral("template"), name, fileBytes(sources + QStringLiteral("/src/templates/") + name));
    return 0;
}
