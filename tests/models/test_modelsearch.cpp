// The model list rules: line layout, which models are listed, the quick find and the
// mapping from a chosen line back to its record.

#include "models/modelsearch.h"
#include "storage/recordfile.h"

#include <QTemporaryDir>
#include <QtTest>

using records::Record;

namespace {

Record model(const QString &name, const QString &sample, const QString &row1 = {})
{
    Record r(records::model());
    r.setText(QStringLiteral("txtAnalisi"), name);
    r.setText(QStringLiteral("txtCampione"), sample);
    r.setText(QStringLiteral("txtParametro01"), row1);
    return r;
}

} // namespace

class TestModelSearch : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_path = m_dir->filePath(models::kArchiveName);
    }

    void lineLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("line");
        const QString long40 = QStringLiteral("Analisi chimico-fisica completa acque di"); // 40
        QTest::newRow("short name padded") << "Acqua" << "Pozzo"
                                           << QStringLiteral("Acqua") + QString(35, u' ') + "  Campione: Pozzo";
        QTest::newRow("exactly 40") << long40 << "Rete" << long40 + "  Campione: Rete";
        QTest::newRow("longer name cut") << long40 + " falda" << "Rete" << long40 + "  Campione: Rete";
        QTest::newRow("both trimmed, sample not cut")
            << "\t Vino " << QStringLiteral(" %1 ").arg(QString(70, u's'))
            << QStringLiteral("Vino") + QString(36, u' ') + "  Campione: " + QString(70, u's');
        QTest::newRow("empty sample") << "Olio" << "" << QStringLiteral("Olio") + QString(36, u' ') + "  Campione: ";
    }
    void lineLayout()
    {
        QFETCH(QString, name);
        QFETCH(QString, sample);
        QFETCH(QString, line);
        QCOMPARE(models::listLine(name, sample), line);
        QCOMPARE(line.indexOf(QStringLiteral("Campione:")), 42); // the sample column lines up
    }

    void onlyNamedModelsInFileOrder()
    {
        for (const Record &r : {model(QStringLiteral("Vino"), QStringLiteral("Rosso")),
                                model(QStringLiteral("   "), QStringLiteral("senza nome")),
                                model(QString(), QStringLiteral("vuoto")),
                                model(QStringLiteral("Acqua"), QString())})
            archive::append(m_path, r.bytes());
        const QStringList lines = models::buildList(m_path);
        QCOMPARE(lines, (QStringList{models::listLine(QStringLiteral("Vino"), QStringLiteral("Rosso")),
                                     models::listLine(QStringLiteral("Acqua"), QString())}));
    }

    void listOfMissingOrUnreadableArchive()
    {
        QVERIFY(models::buildList(m_path).isEmpty());
        QCOMPARE(QFileInfo(m_path).size(), 0); // created empty
        const QString folder = m_dir->filePath(QStringLiteral("cartella"));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(models::buildList(folder).isEmpty()); // no throw
    }

    // Each step: selection before, typed text, line selected after. Steps run in order on
    // one finder, since the last search text decides where the next search starts.
    void quickFind()
    {
        const QStringList lines{
            models::listLine(QStringLiteral("Acqua potabile"), QStringLiteral("Rubinetto")),
            models::listLine(QStringLiteral("Vino rosso"), QStringLiteral("Bottiglia")),
            models::listLine(QStringLiteral("ACQUA minerale"), QStringLiteral("Qualit\u00e0 alta")),
            models::listLine(QStringLiteral("Olio"), QStringLiteral("Latta")),
        };
        struct Step {
            const char *what;
            int selected;
            QString typed;
            int expected;
        };
        const Step steps[] = {
            {"nothing selected: line 0 is tested first", -1, QStringLiteral("acqua"), 0},
            {"same text moves on", 0, QStringLiteral("acqua"), 2},
            {"same text in capitals is the same search", 2, QStringLiteral("ACQUA"), 0},
            {"new text restarts at the top", 2, QStringLiteral("olio"), 3},
            {"same text, single match: stays", 3, QStringLiteral("olio"), 3},
            {"new text, top line does not match", 3, QStringLiteral("Bottiglia"), 1},
            {"no match leaves the selection", 1, QStringLiteral("birra"), 1},
            {"no match, nothing selected: first line", -1, QStringLiteral("grappa"), 0},
            {"empty text matches nothing", 2, QString(), 2},
            {"blanks are not trimmed", 0, QStringLiteral(" rosso "), 1},
            {"accented capitals are not folded", 1, QStringLiteral("QUALIT\u00c0"), 1},
            {"accented letter as typed", 1, QStringLiteral("qualit\u00e0"), 2},
            {"fixed column text matches every line", 2, QStringLiteral("campione:"), 0},
            {"and walks on", 0, QStringLiteral("Campione:"), 1},
        };
        lists::QuickFind finder;
        for (const Step &s : steps) {
            const int got = finder.find(lines, s.selected, s.typed);
            if (got != s.expected)
                QFAIL(qPrintable(QStringLiteral("%1: got %2, expected %3")
                                     .arg(QString::fromUtf8(s.what)).arg(got).arg(s.expected)));
        }
        // An empty list is the window's business: nothing found, the last text stays.
        QCOMPARE(finder.find({}, -1, QStringLiteral("x")), -1);
        QCOMPARE(finder.remembered(), QStringLiteral("campione:"));
    }

    void chosenLineGivesTheLastEqualRecord()
    {
        const QString long40 = QStringLiteral("Ricerca metalli pesanti in acque reflue ");
        const Record records[] = {
            model(QStringLiteral("Acqua"), QStringLiteral("Pozzo"), QStringLiteral("primo")),
            model(QStringLiteral("Vino"), QStringLiteral("Rosso"), QStringLiteral("vino")),
            model(QStringLiteral(" Acqua "), QStringLiteral("Pozzo"), QStringLiteral("terzo")),
            model(long40 + QStringLiteral("urbane"), QStringLiteral("Scarico"), QStringLiteral("urbane")),
            model(long40 + QStringLiteral("industriali"), QStringLiteral("Scarico"), QStringLiteral("industriali")),
            model(QString(), QStringLiteral("Pozzo"), QStringLiteral("senza nome")),
        };
        for (const Record &r : records)
            archive::append(m_path, r.bytes());

        const auto expect = [&](const QString &line, int position, const QString &row1) {
            const std::optional<lists::Found> found = lists::lastRecordOfLine(m_path, records::model(), models::lineOf(), line);
            QVERIFY(found);
            QCOMPARE(found->position, position);
            QCOMPARE(found->record.text(QStringLiteral("txtParametro01")), row1);
        };
        const QStringList lines = models::buildList(m_path);
        QCOMPARE(lines.size(), 5);
        expect(lines[0], 3, QStringLiteral("terzo")); // same line twice: the later record
        expect(lines[2], 3, QStringLiteral("terzo"));
        expect(lines[1], 2, QStringLiteral("vino"));
        // Names that differ only after their 40th character give one line.
        QCOMPARE(lines[3], lines[4]);
        expect(lines[3], 5, QStringLiteral("industriali"));
        QVERIFY(!lists::lastRecordOfLine(m_path, records::model(), models::lineOf(), QStringLiteral("Birra")));
        QCOMPARE(QFileInfo(m_path).size(), 6 * 10868); // only read

        const QString folder = m_dir->filePath(QStringLiteral("cartella"));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY_THROWS_EXCEPTION(ArchiveError, lists::lastRecordOfLine(folder, records::model(), models::lineOf(), lines[0]));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestModelSearch)
#include "test_modelsearch.moc"
