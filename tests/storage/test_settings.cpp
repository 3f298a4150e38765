// The settings file as the cards and the numbering window use it: the laboratory block,
// the two numbering sections with their defaults, the number a new document gets, and
// the printing option of test reports.

#include "storage/programfolder.h"
#include "storage/settings.h"
#include "support/environment.h"
#include "support/scratchfs.h"

#include <QTemporaryDir>
#include <QtTest>

using settings::DocumentKind;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

bool putBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

settings::Laboratory sampleLab()
{
    settings::Laboratory lab;
    lab.denominazione = QStringLiteral("  Laboratorio Analisi Rossi ");
    lab.indirizzo = QStringLiteral("Via Roma 1");
    lab.comune = QStringLiteral("47121 Forl\u00ec (FC)");
    lab.partita = QStringLiteral("01234567890");
    lab.codice = QStringLiteral("RSSMRA80A01D704X");
    lab.email = QStringLiteral("lab@example.it");
    lab.telefono = QStringLiteral("0543 123456");
    lab.libero = QStringLiteral("\tAccreditato\t");
    lab.responsabile = QStringLiteral("Dott. Mario Rossi");
    lab.chimico = QStringLiteral("Dott.ssa Anna Bianchi");
    lab.ordine = QStringLiteral("Ordine dei Chimici di Bologna");
    return lab;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_path = m_dir->filePath(settings::kFileName);
    }

    void fileLivesInTheProgramFolder()
    {
        ProgramFolder::setOverride(m_dir->path());
        QCOMPARE(settings::filePath(), m_path);
        ProgramFolder::setOverride({});
    }

    // A fresh installation: empty laboratory fields, numbering from 1 without the year,
    // and no file is created by reading.
    void noFileGivesTheDefaults()
    {
        QCOMPARE(settings::readLaboratory(m_path), settings::Laboratory{});
        for (DocumentKind kind : {DocumentKind::Reports, DocumentKind::Certificates}) {
            const settings::Numbering n = settings::readNumbering(m_path, kind);
            QCOMPARE(n.start, QStringLiteral("1"));
            QVERIFY(!n.withYear);
        }
        QVERIFY(!QFile::exists(m_path));
    }

    // The report card writes nine keys, the certificate card ten; the eight shared ones
    // are whichever card closed last, the others belong to their card.
    void laboratoryBlockOfBothCards()
    {
        settings::Laboratory empty;
        settings::writeLaboratory(m_path, DocumentKind::Reports, empty);
        QCOMPARE(bytesOf(m_path), QByteArray("[Laboratorio]\r\nDenominazione=\r\nIndirizzo=\r\nComune=\r\n"
                                             "Partita=\r\nCodice=\r\nEmail=\r\nTelefono=\r\nLibero=\r\n"
                                             "Responsabile=\r\n"));

        settings::Laboratory lab = sampleLab();
        settings::writeLaboratory(m_path, DocumentKind::Reports, lab);
        QCOMPARE(bytesOf(m_path), QByteArray("[Laboratorio]\r\nDenominazione=Laboratorio Analisi Rossi\r\n"
                                             "Indirizzo=Via Roma 1\r\nComune=47121 Forl\xec (FC)\r\n"
                                             "Partita=01234567890\r\nCodice=RSSMRA80A01D704X\r\n"
                                             "Email=lab@example.it\r\nTelefono=0543 123456\r\n"
                                             "Libero=Accreditato\r\nResponsabile=Dott. Mario Rossi\r\n"));
        settings::Laboratory read = settings::readLaboratory(m_path);
        QCOMPARE(read.denominazione, QStringLiteral("Laboratorio Analisi Rossi")); // stored trimmed
        QCOMPARE(read.comune, lab.comune);
        QCOMPARE(read.libero, QStringLiteral("Accreditato"));
        QCOMPARE(read.responsabile, lab.responsabile);
        QVERIFY(read.chimico.isEmpty() && read.ordine.isEmpty()); // not the report card's

        // The certificate card: new shared values, its own two keys, Responsabile kept.
        lab.denominazione = QStringLiteral("Laboratorio Verdi");
        lab.responsabile = QStringLiteral("ignorato");
        settings::writeLaboratory(m_path, DocumentKind::Certificates, lab);
        read = settings::readLaboratory(m_path);
        QCOMPARE(read.denominazione, QStringLiteral("Laboratorio Verdi"));
        QCOMPARE(read.responsabile, QStringLiteral("Dott. Mario Rossi"));
        QCOMPARE(read.chimico, lab.chimico);
        QCOMPARE(read.ordine, lab.ordine);
        QVERIFY(bytesOf(m_path).endsWith("Responsabile=Dott. Mario Rossi\r\nChimico=Dott.ssa Anna Bianchi\r\n"
                                         "Ordine=Ordine dei Chimici di Bologna\r\n"));
    }

    // Each kind has its own section: writing one leaves the other byte for byte.
    void numberingSectionsAreSeparate()
    {
        settings::writeNumbering(m_path, DocumentKind::Certificates, {QStringLiteral("7"), false});
        settings::writeNumbering(m_path, DocumentKind::Reports, {QStringLiteral(" 250 "), true});
        QCOMPARE(bytesOf(m_path), QByteArray("[Numerazione Certificati]\r\nInizio=7\r\nIndicazione Anno Solare=No\r\n"
                                             "[Numerazione Rapporti]\r\nInizio=250\r\n"
                                             "Indicazione Anno Solare=S\xec\r\n"));
        QCOMPARE(settings::readNumbering(m_path, DocumentKind::Reports),
                 (settings::Numbering{QStringLiteral("250"), true}));
        QCOMPARE(settings::readNumbering(m_path, DocumentKind::Certificates),
                 (settings::Numbering{QStringLiteral("7"), false}));
    }

    // Hand-edited values: only the exact "Sì" turns the year on; an empty start is 1; a
    // start that is not a number is read as it is (the new-document step refuses it).
    void numberingValuesAsStored_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("withYear");
        QTest::newRow("yes") << QByteArray("Inizio=12\r\nIndicazione Anno Solare=S\xec") << "12" << true;
        QTest::newRow("yes with blanks") << QByteArray("Inizio = 12 \r\nIndicazione Anno Solare = S\xec ") << "12"
                                         << true;
        QTest::newRow("lower-case s") << QByteArray("Indicazione Anno Solare=s\xec") << "1" << false;
        QTest::newRow("Si without accent") << QByteArray("Indicazione Anno Solare=Si") << "1" << false;
        QTest::newRow("no") << QByteArray("Inizio=3\r\nIndicazione Anno Solare=No") << "3" << false;
        QTest::newRow("empty values") << QByteArray("Inizio=\r\nIndicazione Anno Solare=") << "1" << false;
        QTest::newRow("not a number") << QByteArray("Inizio=dieci") << "dieci" << false;
    }
    void numberingValuesAsStored()
    {
        QFETCH(QByteArray, section);
        QFETCH(QString, start);
        QFETCH(bool, withYear);
        QVERIFY(putBytes(m_path, "[Numerazione Rapporti]\r\n" + section + "\r\n"));
        QCOMPARE(settings::readNumbering(m_path, DocumentKind::Reports), (settings::Numbering{start, withYear}));
        QCOMPARE(settings::readNumbering(m_path, DocumentKind::Certificates), settings::Numbering{});
    }

    // The printing option: off and absent until set, then "Sì" or "No" in a section of its
    // own, the other sections untouched; only the exact "Sì" is on.
    void highlightOption()
    {
        QVERIFY(!settings::readHighlightOutOfLimit(m_path));
        QVERIFY(!QFile::exists(m_path));
        settings::writeNumbering(m_path, DocumentKind::Reports, {QStringLiteral("3"), false});
        const QByteArray numbering = bytesOf(m_path);
        QVERIFY(!settings::readHighlightOutOfLimit(m_path));
        QCOMPARE(bytesOf(m_path), numbering);

        settings::writeHighlightOutOfLimit(m_path, true);
        QCOMPARE(bytesOf(m_path), numbering + "[Stampa Rapporti]\r\nEvidenzia risultati fuori limite=S\xec\r\n");
        QVERIFY(settings::readHighlightOutOfLimit(m_path));
        settings::writeHighlightOutOfLimit(m_path, false);
        QCOMPARE(bytesOf(m_path), numbering + "[Stampa Rapporti]\r\nEvidenzia risultati fuori limite=No\r\n");
        QVERIFY(!settings::readHighlightOutOfLimit(m_path));

        for (const QByteArray &value : {QByteArray(" S\xec "), QByteArray("s\xec"), QByteArray("Si"), QByteArray("1")}) {
            QVERIFY(putBytes(m_path, "[stampa rapporti]\r\nEVIDENZIA RISULTATI FUORI LIMITE=" + value + "\r\n"));
            QCOMPARE(settings::readHighlightOutOfLimit(m_path), value.trimmed() == "S\xec");
        }
    }

    void unreadableFileIsReported()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(settings::kFileName));
        QVERIFY_THROWS_EXCEPTION(IniError, settings::readLaboratory(m_path));
        QVERIFY_THROWS_EXCEPTION(IniError, settings::readNumbering(m_path, DocumentKind::Reports));
        QVERIFY_THROWS_EXCEPTION(IniError, settings::writeNumbering(m_path, DocumentKind::Reports, {}));
        QVERIFY(QFileInfo(m_path).isDir());
    }

    // A full disk: the whole block is refused and the file keeps every byte.
    void fullDiskKeepsTheOldSettings()
    {
        ScratchFs fs;
        if (!fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString path = fs.filePath(settings::kFileName);
        settings::writeLaboratory(path, DocumentKind::Reports, sampleLab());
        settings::writeNumbering(path, DocumentKind::Reports, {QStringLiteral("5"), true});
        const auto before = fs.contents();
        QVERIFY(fs.fill());
        settings::Laboratory other = sampleLab();
        other.denominazione = QStringLiteral("Altro");
        QVERIFY_THROWS_EXCEPTION(IniError, settings::writeLaboratory(path, DocumentKind::Certificates, other));
        QVERIFY_THROWS_EXCEPTION(IniError, settings::writeNumbering(path, DocumentKind::Reports, {}));
        QCOMPARE(fs.contents(), before);
    }

    void nextNumber_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("withYear");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("number"); // "-": refused
        QTest::newRow("empty archive, default start") << "1" << 0 << false << 2025 << "1";
        QTest::newRow("start 100, 4 stored, with year") << "100" << 4 << true << 2025 << "104/2025";
        QTest::newRow("year of today, not of the archive") << "100" << 4 << true << 2026 << "104/2026";
        QTest::newRow("start 0, empty archive") << "0" << 0 << false << 2025 << "0";
        QTest::newRow("start 50 set with 10 stored") << "50" << 10 << false << 2025 << "60";
        QTest::newRow("empty start counts as 1") << "" << 3 << false << 2025 << "4";
        QTest::newRow("blank start counts as 1") << " \t" << 0 << true << 2025 << "1/2025";
        QTest::newRow("leading zeros dropped") << "007" << 0 << false << 2025 << "7";
        QTest::newRow("blanks around") << " 12 " << 1 << false << 2025 << "13";
        QTest::newRow("five digits") << "99999" << 1 << true << 2025 << "100000/2025";
        QTest::newRow("plus sign") << "+5" << 0 << false << 2025 << "5";
        QTest::newRow("negative start written by hand") << "-5" << 7 << false << 2025 << "2";
        QTest::newRow("year with four digits") << "1" << 0 << true << 987 << "1/0987";
        QTest::newRow("word") << "dieci" << 0 << false << 2025 << "-";
        QTest::newRow("decimal comma") << "2,5" << 0 << false << 2025 << "-";
        QTest::newRow("digits then letters") << "12a" << 0 << false << 2025 << "-";
        QTest::newRow("blank inside") << "1 2" << 0 << false << 2025 << "-";
        QTest::newRow("sign only") << "-" << 0 << false << 2025 << "-";
        QTest::newRow("too big") << "99999999999999999999" << 0 << false << 2025 << "-";
        QTest::newRow("sum too big") << "9223372036854775807" << 1 << false << 2025 << "-";
    }
    void nextNumber()
    {
        QFETCH(QString, start);
        QFETCH(int, count);
        QFETCH(bool, withYear);
        QFETCH(int, year);
        QFETCH(QString, number);
        const std::optional<QString> got = settings::nextNumber(start, count, withYear, year);
        if (number == u"-")
            QVERIFY2(!got, qPrintable(got.value_or(QString())));
        else
            QCOMPARE(got.value_or(QStringLiteral("(refused)")), number);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
