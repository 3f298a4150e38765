// The rules of the test report and certificate lists, each case run for both kinds: the
// filters, the fixed-width line, the order of a search, the documents not yet delivered
// and the record behind a chosen line. Certificate fields are stored as typed, report
// fields trimmed: where that shows, a case says what each kind gives.

#include "certificates/certsearch.h"
#include "reports/reportsearch.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <span>

#include "support/listwindows.h"

using records::Record;
using support::clientsOf;

namespace {

struct Kind {
    const documents::Lists *lists;
    std::span<const documents::FilterField> filters;
    const char *numberCaption;
    documents::FilterField closing;
    QStringList ownFields; // fields of this kind that no filter searches
    QString archiveName;
};

const QList<Kind> &kinds()
{
    static const QList<Kind> k = {
        {&reports::documentLists(), reports::kFilters, "Rapporto di prova n.", {"txtOsservazioni", "Osservazioni:"},
         {"txtParametro01", "txtRisultato01", "txtLimite01", "txtMetodo01", "txtResponsabile"}, "2024.rdp"},
        {&certificates::documentLists(), certificates::kFilters, "Certificato di analisi n.",
         {"txtConclusioni", "Conclusioni:"},
         {"txtMetodi", "txtMotivazione", "txtAllegati", "txtTempoDocu", "txtTempoCamp", "txtChimico"}, "2024.cda"},
    };
    return k;
}

// Writes text into a field as another program may have: untrimmed, in the field's own
// encoding (length byte first, or a zero byte after).
void storeUntrimmed(Record &r, const char *field, const QByteArray &text)
{
    const records::Field *f = r.layout().find(QString::fromLatin1(field));
    QVERIFY(f && text.size() <= f->capacity);
    const QByteArray bytes = r.layout().encoding() == records::Encoding::ShortText
                                 ? char(text.size()) + text
                                 : text + '\0';
    r.bytes().replace(f->offset, bytes.size(), bytes);
}

} // namespace

class TestDocumentLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { support::addDocumentKinds(); }
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_archive = m_dir->filePath(kind().archiveName);
    }

    void filterFieldsInOrder()
    {
        QStringList fields, captions;
        for (const documents::FilterField &f : kind().filters) {
            fields.append(QString::fromLatin1(f.field));
            captions.append(QString::fromUtf8(f.caption));
            QVERIFY(layout().indexOf(fields.last()) >= 0);
        }
        QCOMPARE(fields, (QStringList{"txtNumRap", "txtData", "txtAnalisi", "txtCampione", "txtCliente", "txtCodFisc",
                                      "txtLuogoPrel", "txtCura", "txtContenitore",
                                      QString::fromLatin1(kind().closing.field)}));
        QCOMPARE(captions, (QStringList{QString::fromUtf8(kind().numberCaption), "Data emissione (gg/mm/aaaa):",
                                        "Tipologia di analisi effettuata:", "Campione analizzato:", "Committente:",
                                        "Codice fiscale:", "Luogo prelievo:", "Campionamento a cura di:",
                                        "Contenitore utilizzato:", QString::fromUtf8(kind().closing.caption)}));
    }

    void oneFilter_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("report");      // listed in a report search
        QTest::addColumn<bool>("certificate"); // listed in a certificate search
        QTest::newRow("capitals find mixed case") << "txtCliente" << "ROSSI" << "Caseificio Rossi srl" << true << true
                                                  << true;
        QTest::newRow("small finds capitals") << "txtCliente" << "rossi" << "ROSSI MARIO" << true << true << true;
        QTest::newRow("not there") << "txtCliente" << "bianchi" << "Rossi Mario" << true << false << false;
        QTest::newRow("accented capital, small stored") << "txtAnalisi" << "\u00c8" << "\u00e8 potabile" << true
                                                        << false << false;
        QTest::newRow("same accented letter") << "txtAnalisi" << "\u00e8" << "\u00e8 potabile" << true << true << true;
        QTest::newRow("trailing blank, word at the end") << "txtCliente" << "rossi " << "Mario Rossi" << true << false
                                                         << false;
        QTest::newRow("trailing blank, blank follows") << "txtCliente" << "rossi " << "Rossi Mario" << true << true
                                                       << true;
        // A certificate keeps the blanks typed around a field, and a filter finds them.
        QTest::newRow("trailing blank stored") << "txtCliente" << "rossi " << "Mario Rossi " << true << false << true;
        QTest::newRow("leading blank stored") << "txtCampione" << " acqua" << "  Acqua" << true << false << true;
        QTest::newRow("blank filter takes no part") << "txtCliente" << "   " << "Rossi" << false << true << true;
        QTest::newRow("tab only takes no part") << "txtCliente" << "\t" << "Rossi" << false << true << true;
        QTest::newRow("empty filter takes no part") << "txtCliente" << "" << "" << false << true << true;
        // A plain substring test: 1 finds 1, 10 and 21/2024.
        QTest::newRow("number itself") << "txtNumRap" << "1" << "1" << true << true << true;
        QTest::newRow("number inside a number") << "txtNumRap" << "1" << "10" << true << true << true;
        QTest::newRow("number with its year") << "txtNumRap" << "1" << "21/2024" << true << true << true;
        QTest::newRow("other number") << "txtNumRap" << "1" << "32/2024" << true << false << false;
        QTest::newRow("12 in 112") << "txtNumRap" << "12" << "112" << true << true << true;
        QTest::newRow("12 with its year") << "txtNumRap" << "12" << "12/2024" << true << true << true;
        QTest::newRow("12 not in 21/2024") << "txtNumRap" << "12" << "21/2024" << true << false << false;
        QTest::newRow("part of a date") << "txtData" << "03/2024" << "15/03/2024" << true << true << true;
        QTest::newRow("date of another month") << "txtData" << "03/2024" << "15/04/2024" << true << false << false;
        QTest::newRow("issued in March") << "txtData" << "/03/" << "15/03/2024" << true << true << true;
        QTest::newRow("day 03 of April") << "txtData" << "/03/" << "03/04/2024" << true << false << false;
    }
    void oneFilter()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, active);
        QFETCH(bool, report);
        QFETCH(bool, certificate);
        lists::Filters f(layout());
        f.set(field, typed);
        QCOMPARE(f.activeCount(), active ? 1 : 0);
        Record r(layout());
        r.setText(field, stored);
        QCOMPARE(f.matches(r), isCertificate() ? certificate : report);
    }

    // The closing text is searched whole, every line of it.
    void closingTextOverItsLines()
    {
        Record r(layout());
        r.setText(QString::fromLatin1(kind().closing.field),
                  QStringLiteral("Campione esaminato.\r\nIl campione risulta conforme."));
        for (const auto &[typed, found] : {std::pair{"CONFORME", true}, std::pair{"esaminato. il", false}}) {
            lists::Filters f(layout());
            f.set(QString::fromLatin1(kind().closing.field), QString::fromLatin1(typed));
            QVERIFY2(f.matches(r) == found, typed);
        }
    }

    // Each filter looks at its own field and no other: the client's tax code, not the
    // laboratory's; its own text, not the other long texts.
    void eachFilterSearchesItsField()
    {
        QStringList decoys = kind().ownFields;
        decoys << "txtCodFiscLab" << "txtLaboratorio" << "txtComuneRes" << "txtDataPrel" << "lblDesc01";
        for (const documents::FilterField &ff : kind().filters)
            decoys.append(QString::fromLatin1(ff.field));
        for (const documents::FilterField &ff : kind().filters) {
            const QString field = QString::fromLatin1(ff.field);
            lists::Filters f(layout());
            f.set(field, QStringLiteral("Chiave"));
            for (const QString &other : std::as_const(decoys)) {
                QVERIFY2(layout().indexOf(other) >= 0, qPrintable(other));
                Record r(layout());
                r.setText(other, QStringLiteral("la CHIAVE"));
                QVERIFY2(f.matches(r) == (other == field), qPrintable(field + u'/' + other));
            }
        }
    }

    void filtersAreAnded()
    {
        const QString closing = QString::fromLatin1(kind().closing.field);
        lists::Filters f(layout());
        f.set(QStringLiteral("txtCliente"), QStringLiteral("rossi"));
        f.set(QStringLiteral("txtAnalisi"), QStringLiteral("POTABILE"));
        f.set(closing, QStringLiteral("  ")); // blank: takes no part
        QCOMPARE(f.activeCount(), 2);
        QVERIFY(f.matches(document({{"txtCliente", "Rossi Mario"}, {"txtAnalisi", "Acqua potabile"}})));
        QVERIFY(!f.matches(document({{"txtCliente", "Rossi Mario"}, {"txtAnalisi", "Vino"}})));
        QVERIFY(!f.matches(document({{"txtCliente", "Verdi Anna"}, {"txtAnalisi", "Acqua potabile"}})));
        // Setting a filter again replaces it; blanking it takes it out.
        f.set(QStringLiteral("txtAnalisi"), QStringLiteral(" "));
        QCOMPARE(f.activeCount(), 1);
        QVERIFY(f.matches(document({{"txtCliente", "Rossi Mario"}, {"txtAnalisi", "Vino"}})));
    }

    void lineLayout()
    {
        Record r = document({{"txtCliente", "  Azienda Agricola Il Poggio di Rossi"}, // 35: cut to 30
                             {"txtNumRap", "1234/2024-bis "},                          // 13: cut to 12
                             {"txtData", "05/03/2024"},
                             {"txtAnalisi", "Acqua destinata al consumo umano  "},    // 32: padded to 35
                             {"txtCampione", "  Acqua di rete  "},
                             {"txtLaboratorio", "Lab"}});
        const QString fixed = QStringLiteral("Azienda Agricola Il Poggio di "
                                             "  N. "
                                             "1234/2024-bi"
                                             "  Data: "
                                             "05/03/2024"
                                             "  "
                                             "Acqua destinata al consumo umano   "
                                             "  Campione: ");
        QCOMPARE(fixed.size(), documents::kFixedLineWidth); // the sample starts at character 115
        QCOMPARE(lists().line(r), fixed + QStringLiteral("Acqua di rete"));

        // Blanks stored around a value are not shown; a client of 31 characters shows its
        // first 30; short fields are filled; the sample is whole however long, or empty.
        storeUntrimmed(r, "txtCliente", "  Laboratori Riuniti del Nord-Est  ");
        r.setText(QStringLiteral("txtNumRap"), QStringLiteral("7"));
        r.setText(QStringLiteral("txtData"), QString());
        r.setText(QStringLiteral("txtCampione"), QString(120, u'c'));
        QCOMPARE(lists().line(r), QStringLiteral("Laboratori Riuniti del Nord-Es") + QStringLiteral("  N. 7")
                                      + QString(11, u' ') + QStringLiteral("  Data: ") + QString(12, u' ')
                                      + QStringLiteral("Acqua destinata al consumo umano   ")
                                      + QStringLiteral("  Campione: ") + QString(120, u'c'));
        r.setText(QStringLiteral("txtCampione"), QStringLiteral("   "));
        QCOMPARE(lists().line(r).size(), documents::kFixedLineWidth);
    }

    void searchListsInOrder()
    {
        QVERIFY(!QFile::exists(m_archive));
        QVERIFY(lists().search(m_archive, lists::Filters(layout())).isEmpty());
        QVERIFY(QFile::exists(m_archive)); // open-or-create
        QCOMPARE(QFileInfo(m_archive).size(), 0);

        const QList<std::tuple<const char *, const char *, QString>> rows = {
            {"verdi Anna", "1", records::kNo},   {"Rossi Mario", "9", records::kYes}, {"ROSSI MARIO", "10", QString()},
            {" bianchi Luca", "2", records::kNo}, {"Rossi Mario", "10", records::kNo}, {"Rossi", "3", records::kYes}};
        for (const auto &[name, number, delivered] : rows)
            archive::append(m_archive, document({{"txtCliente", QString::fromLatin1(name)},
                                                 {"txtNumRap", QString::fromLatin1(number)},
                                                 {"txtAnalisi", "Acqua"},
                                                 {"chkConsegnato", delivered}})
                                           .bytes());
        // Every document, delivered or not: by client with a-z folded (a blank before any
        // letter), then by number as text (10 before 9); equal lines keep file order.
        const QStringList all = lists().search(m_archive, lists::Filters(layout()));
        QStringList heads;
        for (const QString &line : all)
            heads.append(text::trim(line.left(47)));
        QCOMPARE(heads, (QStringList{"bianchi Luca                    N. 2",
                                     "Rossi                           N. 3",
                                     "ROSSI MARIO                     N. 10",
                                     "Rossi Mario                     N. 10",
                                     "Rossi Mario                     N. 9",
                                     "verdi Anna                      N. 1"}));

        lists::Filters f(layout());
        f.set(QStringLiteral("txtCliente"), QStringLiteral("rossi m"));
        f.set(QStringLiteral("txtNumRap"), QStringLiteral("10"));
        QCOMPARE(clientsOf(lists().search(m_archive, f)), (QStringList{"ROSSI MARIO", "Rossi Mario"}));
    }

    void undeliveredOnly()
    {
        // "No" only when the flag, trimmed, is exactly that; empty or foreign flags are not.
        const QList<std::pair<const char *, QString>> flags = {
            {"Uno", records::kNo},     {"Due", records::kYes},     {"Tre", QString()}, {"Quattro", QStringLiteral("no")},
            {"Cinque", records::kNo}, {"Sei", QStringLiteral("N")}, {"Sette", QStringLiteral("NO")}};
        for (const auto &[name, flag] : flags)
            archive::append(m_archive,
                            document({{"txtCliente", QString::fromLatin1(name)}, {"chkConsegnato", flag}}).bytes());
        QVERIFY(!lists().undelivered(document({{"chkConsegnato", records::kYes}})));

        QStringList lines{QStringLiteral("old")};
        lists().undeliveredLines(m_archive, lines);
        QCOMPARE(clientsOf(lines), (QStringList{"Cinque", "Uno"}));
    }

    // A certificate flag written by another program: without its zero byte it reads all
    // three bytes, and blanks around "No" do not hide it.
    void unterminatedCertificateFlag()
    {
        if (!isCertificate())
            QSKIP("report flags carry their length");
        const QList<std::pair<const char *, const char *>> flags = {{"Uno", "No "}, {"Due", " No"}, {"Tre", "Nob"}};
        for (const auto &[name, flag] : flags) {
            Record r = document({{"txtCliente", QString::fromLatin1(name)}});
            r.bytes().replace(layout().find(QStringLiteral("chkConsegnato"))->offset, 3, QByteArray(flag, 3));
            archive::append(m_archive, r.bytes());
        }
        QStringList lines;
        lists().undeliveredLines(m_archive, lines);
        QCOMPARE(clientsOf(lines), (QStringList{"Due", "Uno"}));
    }

    void failuresThrow()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(kind().archiveName));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, lists().search(m_archive, lists::Filters(layout())));
        QStringList lines{QStringLiteral("old")};
        QVERIFY_THROWS_EXCEPTION(ArchiveError, lists().undeliveredLines(m_archive, lines));
        QVERIFY(lines.isEmpty());
    }

    // Two documents whose clients differ only after the 30th character, otherwise alike:
    // one line, and it stands for the later one with its position, whatever its flag.
    void chosenLineLeadsToTheLastMatchingRecord()
    {
        const QList<std::pair<const char *, QString>> same = {{"txtNumRap", "5"},
                                                              {"txtData", "01/02/2024"},
                                                              {"txtAnalisi", "Acqua potabile"},
                                                              {"txtCampione", "Rete"}};
        Record first = document({{"txtCliente", "Consorzio di Bonifica della Piana"}, {"txtCodFisc", "PRIMO"}});
        Record second = document({{"txtCliente", "Consorzio di Bonifica della Pianura  "},
                                  {"txtCodFisc", "SECONDO"},
                                  {"chkConsegnato", records::kYes}});
        for (const auto &[field, value] : same) {
            first.setText(QString::fromLatin1(field), value);
            second.setText(QString::fromLatin1(field), value);
        }
        archive::append(m_archive, first.bytes());
        archive::append(m_archive, document({{"txtCliente", "Bianchi"}}).bytes());
        archive::append(m_archive, second.bytes());

        const QString line = lists().line(first);
        QCOMPARE(lists().line(second), line);
        const auto chosen = lists::lastRecordOfLine(m_archive, layout(), lists().lineOf(), line);
        QVERIFY(chosen);
        QCOMPARE(chosen->position, 3);
        QCOMPARE(chosen->record.text(QStringLiteral("txtCodFisc")), QStringLiteral("SECONDO"));
        QCOMPARE(chosen->record.bytes(), second.bytes());
        QVERIFY(!lists::lastRecordOfLine(m_archive, layout(), lists().lineOf(), QStringLiteral("Nessuno")));
    }

private:
    static const Kind &kind()
    {
        QFETCH_GLOBAL(int, kind);
        return kinds().at(kind);
    }
    static const documents::Lists &lists() { return *kind().lists; }
    static const records::Layout &layout() { return lists().layout(); }
    static bool isCertificate() { return &layout() == &records::certificate(); }

    static Record document(std::initializer_list<std::pair<const char *, QString>> values)
    {
        Record r(layout());
        r.setText(QStringLiteral("chkConsegnato"), records::kNo);
        for (const auto &[field, value] : values)
            r.setText(QString::fromLatin1(field), value);
        return r;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_archive;
};

QTEST_GUILESS_MAIN(TestDocumentLists)
#include "test_documentlists.moc"
