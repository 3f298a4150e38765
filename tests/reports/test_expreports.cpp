// The test report export window: the exact file for a small archive, the grid with its
// editable columns, the questions, the failure message and the help.

#include "reports/frmexprapporti.h"
#include "reports/reportexport.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "ui/exportwindow.h"
#include "ui/helpwindows.h"
#include "ui/seams.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "support/exportfixture.h"
#include "support/messages.h"

using Messages::Kind;
using records::Record;

namespace {

struct Column {
    const char *caption;
    int width;
    const char *field;
};

// The 25 exported columns, in order.
const Column kColumns[] = {
    {"Rapporto di prova n.", 200, "txtNumRap"},
    {"Data emissione", 180, "txtData"},
    {"Committente", 250, "txtCliente"},
    {"Comune di residenza", 250, "txtComuneRes"},
    {"Partita IVA", 180, "txtPartitaIva"},
    {"Codice fiscale", 200, "txtCodFisc"},
    {"Tipo analisi", 250, "txtAnalisi"},
    {"Campione analizzato", 300, "txtCampione"},
    {"Luogo prelievo", 250, "txtLuogoPrel"},
    {"Data prelievo", 180, "txtDataPrel"},
    {"Campionamento a cura di", 250, "txtCura"},
    {"Contenitore utilizzato", 250, "txtContenitore"},
    {"Inizio analisi", 180, "txtDataInizio"},
    {"Fine analisi", 180, "txtDataFine"},
    {"Parametro 1", 250, "txtParametro01"},
    {"Risultato 1", 200, "txtRisultato01"},
    {"Parametro 2", 250, "txtParametro02"},
    {"Risultato 2", 200, "txtRisultato02"},
    {"Parametro 3", 250, "txtParametro03"},
    {"Risultato 3", 200, "txtRisultato03"},
    {"Parametro 4", 250, "txtParametro04"},
    {"Risultato 4", 200, "txtRisultato04"},
    {"Parametro 5", 250, "txtParametro05"},
    {"Risultato 5", 200, "txtRisultato05"},
    {"Osservazioni", 400, "txtOsservazioni"},
};

QByteArray headerRow()
{
    QList<std::pair<QByteArray, int>> captions;
    for (const Column &c : kColumns)
        captions.append({c.caption, c.width});
    return support::exportHeaderRow(captions);
}

const QByteArray kHead = support::exportHead("Rapporti di Prova");
using support::exportDataRow;
using support::kExportTail;
using support::readAll;

// Every field holds its own name without "txt" (cut to its capacity), all thirty rows
// filled: the cells name the fields behind them, and nothing else may show.
Record namedReport()
{
    Record r(records::report());
    for (const records::Field &f : records::report().fields())
        r.setText(f.name, f.name.mid(3));
    r.setText(QStringLiteral("chkConsegnato"), records::kYes);
    return r;
}

QList<QByteArray> namedCells()
{
    QList<QByteArray> cells;
    for (const Column &c : kColumns)
        cells << QByteArray(c.field).mid(3);
    return cells;
}

// Results only in row 20: rows 6 to 30 never reach the file.
Record lateRowsReport()
{
    Record r(records::report());
    r.setText(QStringLiteral("txtNumRap"), QStringLiteral("3/2024"));
    r.setText(QStringLiteral("txtCliente"), QStringLiteral("Verdi Anna"));
    r.setText(QStringLiteral("txtParametro20"), QStringLiteral("Nitrati"));
    r.setText(QStringLiteral("txtRisultato20"), QStringLiteral("12,5"));
    r.setText(QStringLiteral("chkConsegnato"), records::kNo);
    return r;
}

Record accentedReport()
{
    Record r(records::report());
    r.setText(QStringLiteral("txtNumRap"), QStringLiteral("2/2024"));
    r.setText(QStringLiteral("txtCliente"), QStringLiteral("Caseificio & Figli <srl>"));
    r.setText(QStringLiteral("txtComuneRes"), QStringLiteral("Forl\u00ec"));
    r.setText(QStringLiteral("txtParametro01"), QStringLiteral("Carica batterica a 22 \u00b0C"));
    r.setText(QStringLiteral("txtRisultato01"), QStringLiteral("< 1"));
    r.setText(QStringLiteral("chkConsegnato"), records::kNo);
    return r;
}

} // namespace

class TestExpReports : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_fx.setUp();
        m_archive = m_fx.file(QStringLiteral("2024.rdp"));
    }
    void cleanup() { m_fx.tearDown(); }

    void fileForASmallArchive_data()
    {
        QTest::addColumn<bool>("reports");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty archive: header row only") << false << kHead + headerRow() + kExportTail;

        QList<QByteArray> accented(25);
        accented[0] = "2/2024";
        accented[2] = "Caseificio &amp; Figli &lt;srl&gt;";
        accented[3] = "Forl\xEC";
        accented[14] = "Carica batterica a 22 \xB0" "C";
        accented[15] = "&lt; 1";
        QList<QByteArray> late(25);
        late[0] = "3/2024";
        late[2] = "Verdi Anna";
        QTest::newRow("three reports in file order")
            << true << kHead + headerRow() + exportDataRow(namedCells()) + exportDataRow(accented) + exportDataRow(late) + kExportTail;
    }
    void fileForASmallArchive()
    {
        QFETCH(bool, reports);
        QFETCH(QByteArray, expected);
        if (reports) {
            archive::append(m_archive, namedReport().bytes());
            archive::append(m_archive, accentedReport().bytes());
            archive::append(m_archive, lateRowsReport().bytes());
        }
        open();
        QVERIFY(QFileInfo::exists(m_archive)); // showing the window creates a missing archive
        QCOMPARE(w()->grdRecords->model()->rowCount(), reports ? 3 : 0);
        exportAnswering({true, false});
        QCOMPARE(readAll(xls()), expected);
        QCOMPARE(Messages::taken().size(), 2);
        QVERIFY(Shell::taken().isEmpty());
    }

    // Column order and widths on screen; all columns but N., the client, the client's
    // town, the sampling date and the analysis start can be edited, and an edit reaches
    // the file but never the archive.
    void gridAndEditableColumns()
    {
        archive::append(m_archive, namedReport().bytes());
        archive::append(m_archive, lateRowsReport().bytes());
        const QByteArray archiveBefore = readAll(m_archive);
        open();
        QCOMPARE(w()->objectName(), QStringLiteral("frmExpRapporti"));
        QCOMPARE(w()->windowTitle(), QStringLiteral(" Esporta archivio rapporti di prova in Microsoft Excel"));
        QCOMPARE(w()->size(), QSize(862, 560));

        QTableView *grid = w()->grdRecords;
        QAbstractItemModel *m = grid->model();
        QCOMPARE(m->columnCount(), 26);
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("N."));
        for (int c = 1; c < 26; ++c) {
            QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(kColumns[c - 1].caption));
            QCOMPARE(grid->columnWidth(c), kColumns[c - 1].width);
            QCOMPARE(m->index(0, c).data().toString(), QString::fromLatin1(kColumns[c - 1].field).mid(3));
        }
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("1"));
        QCOMPARE(m->index(1, 0).data().toString(), QStringLiteral("2"));
        QCOMPARE(grid->rowHeight(0), 21);
        QVERIFY(grid->alternatingRowColors());

        const QSet<int> readOnly{0, 3, 4, 10, 13};
        for (int c = 0; c < 26; ++c)
            QVERIFY2(bool(m->flags(m->index(0, c)) & Qt::ItemIsEditable) != readOnly.contains(c),
                     qPrintable(m->headerData(c, Qt::Horizontal).toString()));
        QCOMPARE(reports::editableColumns().size(), 21);
        QVERIFY(!m->setData(m->index(0, 3), QStringLiteral("cambiato")));
        QVERIFY(m->setData(m->index(0, 16), QStringLiteral("  8,2  ")));

        exportAnswering({true, false});
        const QByteArray bytes = readAll(xls());
        QVERIFY(bytes.contains("<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">Parametro01</td>"
                               "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">8,2</td>"
                               "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">Parametro02</td>"));
        QVERIFY(!bytes.contains(">Risultato01<"));
        QVERIFY(bytes.contains(">Cliente<"));
        QCOMPARE(readAll(m_archive), archiveBefore);
    }

    void questionsDecide_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("opened");
        QTest::newRow("no to exporting") << QList<bool>{false} << 1 << false << false;
        QTest::newRow("export, do not open") << QList<bool>{true, false} << 2 << true << false;
        QTest::newRow("export and open") << QList<bool>{true, true} << 2 << true << true;
    }
    void questionsDecide()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(int, questions);
        QFETCH(bool, written);
        QFETCH(bool, opened);
        archive::append(m_archive, namedReport().bytes());
        open();
        exportAnswering(answers);

        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), questions);
        QCOMPARE(shown[0].kind, Kind::Question);
        QCOMPARE(shown[0].text,
                 QStringLiteral("L'esportazione dei dati in Excel pu\u00f2 richiedere diversi minuti a seconda del "
                                "numero di schede presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?"));
        if (questions > 1) {
            QCOMPARE(shown[1].kind, Kind::Question);
            QCOMPARE(shown[1].text, QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\n"
                                                   "Si vuole aprire il file di Excel?"));
        }
        QCOMPARE(QFileInfo::exists(xls()), written);
        QCOMPARE(Shell::taken(), opened ? QStringList{u'"' + xls() + u'"'} : QStringList{});
        QVERIFY(w()->isVisible());
    }

    void failureIsReported()
    {
        archive::append(m_archive, namedReport().bytes());
        QVERIFY(QDir().mkdir(xls())); // a target that cannot be replaced
        open();
        exportAnswering({true});
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, Kind::Plain);
        QCOMPARE(shown[1].text, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                               "Accertarsi che il file di Excel non sia gi\u00e0 aperto."));
        QVERIFY(Shell::taken().isEmpty());
        QVERIFY(QFileInfo(xls()).isDir());
        QVERIFY(w()->isVisible());
    }

    void hintsAndHelp()
    {
        open();
        QCOMPARE(w()->panInfo->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));
        QCOMPARE(w()->cmdEsporta->accessibleDescription(),
                 QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
        const auto [title, text] = m_fx.pressGuida();
        QCOMPARE(title, QStringLiteral("Esportazione archivio rapporti di prova in Excel"));
        // What the page explains: the yearly archive as an XLS sheet that office suites
        // read, made by the Excel icon, opened at once on a yes, then saved anywhere.
        for (const char *said : {"rapporti di prova dell'anno aperto", "Rapporti_di_Prova.xls", "XLS",
                                 "LibreOffice", "icona di Excel", "S\u00ec", "con il nome e nella cartella"})
            QVERIFY2(text.contains(QString::fromUtf8(said)), said);
        QTest::mouseClick(w()->cmdEsci, Qt::LeftButton);
        QVERIFY(!w()->isVisible());
        QVERIFY(Messages::taken().isEmpty());
    }

    // The card's command: a fresh modal window over the archive it names, gone after use.
    void openExportRunsAModalWindow()
    {
        archive::append(m_archive, namedReport().bytes());
        QCOMPARE(m_fx.rowsShownBy([this] { reports::openExport(nullptr, m_archive); }), 1);
    }

private:
    TfrmExpRapporti *w() const { return m_fx.w(); }
    QString xls() const { return ProgramFolder::file(QStringLiteral("Rapporti_di_Prova.xls")); }
    void open() { m_fx.open(nullptr, m_archive); }
    void exportAnswering(const QList<bool> &answers) { m_fx.exportAnswering(answers); }

    support::ExportFixture<TfrmExpRapporti> m_fx;
    QString m_archive;
};

QTEST_MAIN(TestExpReports)
#include "test_expreports.moc"
