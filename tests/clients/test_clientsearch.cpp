// The rules of the client lists: filters, the fixed-width line, the order, quick find
// and the way a chosen line leads back to its record.

#include "clients/clientsearch.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using clients::ClientFilters;
using clients::LastColumn;
using records::Record;

namespace {

Record client(std::initializer_list<std::pair<const char *, QString>> values)
{
    Record r(records::client());
    r.setText(QStringLiteral("chkRicontatta"), records::kNo);
    for (const auto &[field, value] : values)
        r.setText(QString::fromLatin1(field), value);
    return r;
}

} // namespace

class TestClientSearch : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_archive = m_dir->filePath(QStringLiteral("Clienti.pro"));
    }

    void oneFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("listed");
        QTest::newRow("upper finds mixed") << "ROSSI" << "Rossi Mario" << true << true;
        QTest::newRow("upper finds lower") << "ROSSI" << "mario rossi" << true << true;
        QTest::newRow("lower finds upper") << "rossi" << "ROSSI MARIO" << true << true;
        QTest::newRow("inside the text") << "ss" << "Rossi" << true << true;
        QTest::newRow("not there") << "bianchi" << "Rossi Mario" << true << false;
        QTest::newRow("accented capital, small stored") << "\u00c0" << "\u00e0ncora" << true << false;
        QTest::newRow("accented small, capital stored") << "\u00e8" << "\u00c8LITE" << true << false;
        QTest::newRow("same accented letter") << "\u00c8" << "\u00c8LITE" << true << true;
        QTest::newRow("trailing blank is typed text") << "rossi " << "Mario Rossi" << true << false;
        QTest::newRow("trailing blank inside") << "rossi " << "Rossi Mario" << true << true;
        QTest::newRow("leading blank is typed text") << " rossi" << "Rossi" << true << false;
        QTest::newRow("blank filter inactive") << "   " << "Rossi" << false << true;
        QTest::newRow("control chars only inactive") << "\t \x01" << "" << false << true;
        QTest::newRow("empty filter inactive") << "" << "" << false << true;
    }
    void oneFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, active);
        QFETCH(bool, listed);
        ClientFilters f;
        f.set(QStringLiteral("txtCliente"), typed);
        QCOMPARE(f.activeCount(), active ? 1 : 0);
        QCOMPARE(f.matches(client({{"txtCliente", stored}})), listed);
    }

    // Each filter looks at its own field and no other.
    void eachFilterSearchesItsField()
    {
        for (const char *name : clients::kFilterFields) {
            const QString field = QString::fromLatin1(name);
            ClientFilters f;
            f.set(field, QStringLiteral("Chiave"));
            for (const char *other : clients::kFilterFields) {
                const Record r = client({{other, QStringLiteral("la CHIAVE")}});
                QVERIFY2(f.matches(r) == (QLatin1String(other) == field), qPrintable(field + u'/' + QLatin1String(other)));
            }
        }
    }

    void filtersAreAnded()
    {
        ClientFilters f;
        f.set(QStringLiteral("txtComuneRes"), QStringLiteral("pisa"));
        f.set(QStringLiteral("txtPartitaIva"), QStringLiteral("0123"));
        f.set(QStringLiteral("txtNote"), QStringLiteral("  ")); // blank: takes no part
        QCOMPARE(f.activeCount(), 2);
        QVERIFY(f.matches(client({{"txtComuneRes", "Pisa"}, {"txtPartitaIva", "90123456789"}})));
        QVERIFY(!f.matches(client({{"txtComuneRes", "Pisa"}, {"txtPartitaIva", "45678999999"}})));
        QVERIFY(!f.matches(client({{"txtComuneRes", "Lucca"}, {"txtPartitaIva", "01234567890"}})));
        // Setting a filter again replaces it; blanking it takes it out.
        f.set(QStringLiteral("txtPartitaIva"), QStringLiteral(" "));
        QCOMPARE(f.activeCount(), 1);
        QVERIFY(f.matches(client({{"txtComuneRes", "Pisa"}, {"txtPartitaIva", "45678999999"}})));
    }

    void lineLayout()
    {
        Record r = client({{"txtCliente", "Rossi Mario Giuseppe Antonio Maria"}, // 34: cut to 26
                           {"txtRecapito", "050 123456"},                        // padded to 15
                           {"txtOccupazione", "Agronoma"},
                           {"txtProdotti", "Analisi acque potabili e di pozzo"}, // 33: cut to 30
                           {"txtNote", "Paga a 30 giorni"},
                           {"txtQuestioni", "Preventivo"}});
        const QString fixed = QStringLiteral("Rossi Mario Giuseppe Anton"
                                             "  Tel. "
                                             "050 123456     "
                                             "  "
                                             "Agronoma                 "
                                             "  Prod. "
                                             "Analisi acque potabili e di po"
                                             "  ");
        QCOMPARE(fixed.size(), clients::kFixedLineWidth);
        QCOMPARE(clients::listLine(r, LastColumn::Notes), fixed + QStringLiteral("Paga a 30 giorni"));
        QCOMPARE(clients::listLine(r, LastColumn::OpenQuestions), fixed + QStringLiteral("Preventivo"));

        // Stored padding is not shown; an empty last column ends the line after the products.
        QByteArray &bytes = r.bytes();
        const QByteArray padded("\x09  Bassi  ", 10);
        bytes.replace(0, padded.size(), padded);
        r.setText(QStringLiteral("txtNote"), QString());
        const QString line = clients::listLine(r, LastColumn::Notes);
        QCOMPARE(line.size(), clients::kFixedLineWidth);
        QVERIFY(line.startsWith(QStringLiteral("Bassi                       Tel. 050")));
        // Notes are whole, however long.
        r.setText(QStringLiteral("txtNote"), QString(250, u'n'));
        QCOMPARE(clients::listLine(r, LastColumn::Notes).size(), 115 + 250);
    }

    void order()
    {
        // Folded a-z, then character codes: '_' after the letters, accented letters last,
        // a prefix before its longer lines, equal lines in their first order.
        QStringList lines{"_b", "Zz", "ab", "\u00e0a", "AB", "b", "a", "Ab"};
        lists::sortLines(lines);
        QCOMPARE(lines, (QStringList{"a", "ab", "AB", "Ab", "b", "Zz", "_b", "\u00e0a"}));
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            QVERIFY(!lists::lineLess(lines[i + 1], lines[i]));
        QVERIFY(lists::lineLess(QStringLiteral("rossi"), QStringLiteral("ROSSI MARIO")));
        QVERIFY(!lists::lineLess(QStringLiteral("ROSSI"), QStringLiteral("rossi")));
        QVERIFY(lists::lineLess(QStringLiteral("Rossi Z"), QStringLiteral("rossi_")));
    }

    void searchReadsTheArchiveInListOrder()
    {
        QVERIFY(!QFile::exists(m_archive));
        QVERIFY(clients::searchLines(m_archive, ClientFilters()).isEmpty());
        QVERIFY(QFile::exists(m_archive)); // open-or-create

        for (const char *name : {"verdi Anna", "Rossi Mario", "bianchi Luca", "ROSSI ANNA"})
            archive::append(m_archive, client({{"txtCliente", QString::fromLatin1(name)}}).bytes());
        QStringList all = clients::searchLines(m_archive, ClientFilters());
        QCOMPARE(all.size(), 4);
        for (QString &line : all)
            line = text::trim(line.left(26));
        QCOMPARE(all, (QStringList{"bianchi Luca", "ROSSI ANNA", "Rossi Mario", "verdi Anna"}));

        ClientFilters rossi;
        rossi.set(QStringLiteral("txtCliente"), QStringLiteral("rossi"));
        QCOMPARE(clients::searchLines(m_archive, rossi).size(), 2);
    }

    void searchFailureThrows()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Clienti.pro")));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, clients::searchLines(m_archive, ClientFilters()));
        QStringList lines{QStringLiteral("old")};
        QVERIFY_THROWS_EXCEPTION(ArchiveError, clients::recontactLines(m_archive, lines));
        QVERIFY(lines.isEmpty());
    }

    void recontactListsYesOnly()
    {
        const QList<std::pair<QString, QString>> flags = {
            {"Uno", records::kYes}, {"Due", records::kNo}, {"Tre", QString()},
            {"Quattro", "s\u00ec"}, {"Cinque", "SI"},      {"Sei", records::kYes}};
        for (const auto &[name, flag] : flags) {
            Record r = client({{"txtCliente", name}, {"txtQuestioni", "Q " + name}, {"txtNote", "N " + name}});
            r.setText(QStringLiteral("chkRicontatta"), flag);
            archive::append(m_archive, r.bytes());
        }
        // A record with its flag bytes all zero.
        Record zero(records::client());
        zero.setText(QStringLiteral("txtCliente"), QStringLiteral("Zero"));
        archive::append(m_archive, zero.bytes());

        QStringList lines;
        clients::recontactLines(m_archive, lines);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(u"Sei ") && lines[0].endsWith(u"  Q Sei"));
        QVERIFY(lines[1].startsWith(u"Uno ") && lines[1].endsWith(u"  Q Uno"));
    }

    void quickFind()
    {
        const QStringList lines{"Alfa uno", "beta due", "gamma UNO", "delta", "epsilon uno", "Citt\u00e0 alta"};
        lists::QuickFind find;
        QCOMPARE(find.find({}, -1, QStringLiteral("x")), -1);

        struct Step {
            int selected;
            const char *typed;
            int expected;
        };
        const Step steps[] = {
            {-1, "UNO", 0},  // new text: the first line is tested first
            {0, "uno", 2},   // the same text (folded): the next occurrence
            {2, "uno", 4},
            {4, "uno", 0},   // wraps from the last line to the first
            {4, "a", 0},     // a new text starts again from the top
            {3, "zzz", 3},   // nothing found: the selection stays
            {1, "", 1},      // an empty text never matches
            {1, "", 1},
            {3, "gamma", 2}, // only one line matches...
            {2, "gamma", 2}, // ...and asking again ends on the start line itself
            {0, " uno", 0},  // not trimmed: the blank is part of the text
            {0, " uno", 2},
            {0, "\u00c0", 0}, // accented letters are not folded
            {0, "\u00e0", 5},
        };
        for (const Step &s : steps)
            QVERIFY2(find.find(lines, s.selected, QString::fromUtf8(s.typed)) == s.expected, s.typed);
        QCOMPARE(find.remembered(), QStringLiteral("\u00e0"));
        find.forget();
        QVERIFY(find.remembered().isEmpty());
    }

    void chosenLineLeadsToTheLastMatchingRecord()
    {
        const Record rossi = client({{"txtCliente", "Rossi Mario"}, {"txtCodFisc", "PRIMO"}});
        const Record bianchi = client({{"txtCliente", "Bianchi Anna"}, {"txtQuestioni", "Sollecito"}});
        const Record copy = client({{"txtCliente", "Rossi Mario"}, {"txtCodFisc", "SECONDO"}});
        for (const Record &r : {rossi, bianchi, copy})
            archive::append(m_archive, r.bytes());

        // A line as the list shows it: padded, nothing after the products column.
        const QString line = clients::listLine(rossi, LastColumn::Notes);
        QVERIFY(line.endsWith(u"  "));
        auto chosen = lists::lastRecordOfLine(m_archive, records::client(), clients::lineOf(LastColumn::Notes), line);
        QVERIFY(chosen);
        QCOMPARE(chosen->position, 3);
        QCOMPARE(chosen->record.text(QStringLiteral("txtCodFisc")), QStringLiteral("SECONDO"));

        const QString withQuestions = clients::listLine(bianchi, LastColumn::OpenQuestions);
        chosen = lists::lastRecordOfLine(m_archive, records::client(), clients::lineOf(LastColumn::OpenQuestions), withQuestions);
        QVERIFY(chosen);
        QCOMPARE(chosen->position, 2);
        // The same line against lines ending in the notes matches nothing.
        QVERIFY(!lists::lastRecordOfLine(m_archive, records::client(), clients::lineOf(LastColumn::Notes), withQuestions));
        QVERIFY(!lists::lastRecordOfLine(m_archive, records::client(), clients::lineOf(LastColumn::Notes), QStringLiteral("Nessuno")));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_archive;
};

QTEST_GUILESS_MAIN(TestClientSearch)
#include "test_clientsearch.moc"
