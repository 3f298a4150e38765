// The archive tool as the user runs it: the built tirello-archivi on folders made for
// each case. Exit codes: 0 clean or done, 1 problems in the archives, 2 not done.

#include "archivetool/backup.h"
#include "storage/attachments.h"
#include "storage/crypt.h"
#include "storage/issued.h"
#include "storage/programfiles.h"
#include "storage/recordfile.h"
#include "storage/records.h"
#include "storage/settings.h"
#include "support/environment.h"
#include "support/files.h"
#include "support/scratchfs.h"

#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstring>

#include <sys/stat.h>

namespace {

struct Run {
    int code = -1; // -1: crashed or hung
    QString out;
    QString err;
};

Run tool(const QStringList &args, int timeoutMs = 60000)
{
    QProcess p;
    p.start(QStringLiteral(TIRELLO_ARCHIVI), args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    Run r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

records::Record client(const QString &name, const QString &flag = records::kNo)
{
    records::Record r(records::client());
    r.setText(QStringLiteral("txtCliente"), name);
    r.setText(QStringLiteral("chkRicontatta"), flag);
    return r;
}

records::Record document(const records::Layout &layout, const QString &number, const QString &date)
{
    records::Record r(layout);
    r.setText(QStringLiteral("txtLaboratorio"), QStringLiteral("Laboratorio Analisi Srl"));
    r.setText(QStringLiteral("txtCliente"), QStringLiteral("Bianchi Anna"));
    r.setText(QStringLiteral("txtNumRap"), number);
    r.setText(QStringLiteral("txtData"), date);
    r.setText(QStringLiteral("txtDataPrel"), date);
    r.setText(QStringLiteral("txtOraRic"), QStringLiteral("09:30"));
    r.setText(QStringLiteral("chkConsegnato"), records::kYes);
    return r;
}

QByteArray join(const QList<records::Record> &records)
{
    QByteArray out;
    for (const records::Record &r : records)
        out += r.bytes();
    return out;
}

// A program folder as the program leaves it: the four archives, settings, password,
// logo and two attachments, all sound.
void makeSoundFolder(const QString &folder)
{
    QDir(folder).mkpath(attachments::kFolderName);
    const QString attached = QDir(folder).filePath(attachments::kFolderName + u'/');
    QVERIFY(support::writeFile(attached + QStringLiteral("analisi acqua.pdf"), QByteArray("%PDF-1.4 acqua")));
    QVERIFY(support::writeFile(attached + QStringLiteral("relazione pi\u00f9.odt"), QByteArray(5000, 'r')));

    records::Record withAttachment = client(QStringLiteral("Rossi Mario"), records::kYes);
    withAttachment.setText(QStringLiteral("lblFile01"), QStringLiteral("analisi acqua.pdf"));
    withAttachment.setText(QStringLiteral("lblDesc01"), QStringLiteral("Referto"));
    QVERIFY(support::writeFile(QDir(folder).filePath(programfiles::kClients),
                               join({withAttachment, client(QStringLiteral("Verdi Srl"))})));

    records::Record model(records::model());
    model.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Potabilit\u00e0"));
    model.setText(QStringLiteral("txtCampione"), QStringLiteral("Acqua"));
    model.setText(QStringLiteral("lblFile02"), QStringLiteral("relazione pi\u00f9.odt"));
    QVERIFY(support::writeFile(QDir(folder).filePath(programfiles::kModels), model.bytes()));

    QVERIFY(support::writeFile(QDir(folder).filePath(QStringLiteral("2024.rdp")),
                               join({document(records::report(), QStringLiteral("1/2024"), QStringLiteral("05/03/2024")),
                                     document(records::report(), QStringLiteral("2/2024"), QStringLiteral("29/02/2024"))})));
    QVERIFY(support::writeFile(QDir(folder).filePath(QStringLiteral("2024.cda")),
                               document(records::certificate(), QStringLiteral("1"), QStringLiteral("31/12/2024")).bytes()));
    // Numbers start again every year.
    QVERIFY(support::writeFile(QDir(folder).filePath(QStringLiteral("2025.rdp")),
                               document(records::report(), QStringLiteral("1/2024"), QStringLiteral("02/01/2025")).bytes()));
    QVERIFY(support::writeFile(QDir(folder).filePath(settings::kFileName),
                               QByteArray("[Laboratorio]\r\nDenominazione=Laboratorio Analisi Srl\r\n")));
    password::writeStored(QDir(folder).filePath(password::kFileName), password::kFirstPassword);
    QVERIFY(support::writeFile(QDir(folder).filePath(programfiles::kLogo), QByteArray("BM fake bitmap")));

    // Documents issued as PDF: a report and its revision in 2024, a certificate in 2025.
    const QDateTime when(QDate(2025, 1, 3), QTime(11, 0, 0));
    const QString client = QStringLiteral("Bianchi Anna");
    issued::issue(folder, {settings::DocumentKind::Reports, 2024, QStringLiteral("1/2024"), client, "%PDF-1.4 primo"}, when);
    issued::issue(folder, {settings::DocumentKind::Reports, 2024, QStringLiteral("1/2024"), client, "%PDF-1.4 rev"}, when);
    issued::issue(folder, {settings::DocumentKind::Certificates, 2025, QStringLiteral("1"), client, "%PDF-1.4 cert"}, when);
}

QString onlyBackupIn(const QString &folder)
{
    const QStringList zips = QDir(folder).entryList({QStringLiteral("Tirello-copia-*.zip")}, QDir::Files);
    return zips.size() == 1 ? QDir(folder).filePath(zips.first()) : QString();
}

// Record i of the appending test: its index, then one byte repeated to the end.
QByteArray patternRecord(int i, int size)
{
    QByteArray r(size, char('A' + i % 26));
    const QByteArray head = QByteArray::number(i).rightJustified(8, '0');
    std::memcpy(r.data(), head.constData(), size_t(head.size()));
    return r;
}

// An append as a slow disk makes it: under the program's lock, the record goes down in
// two halves with a pause between them.
void appendSlowly(const QString &path, const QByteArray &record)
{
    RecordFile file(path, int(record.size()));
    file.open();
    file.lock();
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::Append));
    raw.write(record.left(record.size() / 2));
    QVERIFY(raw.flush());
    QThread::msleep(3);
    raw.write(record.mid(record.size() / 2));
    QVERIFY(raw.flush());
}

} // namespace

class TestArchiveTool : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new QTemporaryDir); }

    void helpAndUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0;
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("cancella")} << 2;
        QTest::newRow("restore without target") << QStringList{QStringLiteral("ripristina"), QStringLiteral("x.zip")} << 2;
        QTest::newRow("too many arguments") << QStringList{QStringLiteral("verifica"), QStringLiteral("a"), QStringLiteral("b")} << 2;
        QTest::newRow("missing folder") << QStringList{QStringLiteral("verifica"), QStringLiteral("/nessuna/cartella")} << 2;
    }
    void helpAndUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const Run r = tool(args);
        QCOMPARE(r.code, code);
        // The help names every command, in Italian, wherever it is printed.
        if (args.size() < 2)
            for (const char *word : {"verifica", "copia", "ripristina", "Codici di uscita"})
                QVERIFY2((r.out + r.err).contains(QLatin1String(word)), word);
    }

    void soundFolderPasses()
    {
        makeSoundFolder(m_dir->path());
        const Run r = tool({QStringLiteral("verifica"), m_dir->path()});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        for (const char *line : {"Clienti.pro: 2 schede, nessun problema", "Parametri_Chimici.pro: 1 scheda, nessun problema",
                                 "2024.rdp: 2 schede, nessun problema", "2024.cda: 1 scheda, nessun problema",
                                 "2025.rdp: 1 scheda, nessun problema",
                                 "Documenti_Emessi/2024: 2 documenti emessi, nessun problema",
                                 "Documenti_Emessi/2025: 1 documento emesso, nessun problema", "Esito: nessun problema."})
            QVERIFY2(r.out.contains(QString::fromUtf8(line)), line);
    }

    // Issued documents against their registers: a file changed since its issue, one gone,
    // a line that is no line, a PDF no line lists, one outside the years' folders. Each is
    // named with its file, the exit is 1, and nothing in the folder changes.
    void issuedDocumentsChecked()
    {
        makeSoundFolder(m_dir->path());
        const QDir year(m_dir->filePath(QStringLiteral("Documenti_Emessi/2024")));
        QVERIFY(support::writeFile(year.filePath(QStringLiteral("Rapporto di prova 1-2024.pdf")), "%PDF-1.4 cambiato"));
        QVERIFY(QFile::remove(year.filePath(QStringLiteral("Rapporto di prova 1-2024 rev. 1.pdf"))));
        QFile reg(year.filePath(issued::kRegisterName));
        QVERIFY(reg.open(QIODevice::Append));
        reg.write("riga scritta a mano\r\n");
        reg.close();
        QVERIFY(support::writeFile(year.filePath(QStringLiteral("Rapporto di prova 9-2024.pdf")), "%PDF-1.4 mai emesso"));
        QVERIFY(support::writeFile(m_dir->filePath(QStringLiteral("Documenti_Emessi/vecchio.pdf")), "%PDF-1.4"));

        const auto before = support::treeOf(m_dir->path());
        const Run r = tool({QStringLiteral("verifica"), m_dir->path()});
        QCOMPARE(r.code, 1);
        const QStringList expected{
            QStringLiteral("Documenti_Emessi/2024: 3 documenti emessi, 4 problemi"),
            QStringLiteral("riga 1 del registro: documento \"Rapporto di prova 1-2024.pdf\" modificato dopo "
                           "l'emissione: la sua impronta SHA-256 non \u00e8 quella del registro"),
            QStringLiteral("riga 2 del registro: documento \"Rapporto di prova 1-2024 rev. 1.pdf\" assente dalla "
                           "cartella"),
            QStringLiteral("riga 3 del registro: riga non leggibile"),
            QStringLiteral("    documento \"Rapporto di prova 9-2024.pdf\" non elencato nel registro"),
            QStringLiteral("Documenti_Emessi/2025: 1 documento emesso, nessun problema"),
            QStringLiteral("Documenti_Emessi: 0 documenti emessi, 1 problema"),
            QStringLiteral("documento \"vecchio.pdf\" fuori dalle cartelle degli anni"),
            QStringLiteral("Esito: 5 problemi (cartelle di documenti emessi con problemi: 2 su 3)."),
        };
        for (const QString &line : expected)
            QVERIFY2(r.out.contains(line), qPrintable(line + QStringLiteral("\n--- report:\n") + r.out));
        QCOMPARE(support::treeOf(m_dir->path()), before);
    }

    // One folder with one fault of each kind: each is reported at its record and byte,
    // and nothing in the folder changes.
    void damagedFolderReportsEachFault()
    {
        const QDir dir(m_dir->path());
        dir.mkpath(attachments::kFolderName);

        // Clients: record 2 has a length byte of 60 in a 50-character name; 100 bytes
        // of a third record trail the file; record 1's flag is neither "Sì" nor "No".
        records::Record first = client(QStringLiteral("Rossi"), QStringLiteral("Si"));
        // A name pasted on two lines by an older version, inside a one-line field.
        first.setText(QStringLiteral("txtComuneRes"), QStringLiteral("Roma\r\nVia Appia 1"));
        records::Record second = client(QStringLiteral("Verdi"));
        second.bytes()[0] = char(60);
        QVERIFY(support::writeFile(dir.filePath(programfiles::kClients),
                                   join({first, second}) + QByteArray(100, 'x')));

        // Reports: a date in the wrong form, an impossible date, a bad time, a repeated
        // number, an attachment that is not in the folder and one that leads out of it.
        records::Record r1 = document(records::report(), QStringLiteral("7"), QStringLiteral("2024-03-05"));
        r1.setText(QStringLiteral("txtDataPrel"), QStringLiteral("04/03/2024"));
        records::Record r2 = document(records::report(), QStringLiteral("8"), QStringLiteral("05/03/2024"));
        r2.setText(QStringLiteral("txtDataFine"), QStringLiteral("31/04/2024"));
        r2.setText(QStringLiteral("txtOraRic"), QStringLiteral("9.30"));
        records::Record r3 = document(records::report(), QStringLiteral("7"), QStringLiteral("06/03/2024"));
        r3.setText(QStringLiteral("lblFile02"), QStringLiteral("manca.pdf"));
        r3.setText(QStringLiteral("lblFile03"), QStringLiteral("../../etc/passwd"));
        // An older archive's whole path whose file is in the folder: in order.
        QVERIFY(support::writeFile(dir.filePath(attachments::kFolderName + QStringLiteral("/Verbale.pdf")), "v"));
        r2.setText(QStringLiteral("lblFile01"), QStringLiteral("C:\\Tirello\\Documenti_Allegati\\Verbale.pdf"));
        QVERIFY(support::writeFile(dir.filePath(QStringLiteral("2024.rdp")), join({r1, r2, r3})));

        // Certificates: a field without its closing zero, a flag written by hand.
        records::Record c1 = document(records::certificate(), QStringLiteral("1"), QStringLiteral("05/03/2024"));
        const records::Field *city = records::certificate().find(QStringLiteral("txtCittaLab"));
        std::memset(c1.bytes().data() + city->offset, 'c', size_t(city->capacity) + 1);
        c1.setText(QStringLiteral("chkConsegnato"), QStringLiteral("si"));
        c1.setText(QStringLiteral("txtMetodi"), QStringLiteral("Prima riga\r\nseconda riga")); // a memo: in order
        QVERIFY(support::writeFile(dir.filePath(QStringLiteral("2023.cda")), c1.bytes()));

        const auto before = support::treeOf(dir.path());
        const Run r = tool({QStringLiteral("verifica"), dir.path()});
        QCOMPARE(r.code, 1);
        const int rep = records::report().size();
        const auto at = [](const records::Layout &l, int position, const char *field) {
            return qint64(position - 1) * l.size() + l.find(QLatin1String(field))->offset;
        };
        const QStringList expected{
            QStringLiteral("scheda 1 (byte %1), campo chkRicontatta: indicatore \"Si\" invece di \"S\u00ec\" o \"No\"")
                .arg(at(records::client(), 1, "chkRicontatta")),
            QStringLiteral("scheda 1 (byte %1), campo txtComuneRes: un a capo dentro un campo di una riga: "
                           "\"Roma??Via Appia 1\"")
                .arg(at(records::client(), 1, "txtComuneRes")),
            QStringLiteral("scheda 2 (byte 3392), campo txtCliente: byte di lunghezza 60 oltre la capienza del campo (50 caratteri)"),
            QStringLiteral("scheda 3 (byte 6784): coda incompleta di 100 byte"),
            QStringLiteral("scheda 1 (byte %1), campo txtData: data \"2024-03-05\" non nel formato gg/mm/aaaa")
                .arg(at(records::report(), 1, "txtData")),
            QStringLiteral("scheda 2 (byte %1), campo txtOraRic: ora \"9.30\" non nel formato hh:mm")
                .arg(at(records::report(), 2, "txtOraRic")),
            QStringLiteral("scheda 2 (byte %1), campo txtDataFine: data \"31/04/2024\" impossibile")
                .arg(at(records::report(), 2, "txtDataFine")),
            QStringLiteral("scheda 3 (byte %1), campo txtNumRap: numero \"7\" gi\u00e0 usato dalla scheda 1")
                .arg(2 * rep + records::report().find(QStringLiteral("txtNumRap"))->offset),
            QStringLiteral("scheda 3 (byte %1), campo lblFile02: allegato \"manca.pdf\" assente dalla cartella Documenti_Allegati")
                .arg(at(records::report(), 3, "lblFile02")),
            QStringLiteral("scheda 3 (byte %1), campo lblFile03: nome di allegato non sicuro \"../../etc/passwd\"")
                .arg(at(records::report(), 3, "lblFile03")),
            QStringLiteral("scheda 1 (byte 242), campo txtCittaLab: manca lo zero finale"),
            QStringLiteral("scheda 1 (byte %1), campo chkConsegnato: indicatore \"si\" invece di \"S\u00ec\" o \"No\"")
                .arg(at(records::certificate(), 1, "chkConsegnato")),
        };
        for (const QString &line : expected)
            QVERIFY2(r.out.contains(line), qPrintable(line + QStringLiteral("\n--- report:\n") + r.out));
        QVERIFY2(r.out.contains(QStringLiteral("Esito: %1 problemi").arg(expected.size())), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("2024.rdp: 3 schede, 6 problemi")));
        QCOMPARE(support::treeOf(dir.path()), before);
    }

    // Whatever an archive holds, the check reads it to the end and reports; it never
    // crashes. An archive it cannot read at all is a failure (2).
    void garbageNeverCrashes()
    {
        const QDir dir(m_dir->path());
        // A fixed seed, so that a failure comes back the same; another with TIRELLO_TEST_SEED.
        const quint32 seed = quint32(qEnvironmentVariableIntValue("TIRELLO_TEST_SEED")) ?: 20261210u;
        qInfo("random archives from seed %u", seed);
        QRandomGenerator generator(seed);
        auto *random = &generator;
        for (const QString &name : {programfiles::kClients, programfiles::kModels, QStringLiteral("2024.rdp"),
                                    QStringLiteral("2024.cda")}) {
            QByteArray bytes(int(random->bounded(1, 120000)), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(random->bounded(256));
            QVERIFY(support::writeFile(dir.filePath(name), bytes));
        }
        QVERIFY(support::writeFile(dir.filePath(QStringLiteral("2025.cda")), QByteArray(29250 * 2, '\xff')));
        Run r = tool({QStringLiteral("verifica"), dir.path()});
        QVERIFY2(r.code == 1, qPrintable(r.err));
        QVERIFY(r.out.contains(QStringLiteral("Esito: ")));

        // Thousands of faults: the first ones listed, all of them counted. Each record of
        // 0xFF bytes has 36 length bytes over capacity, a bad flag and 3 missing files.
        QVERIFY(support::writeFile(dir.filePath(programfiles::kClients), QByteArray(3392 * 100, '\xff')));
        r = tool({QStringLiteral("verifica"), dir.path()});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.out.contains(QStringLiteral("Clienti.pro: 100 schede, 4000 problemi")), qPrintable(r.out.left(2000)));
        QVERIFY(r.out.contains(QStringLiteral("... e altri 3500 problemi non elencati")));
        QVERIFY(r.out.count(QStringLiteral("\n")) < 2500);

        QVERIFY(dir.mkdir(QStringLiteral("2026.rdp"))); // a folder with an archive's name
        r = tool({QStringLiteral("verifica"), dir.path()});
        QCOMPARE(r.code, 2);
        QVERIFY(r.out.contains(QStringLiteral("2026.rdp: impossibile leggere l'archivio")));
    }

    // copia then ripristina gives back every file byte for byte, attachments with
    // accented names included, and the modification times.
    void backupAndRestoreRoundTrip()
    {
        const QString folder = m_dir->filePath(QStringLiteral("Tirello"));
        QDir().mkpath(folder);
        makeSoundFolder(folder);
        QVERIFY(support::writeFile(QDir(folder).filePath(QStringLiteral("Guida.pdf")), "not data"));
        QVERIFY(support::writeFile(QDir(folder).filePath(QStringLiteral(".Clienti.pro.0123abcd.tmp")), "left over"));
        QFile::copy(QStringLiteral(TIRELLO_ARCHIVI), QDir(folder).filePath(QStringLiteral("tirello-archivi")));

        // Without a destination the backup goes into the folder's own backup folder.
        Run r = tool({QStringLiteral("copia"), folder});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString zip = onlyBackupIn(QDir(folder).filePath(QStringLiteral("Copie_di_sicurezza")));
        QVERIFY2(!zip.isEmpty(), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("Copia di sicurezza scritta: ") + zip));
        QVERIFY(QFileInfo(zip).fileName().contains(QRegularExpression(QStringLiteral(
            "^Tirello-copia-\\d{4}-\\d{2}-\\d{2}-\\d{6}\\.zip$"))));

        const QString restored = m_dir->filePath(QStringLiteral("ripristino/nuova"));
        r = tool({QStringLiteral("ripristina"), zip, restored});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));

        QMap<QString, QByteArray> expected = support::treeOf(folder);
        for (const QString &notData : {QStringLiteral("Guida.pdf"), QStringLiteral("tirello-archivi"),
                                       QStringLiteral(".Clienti.pro.0123abcd.tmp"),
                                       QStringLiteral("Copie_di_sicurezza"),
                                       QStringLiteral("Copie_di_sicurezza/") + QFileInfo(zip).fileName()})
            QVERIFY(expected.remove(notData));
        QCOMPARE(support::treeOf(restored), expected);
        QCOMPARE(QFileInfo(QDir(restored).filePath(programfiles::kClients)).lastModified().toSecsSinceEpoch(),
                 QFileInfo(QDir(folder).filePath(programfiles::kClients)).lastModified().toSecsSinceEpoch());

        // A second restore into the now full folder is refused and changes nothing.
        const auto full = support::treeOf(restored);
        r = tool({QStringLiteral("ripristina"), zip, restored});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("non \u00e8 vuota")));
        QCOMPARE(support::treeOf(restored), full);
    }

    // The hidden folder an interrupted restore leaves is cleared by the next restore; with
    // anything else beside it the folder still counts as not empty, and is not touched.
    void leftoversOfAnInterruptedRestore()
    {
        const QString folder = m_dir->filePath(QStringLiteral("Tirello"));
        QDir().mkpath(folder);
        makeSoundFolder(folder);
        const QString copies = m_dir->filePath(QStringLiteral("copie"));
        Run r = tool({QStringLiteral("copia"), folder, copies});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString zip = onlyBackupIn(copies);

        const QString target = m_dir->filePath(QStringLiteral("nuova"));
        const QString left = QDir(target).filePath(QStringLiteral(".ripristino-0123abcd"));
        QVERIFY(QDir().mkpath(left));
        QVERIFY(support::writeFile(QDir(left).filePath(programfiles::kClients), "a met\xe0"));
        QVERIFY(support::writeFile(QDir(target).filePath(QStringLiteral("appunti.txt")), "mio"));
        const auto before = support::treeOf(target);
        r = tool({QStringLiteral("ripristina"), zip, target});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("non \u00e8 vuota")));
        QCOMPARE(support::treeOf(target), before);

        QVERIFY(QFile::remove(QDir(target).filePath(QStringLiteral("appunti.txt"))));
        r = tool({QStringLiteral("ripristina"), zip, target});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QMap<QString, QByteArray> expected = support::treeOf(folder);
        expected.remove(QStringLiteral("copie"));
        QCOMPARE(support::treeOf(target), expected);
    }

    void damagedBackupIsRefused()
    {
        makeSoundFolder(m_dir->path());
        const QString out = m_dir->filePath(QStringLiteral("copie"));
        QCOMPARE(tool({QStringLiteral("copia"), m_dir->path(), out}).code, 0);
        const QString zip = onlyBackupIn(out);
        // Flip bytes in the middle of the compressed data.
        QByteArray bytes = support::readFile(zip);
        for (qsizetype i = bytes.size() / 3; i < bytes.size() / 3 + 16; ++i)
            bytes[i] = char(~bytes[i]);
        QVERIFY(support::writeFile(zip, bytes));
        const QString target = m_dir->filePath(QStringLiteral("nuova"));
        const Run r = tool({QStringLiteral("ripristina"), QStringLiteral("--forza"), zip, target});
        QCOMPARE(r.code, 2);
        QVERIFY(!QFileInfo::exists(target));

        QCOMPARE(tool({QStringLiteral("ripristina"), m_dir->filePath(QStringLiteral("manca.zip")), target}).code, 2);
        QVERIFY(!QFileInfo::exists(target));
    }

    // A backup whose archives do not pass the check is restored only when asked to.
    void backupWithProblemsNeedsForce()
    {
        const QString folder = m_dir->filePath(QStringLiteral("dati"));
        QDir().mkpath(folder);
        QVERIFY(support::writeFile(QDir(folder).filePath(programfiles::kClients),
                                   client(QStringLiteral("Rossi")).bytes() + "tail"));
        QCOMPARE(tool({QStringLiteral("copia"), folder, m_dir->path()}).code, 0);
        const QString zip = onlyBackupIn(m_dir->path());

        const QString target = m_dir->filePath(QStringLiteral("nuova"));
        Run r = tool({QStringLiteral("ripristina"), zip, target});
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.contains(QStringLiteral("coda incompleta di 4 byte")));
        QVERIFY(r.err.contains(QStringLiteral("--forza")));
        QVERIFY(!QFileInfo::exists(target));

        r = tool({QStringLiteral("ripristina"), QStringLiteral("--forza"), zip, target});
        QCOMPARE(r.code, 1);
        QCOMPARE(support::readFile(QDir(target).filePath(programfiles::kClients)),
                 support::readFile(QDir(folder).filePath(programfiles::kClients)));
    }

    // A copy taken while another process keeps appending under the program's lock
    // holds whole records only, every one intact.
    void backupWhileAnotherProcessAppends()
    {
        const int size = records::certificate().size();
        const QString folder = m_dir->filePath(QStringLiteral("dati"));
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(QStringLiteral("2024.cda"));
        QByteArray start;
        for (int i = 0; i < 400; ++i)
            start += patternRecord(i, size);
        QVERIFY(support::writeFile(path, start));

        const QString out = m_dir->filePath(QStringLiteral("copie"));
        int backups = 0;
        int appended = 400;
        // Several copies, each racing the appends, so that some land mid-record.
        for (int round = 0; round < 3; ++round) {
            QProcess copy;
            copy.start(QStringLiteral(TIRELLO_ARCHIVI), {QStringLiteral("copia"), folder,
                                                         out + QString::number(round)});
            QVERIFY(copy.waitForStarted());
            int during = 0;
            while (copy.state() != QProcess::NotRunning || during == 0) {
                if (during % 2)
                    archive::append(path, patternRecord(appended++, size));
                else
                    appendSlowly(path, patternRecord(appended++, size));
                ++during;
                copy.waitForFinished(0);
            }
            copy.waitForFinished();
            QVERIFY2(copy.exitCode() == 0, copy.readAllStandardError().constData());
            ++backups;

            const QString restored = m_dir->filePath(QStringLiteral("r%1").arg(round));
            const archivetool::RestoreResult result =
                archivetool::restore(onlyBackupIn(out + QString::number(round)), restored, true);
            QVERIFY2(result.code != archivetool::kFailure, qPrintable(result.error));
            const QByteArray copied = support::readFile(QDir(restored).filePath(QStringLiteral("2024.cda")));
            QCOMPARE(copied.size() % size, 0);
            QVERIFY(copied.size() >= start.size());
            for (int i = 0; i < copied.size() / size; ++i)
                QVERIFY2(copied.mid(qsizetype(i) * size, size) == patternRecord(i, size),
                         qPrintable(QStringLiteral("record %1 of %2").arg(i).arg(copied.size() / size)));
        }
        QCOMPARE(backups, 3);
    }

    // What a hostile or careless hand can put in a program folder: a link among the
    // attachments to a secret file, a folder or a pipe with an archive's name. Links are
    // never followed, what is left out makes the exit non-zero, and the backup, which
    // holds the password, is readable by its owner only.
    void backupOfAHostileFolder_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("warning");
        QTest::newRow("link to a secret") << QStringLiteral("Documenti_Allegati/referto.pdf")
                                          << QStringLiteral("Documenti_Allegati/referto.pdf \u00e8 un collegamento");
        QTest::newRow("link among the issued documents")
            << QStringLiteral("Documenti_Emessi/2024/Rapporto di prova 5-2024.pdf")
            << QStringLiteral("Documenti_Emessi/2024/Rapporto di prova 5-2024.pdf \u00e8 un collegamento");
        QTest::newRow("folder named as an archive") << QStringLiteral("2025.rdp")
                                                    << QStringLiteral("2025.rdp non \u00e8 un file");
        QTest::newRow("pipe named as an archive") << QStringLiteral("2023.cda")
                                                  << QStringLiteral("2023.cda non \u00e8 un file");
    }
    void backupOfAHostileFolder()
    {
        QFETCH(QString, planted);
        QFETCH(QString, warning);
        const QString folder = m_dir->filePath(QStringLiteral("Tirello"));
        QDir().mkpath(folder);
        makeSoundFolder(folder);
        QFile::remove(QDir(folder).filePath(QStringLiteral("2025.rdp")));
        const QString secret = m_dir->filePath(QStringLiteral("segreto"));
        QVERIFY(support::writeFile(secret, "password di sistema"));
        const QString at = QDir(folder).filePath(planted);
        if (planted.startsWith(attachments::kFolderName) || planted.startsWith(issued::kFolderName))
            QVERIFY(QFile::link(secret, at));
        else if (planted.endsWith(QStringLiteral(".rdp")))
            QVERIFY(QDir().mkdir(at));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(at).constData(), 0644), 0);
        // A lock file a stopped station left, and its short-lived helpers: never data.
        QVERIFY(support::writeFile(QDir(folder).filePath(QStringLiteral("Clienti.pro.lock")), "host=altra\r\n"));
        QVERIFY(support::writeFile(QDir(folder).filePath(QStringLiteral("Clienti.pro.lock.turn")), "host=altra\r\n"));

        const QString out = m_dir->filePath(QStringLiteral("copie"));
        const Run r = tool({QStringLiteral("copia"), folder, out});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(warning), qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("1 file \u00e8 rimasto fuori dalla copia")), qPrintable(r.out));
        const QString zip = onlyBackupIn(out);
        QVERIFY(!zip.isEmpty());
        QCOMPARE(QFileInfo(zip).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup
                                                 | QFile::WriteOther),
                 QFileDevice::Permissions());
        QStringList entries;
        const QString restored = m_dir->filePath(QStringLiteral("ripristino"));
        QVERIFY(archivetool::restore(zip, restored, false).code == archivetool::kOk);
        QDirIterator it(restored, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            entries << QDir(restored).relativeFilePath(it.next());
        QVERIFY2(!entries.contains(planted), qPrintable(entries.join(u' ')));
        QVERIFY(!entries.contains(QStringLiteral("Clienti.pro.lock")));
        QVERIFY(!entries.contains(QStringLiteral("Clienti.pro.lock.turn")));
        QVERIFY(entries.contains(QStringLiteral("Clienti.pro")));
        for (const QString &e : std::as_const(entries))
            QVERIFY2(support::readFile(QDir(restored).filePath(e)) != "password di sistema", qPrintable(e));
    }

    // The tool's words for what it was given: a file where a folder was wanted, a lock
    // file left by a stopped station (said, not counted as a fault).
    void wordsForWhatItWasGiven()
    {
        const QString file = m_dir->filePath(QStringLiteral("Clienti.pro"));
        QVERIFY(support::writeFile(file, "x"));
        Run r = tool({QStringLiteral("verifica"), file});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.out.contains(QStringLiteral("non \u00e8 una cartella")), qPrintable(r.out));
        r = tool({QStringLiteral("copia"), file, m_dir->filePath(QStringLiteral("copie"))});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("non \u00e8 una cartella")), qPrintable(r.err));

        const QString folder = m_dir->filePath(QStringLiteral("Tirello"));
        QDir().mkpath(folder);
        makeSoundFolder(folder);
        const QStringList left = {QStringLiteral("2024.rdp.lock"), QStringLiteral("2024.rdp.lock.turn")};
        for (const QString &name : left) {
            const QString lock = QDir(folder).filePath(name);
            QVERIFY(support::writeFile(lock, "host=banco-2\r\npid=812\r\ntime=2026-03-02T10:15:00\r\ntoken=0\r\n"));
            QFile aged(lock);
            QVERIFY(aged.open(QIODevice::ReadWrite));
            QVERIFY(aged.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        }
        r = tool({QStringLiteral("verifica"), folder});
        QVERIFY2(r.code == 0, qPrintable(r.out));
        for (const QString &name : left)
            QVERIFY2(r.out.contains(QStringLiteral("Blocco abbandonato: %1, lasciato dalla postazione banco-2 "
                                                   "(processo 812, 2026-03-02T10:15:00), fermo da ")
                                        .arg(name)),
                     qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("Esito: nessun problema.")));
    }

    // A destination that is full or read-only: an Italian error, exit 2, and no backup
    // file, whole or partial, left behind.
    void backupFailuresLeaveNothing_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("why");
        QTest::newRow("full disk") << false << QStringLiteral("il disco di destinazione \u00e8 pieno o guasto");
        QTest::newRow("read-only destination") << true << QStringLiteral("il disco di destinazione \u00e8 di sola lettura");
    }
    void backupFailuresLeaveNothing()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, why);
        ScratchFs fs(256 * 1024);
        if (!fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        makeSoundFolder(m_dir->path());
        // Incompressible, bigger than the whole scratch disk.
        QByteArray noise(3392 * 150, Qt::Uninitialized);
        for (char &c : noise)
            c = char(QRandomGenerator::global()->bounded(256)); // only to be incompressible
        QVERIFY(support::writeFile(m_dir->filePath(programfiles::kClients), noise));
        if (readOnly)
            QVERIFY(fs.makeReadOnly());

        const Run r = tool({QStringLiteral("copia"), m_dir->path(), fs.path()});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("impossibile scrivere la copia")), qPrintable(r.err));
        QVERIFY2(r.err.contains(why), qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("Nessuna copia \u00e8 stata scritta")));
        QCOMPARE(fs.contents(), (QMap<QString, QByteArray>{}));
    }

    // A restore that runs out of room leaves the target folder as it found it.
    void restoreOnAFullDiskLeavesNothing()
    {
        ScratchFs fs(256 * 1024);
        if (!fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        makeSoundFolder(m_dir->path());
        QVERIFY(support::writeFile(m_dir->filePath(QStringLiteral("2023.cda")),
                                   QByteArray(29250 * 20, '\0'))); // compresses to nearly nothing
        const QString out = m_dir->filePath(QStringLiteral("copie"));
        QCOMPARE(tool({QStringLiteral("copia"), m_dir->path(), out}).code, 0);
        const QString target = fs.filePath(QStringLiteral("nuova"));
        QVERIFY(QDir().mkdir(target));

        const Run r = tool({QStringLiteral("ripristina"), QStringLiteral("--forza"), onlyBackupIn(out), target});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("impossibile scrivere")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("il disco di destinazione \u00e8 pieno o guasto")), qPrintable(r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("Unknown error")), qPrintable(r.err));
        QCOMPARE(support::treeOf(fs.path()), (QMap<QString, QByteArray>{{QStringLiteral("nuova"), "(folder)"}}));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestArchiveTool)
#include "test_archivetool.moc"
