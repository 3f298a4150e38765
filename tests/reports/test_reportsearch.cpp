// The rules of the test report lists: the filters, the fixed-width line, the order of a
// search, the reports not yet delivered and the record behind a chosen line.

#include "reports/reportsearch.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "support/listwindows.h"

using records::Record;
using reports::ReportFilters;
using support::clientsOf;

namespace {

Record report(std::initializer_list<std::pair<const char *, QString>> values)
{
    Record r(records::report());
    r.setText(QStringLiteral("chkConsegnato"), records::kNo);
    for (const auto &[field, value] : values)
        r.setText(QString::fromLatin1(field), value);
    return r;
}

} // namespace

class TestReportSearch : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_archive = m_dir->filePath(QStringLiteral("2024.rdp"));
    }

    void filterFieldsInOrder()
    {
        const QStringList expected{"txtNumRap",   "txtData",      "txtAnalisi", "txtCampione",    "txtCliente",
                                   "txtCodFisc",  "txtLuogoPrel", "txtCura",    "txtContenitore", "txtOsservazioni"};
        QStringList fields, captions;
        for (const reports::FilterField &f : reports::kFilters) {
            fields.append(QString::fromLatin1(f.field));
            captions.append(QString::fromUtf8(f.caption));
            QVERIFY(records::report().indexOf(fields.last()) >= 0);
        }
        QCOMPARE(fields, expected);
        QCOMPARE(captions, (QStringList{"Rapporto di prova n.", "Data emissione (gg/mm/aaaa):",
                                        "Tipologia di analisi effettuata:", "Campione analizzato:", "Committente:",
                                        "Codice fiscale:", "Luogo prelievo:", "Campionamento a cura di:",
                                        "Contenitore utilizzato:", "Osservazioni:"}));
    }

    void oneFilter_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("listed");
        QTest::newRow("capitals find mixed case") << "txtCliente" << "ROSSI" << "Caseificio Rossi srl" << true << true;
        QTest::newRow("small finds capitals") << "txtCliente" << "rossi" << "ROSSI MARIO" << true << true;
        QTest::newRow("not there") << "txtCliente" << "bianchi" << "Rossi Mario" << true << false;
        QTest::newRow("accented capital, small stored") << "txtAnalisi" << "\u00c8" << "\u00e8 potabile" << true << false;
        QTest::newRow("same accented letter") << "txtAnalisi" << "\u00e8" << "\u00e8 potabile" << true << true;
        QTest::newRow("trailing blank is typed text") << "txtCliente" << "rossi " << "Mario Rossi" << true << false;
        QTest::newRow("trailing blank inside") << "txtCliente" << "rossi " << "Rossi Mario" << true << true;
        QTest::newRow("blank filter takes no part") << "txtCliente" << "   " << "Rossi" << false << true;
        QTest::newRow("empty filter takes no part") << "txtCliente" << "" << "" << false << true;
        // A plain substring test: the number 12 is found in 112 and 12/2024 too.
        QTest::newRow("number itself") << "txtNumRap" << "12" << "12" << true << true;
        QTest::newRow("number inside a number") << "txtNumRap" << "12" << "112" << true << true;
        QTest::newRow("number with its year") << "txtNumRap" << "12" << "12/2024" << true << true;
        QTest::newRow("other number") << "txtNumRap" << "12" << "21/2024" << true << false;
        QTest::newRow("part of a date") << "txtData" << "03/2024" << "15/03/2024" << true << true;
        QTest::newRow("date of another month") << "txtData" << "03/2024" << "15/04/2024" << true << false;
    }
    void oneFilter()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, active);
        QFETCH(bool, listed);
        ReportFilters f;
        f.set(field, typed);
        QCOMPARE(f.activeCount(), active ? 1 : 0);
        Record r(records::report());
        r.setText(field, stored);
        QCOMPARE(f.matches(r), listed);
    }

    // Each filter looks at its own field and no other: the client's tax code, not the
    // laboratory's; the report's own fields, not the result rows.
    void eachFilterSearchesItsField()
    {
        QStringList decoys{"txtCodFiscLab", "txtLaboratorio", "txtParametro01", "txtRisultato01", "txtLimite01",
                           "txtMetodo01",   "txtComuneRes",   "txtDataPrel",    "lblDesc01"};
        for (const reports::FilterField &ff : reports::kFilters)
            decoys.append(QString::fromLatin1(ff.field));
        for (const reports::FilterField &ff : reports::kFilters) {
            const QString field = QString::fromLatin1(ff.field);
            ReportFilters f;
            f.set(field, QStringLiteral("Chiave"));
            for (const QString &other : std::as_const(decoys)) {
                Record r(records::report());
                r.setText(other, QStringLiteral("la CHIAVE"));
                QVERIFY2(f.matches(r) == (other == field), qPrintable(field + u'/' + other));
            }
        }
    }

    void filtersAreAnded()
    {
        ReportFilters f;
        f.set(QStringLiteral("txtCliente"), QStringLiteral("rossi"));
        f.set(QStringLiteral("txtAnalisi"), QStringLiteral("POTABILE"));
        f.set(QStringLiteral("txtOsservazioni"), QStringLiteral("  ")); // blank: takes no part
        QCOMPARE(f.activeCount(), 2);
        QVERIFY(f.matches(report({{"txtCliente", "Rossi Mario"}, {"txtAnalisi", "Acqua potabile"}})));
        QVERIFY(!f.matches(report({{"txtCliente", "Rossi Mario"}, {"txtAnalisi", "Vino"}})));
        QVERIFY(!f.matches(report({{"txtCliente", "Verdi Anna"}, {"txtAnalisi", "Acqua potabile"}})));
        // Setting a filter again replaces it; blanking it takes it out.
        f.set(QStringLiteral("txtAnalisi"), QStringLiteral(" "));
        QCOMPARE(f.activeCount(), 1);
        QVERIFY(f.matches(report({{"txtCliente", "Rossi Mario"}, {"txtAnalisi", "Vino"}})));
    }

    void lineLayout()
    {
        Record r = report({{"txtCliente", "Azienda Agricola Il Poggio di Rossi"}, // 35: cut to 30
                           {"txtNumRap", "1234/2024-bis"},                        // 13: cut to 12
                           {"txtData", "05/03/2024"},
                           {"txtAnalisi", "Acqua destinata al consumo umano"},    // 32: padded to 35
                           {"txtCampione", "Acqua di rete"},
                           {"txtLaboratorio", "Lab"}});
        const QString fixed = QStringLiteral("Azienda Agricola Il Poggio di "
                                             "  N. "
                                             "1234/2024-bi"
                                             "  Data: "
                                             "05/03/2024"
                                             "  "
                                             "Acqua destinata al consumo umano   "
                                             "  Campione: ");
        QCOMPARE(fixed.size(), reports::kFixedLineWidth);
        QCOMPARE(reports::listLine(r), fixed + QStringLiteral("Acqua di rete"));

        // Stored padding is not shown (a file written by another program); short fields
        // are filled; the sample is whole however long, and may be empty.
        const QByteArray padded("\x08  Neri  ", 9);
        r.bytes().replace(records::report().find(QStringLiteral("txtCliente"))->offset, padded.size(), padded);
        r.setText(QStringLiteral("txtNumRap"), QStringLiteral("7"));
        r.setText(QStringLiteral("txtData"), QString());
        r.setText(QStringLiteral("txtCampione"), QString(120, u'c'));
        QCOMPARE(reports::listLine(r), QStringLiteral("Neri").leftJustified(30) + QStringLiteral("  N. 7")
                                           + QString(11, u' ') + QStringLiteral("  Data: ") + QString(12, u' ')
                                           + QStringLiteral("Acqua destinata al consumo umano   ")
                                           + QStringLiteral("  Campione: ") + QString(120, u'c'));
        r.setText(QStringLiteral("txtCampione"), QString());
        QCOMPARE(reports::listLine(r).size(), reports::kFixedLineWidth);
    }

    void searchListsInOrder()
    {
        QVERIFY(!QFile::exists(m_archive));
        QVERIFY(reports::searchLines(m_archive, ReportFilters()).isEmpty());
        QVERIFY(QFile::exists(m_archive)); // open-or-create
        QCOMPARE(QFileInfo(m_archive).size(), 0);

        const QList<std::pair<const char *, const char *>> rows = {
            {"verdi Anna", "1"}, {"Rossi Mario", "9"}, {"ROSSI MARIO", "10"}, {"bianchi Luca", "2"}, {"Rossi Mario", "10"}};
        for (const auto &[name, number] : rows)
            archive::append(m_archive,
                            report({{"txtCliente", QString::fromLatin1(name)}, {"txtNumRap", QString::fromLatin1(number)},
                                    {"txtAnalisi", "Acqua"}})
                                .bytes());
        // By client with a-z folded, then by number as text (10 before 9); equal lines
        // keep their file order.
        const QStringList all = reports::searchLines(m_archive, ReportFilters());
        QStringList heads;
        for (const QString &line : all)
            heads.append(text::trim(line.left(47)));
        QCOMPARE(heads, (QStringList{"bianchi Luca                    N. 2",
                                     "ROSSI MARIO                     N. 10",
                                     "Rossi Mario                     N. 10",
                                     "Rossi Mario                     N. 9",
                                     "verdi Anna                      N. 1"}));

        ReportFilters f;
        f.set(QStringLiteral("txtCliente"), QStringLiteral("rossi"));
        f.set(QStringLiteral("txtNumRap"), QStringLiteral("10"));
        QCOMPARE(clientsOf(reports::searchLines(m_archive, f)), (QStringList{"ROSSI MARIO", "Rossi Mario"}));
    }

    void undeliveredOnly()
    {
        const QList<std::pair<QString, QString>> flags = {
            {"Uno", records::kNo},   {"Due", records::kYes}, {"Tre", QString()}, {"Quattro", QStringLiteral("no")},
            {"Cinque", records::kNo}, {"Sei", QStringLiteral("N")}};
        for (const auto &[name, flag] : flags) {
            Record r = report({{"txtCliente", name}});
            r.setText(QStringLiteral("chkConsegnato"), flag);
            archive::append(m_archive, r.bytes());
        }
        QVERIFY(!reports::undelivered(report({{"txtCliente", "x"}, {"chkConsegnato", records::kYes}})));

        QStringList lines{QStringLiteral("old")};
        reports::undeliveredLines(m_archive, lines);
        QCOMPARE(clientsOf(lines), (QStringList{"Cinque", "Uno"}));
    }

    void failuresThrow()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("2024.rdp")));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, reports::searchLines(m_archive, ReportFilters()));
        QStringList lines{QStringLiteral("old")};
        QVERIFY_THROWS_EXCEPTION(ArchiveError, reports::undeliveredLines(m_archive, lines));
        QVERIFY(lines.isEmpty());
    }

    // Two reports with the same line: the later one, with its position, whatever its
    // delivered flag.
    void chosenLineLeadsToTheLastMatchingRecord()
    {
        const QList<std::pair<const char *, QString>> same = {
            {"txtCliente", "Rossi Mario"}, {"txtNumRap", "5"}, {"txtData", "01/02/2024"},
            {"txtAnalisi", "Acqua potabile"}, {"txtCampione", "Rete"}};
        Record first = report({{"txtCodFisc", "PRIMO"}});
        Record second = report({{"txtCodFisc", "SECONDO"}, {"chkConsegnato", records::kYes}});
        for (const auto &[field, value] : same) {
            first.setText(QString::fromLatin1(field), value);
            second.setText(QString::fromLatin1(field), value);
        }
        archive::append(m_archive, first.bytes());
        archive::append(m_archive, report({{"txtCliente", "Bianchi"}}).bytes());
        archive::append(m_archive, second.bytes());

        const QString line = reports::listLine(first);
        QCOMPARE(reports::listLine(second), line);
        const auto chosen = lists::lastRecordOfLine(m_archive, records::report(), reports::lineOf(), line);
        QVERIFY(chosen);
        QCOMPARE(chosen->position, 3);
        QCOMPARE(chosen->record.text(QStringLiteral("txtCodFisc")), QStringLiteral("SECONDO"));
        QVERIFY(!lists::lastRecordOfLine(m_archive, records::report(), reports::lineOf(), QStringLiteral("Nessuno")));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_archive;
};

QTEST_GUILESS_MAIN(TestReportSearch)
#include "test_reportsearch.moc"
