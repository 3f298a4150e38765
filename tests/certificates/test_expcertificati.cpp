// The certificate export window: the exact file for a small archive of fields stored as
// typed, the read-only grid, the file's replacement and the help.

#include "certificates/frmexpcertificati.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "ui/exportwindow.h"
#include "ui/helptopics.h"
#include "ui/helpwindows.h"
#include "ui/seams.h"

#include <QApplication>
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
    const char *heading; // in the grid
    int gridWidth;
    const char *caption; // in the file
    int width;
    const char *field;
};

// The 22 exported columns, in order.
const Column kColumns[] = {
    {"Rapporto di analisi n.", 180, "Certificato di analisi n.", 200, "txtNumRap"},
    {"Data emissione", 150, "Data emissione", 180, "txtData"},
    {"Committente", 250, "Committente", 250, "txtCliente"},
    {"Indirizzo e numero civico", 250, "Indirizzo e numero civico", 300, "txtIndirizzoRes"},
    {"CAP", 120, "CAP", 160, "txtCapRes"},
    {"Prov.", 120, "Prov.", 160, "txtProvRes"},
    {"Comune di residenza", 250, "Comune di residenza", 250, "txtComuneRes"},
    {"Partita IVA", 150, "Partita IVA", 180, "txtPartitaIva"},
    {"Codice fiscale", 180, "Codice fiscale", 200, "txtCodFisc"},
    {"Tipo analisi", 250, "Tipo analisi", 250, "txtAnalisi"},
    {"Campione analizzato", 300, "Campione analizzato", 300, "txtCampione"},
    {"Luogo prelievo", 250, "Luogo prelievo", 250, "txtLuogoPrel"},
    {"Data prelievo", 150, "Data prelievo", 180, "txtDataPrel"},
    {"Campionamento a cura di", 250, "Campionamento a cura di", 250, "txtCura"},
    {"Contenitore utilizzato", 250, "Contenitore utilizzato", 250, "txtContenitore"},
    {"Data ricezione", 150, "Data ricezione", 180, "txtDataRic"},
    {"Ora ricezione", 150, "Ora ricezione", 180, "txtOraRic"},
    {"Inizio analisi", 150, "Inizio analisi", 180, "txtDataInizio"},
    {"Fine analisi", 150, "Fine analisi", 180, "txtDataFine"},
    {"Chimico responsabile", 250, "Chimico responsabile", 250, "txtChimico"},
    {"Ordine appartenenza", 250, "Ordine appartenenza", 250, "txtOrdine"},
    {"Consegnato", 120, "Consegnato", 160, "chkConsegnato"},
};

QByteArray headerRow()
{
    QList<std::pair<QByteArray, int>> captions;
    for (const Column &c : kColumns)
        captions.append({c.caption, c.width});
    return support::exportHeaderRow(captions);
}

const QByteArray kHead = support::exportHead("Certificati Analisi Chimica");
using support::exportDataRow;
using support::kExportTail;
using support::readAll;

// Every field holds its own name without its prefix (cut to its capacity), with blanks
// around it as a user may leave them: the cells name the fields behind them, trimmed,
// and nothing else may show.
Record namedCertificate()
{
    Record r(records::certificate());
    for (const records::Field &f : records::certificate().fields())
        r.setText(f.name, u' ' + f.name.mid(3) + u' ');
    r.setText(QStringLiteral("chkConsegnato"), records::kYes);
    return r;
}

QList<QByteArray> namedCells()
{
    QList<QByteArray> cells;
    for (const Column &c : kColumns) {
        const records::Field *f = records::certificate().find(QString::fromLatin1(c.field));
        cells << QByteArray(c.field).mid(3, f->capacity - 1); // the blank in front took one
    }
    cells.last() = "S\xEC";
    return cells;
}

// The memos full of text and line breaks, the text fields with what the code page and
// the markup make special; no delivered flag at all.
Record awkwardCertificate()
{
    Record r(records::certificate());
    QString memo;
    for (int i = 0; memo.size() < 4900; ++i)
        memo += QStringLiteral("Riga %1 della relazione: metodo UNI EN ISO & limiti < 5 \u20ac\r\n").arg(i);
    for (const char *name : {"txtMetodi", "txtMotivazione", "txtAllegati", "txtTempoDocu", "txtTempoCamp",
                             "txtConclusioni"})
        r.setText(QString::fromLatin1(name), memo);
    r.setText(QStringLiteral("txtNumRap"), QStringLiteral("  2/2024"));
    r.setText(QStringLiteral("txtCliente"), QStringLiteral("Caseificio & Figli <srl> "));
    r.setText(QStringLiteral("txtComuneRes"), QStringLiteral("Forl\u00ec"));
    r.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Analisi a 22 \u00b0C, costo 30 \u20ac"));
    r.setText(QStringLiteral("txtLaboratorio"), QStringLiteral("Laboratorio che non compare"));
    r.setText(QStringLiteral("lblDesc01"), QStringLiteral("Allegato che non compare"));
    r.setText(QStringLiteral("chkConsegnato"), QString());
    return r;
}

QList<QByteArray> awkwardCells()
{
    QList<QByteArray> cells(22);
    cells[0] = "2/2024";
    cells[2] = "Caseificio &amp; Figli &lt;srl&gt;";
    cells[6] = "Forl\xEC";
    cells[9] = "Analisi a 22 \xB0" "C, costo 30 \x80";
    return cells;
}

} // namespace

class TestExpCertificati : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_fx.setUp();
        m_archive = m_fx.file(QStringLiteral("2024.cda"));
    }
    void cleanup() { m_fx.tearDown(); }

    void fileForASmallArchive_data()
    {
        QTest::addColumn<bool>("certificates");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty archive: header row only") << false << kHead + headerRow() + kExportTail;
        QTest::newRow("two certificates in file order")
            << true << kHead + headerRow() + exportDataRow(namedCells()) + exportDataRow(awkwardCells()) + kExportTail;
    }
    void fileForASmallArchive()
    {
        QFETCH(bool, certificates);
        QFETCH(QByteArray, expected);
        if (certificates) {
            archive::append(m_archive, namedCertificate().bytes());
            archive::append(m_archive, awkwardCertificate().bytes());
        }
        open();
        QVERIFY(QFileInfo::exists(m_archive)); // showing the window creates a missing archive
        QCOMPARE(w()->grdRecords->model()->rowCount(), certificates ? 2 : 0);
        exportAnswering({true, false});
        const QByteArray bytes = readAll(xls());
        QCOMPARE(bytes, expected);
        QVERIFY(!bytes.contains('\r') && !bytes.contains('\n')); // one line of text
        QCOMPARE(Messages::taken().size(), 2);
        QVERIFY(Shell::taken().isEmpty());
    }

    // Headings and widths on screen, the values trimmed, nothing editable; the archive is
    // only read.
    void readOnlyGrid()
    {
        archive::append(m_archive, namedCertificate().bytes());
        archive::append(m_archive, awkwardCertificate().bytes());
        const QByteArray archiveBefore = readAll(m_archive);
        open();
        QCOMPARE(w()->objectName(), QStringLiteral("frmExpCertificati"));
        QCOMPARE(w()->windowTitle(), QStringLiteral(" Esporta archivio certificati di analisi chimica in Microsoft Excel"));
        QCOMPARE(w()->size(), QSize(862, 560));

        QTableView *grid = w()->grdRecords;
        QAbstractItemModel *m = grid->model();
        QCOMPARE(m->columnCount(), 23);
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("N."));
        QCOMPARE(grid->columnWidth(0), 60);
        const QList<QByteArray> named = namedCells();
        for (int c = 1; c < 23; ++c) {
            QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(kColumns[c - 1].heading));
            QCOMPARE(grid->columnWidth(c), kColumns[c - 1].gridWidth);
            QCOMPARE(m->index(0, c).data().toString(), QString::fromLatin1(named[c - 1]));
        }
        QCOMPARE(m->index(1, 3).data().toString(), QStringLiteral("Caseificio & Figli <srl>"));
        QCOMPARE(m->index(1, 22).data().toString(), QString());
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("1"));
        QCOMPARE(m->index(1, 0).data().toString(), QStringLiteral("2"));
        QCOMPARE(grid->rowHeight(0), 21);
        for (int c = 0; c < 23; ++c)
            QVERIFY(!(m->flags(m->index(0, c)) & Qt::ItemIsEditable));
        QVERIFY(!m->setData(m->index(0, 1), QStringLiteral("cambiato")));

        exportAnswering({true, false});
        QCOMPARE(readAll(m_archive), archiveBefore);
    }

    // Each export replaces the last file without asking; Yes opens it, the path quoted.
    // A file that cannot be replaced leaves it as it was and says so.
    void replacesTheFileOrSaysWhyNot()
    {
        QFile old(xls());
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("vecchio file, molto piu' lungo del nuovo") > 0);
        old.close();
        open();
        exportAnswering({true, true});
        QCOMPARE(readAll(xls()), kHead + headerRow() + kExportTail);
        QCOMPARE(Shell::taken(), QStringList{u'"' + xls() + u'"'});
        Messages::taken();

        QVERIFY(QFile::remove(xls()) && QDir().mkdir(xls()));
        exportAnswering({true});
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, Kind::Plain);
        QCOMPARE(shown[1].text, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                               "Accertarsi che il file di Excel non sia gi\u00e0 aperto."));
        QVERIFY(QFileInfo(xls()).isDir());
        QVERIFY(Shell::taken().isEmpty());
        QVERIFY(w()->isVisible());
    }

    void hintsAndHelp()
    {
        open();
        QCOMPARE(w()->panInfo->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));
        QCOMPARE(w()->cmdEsporta->accessibleDescription(),
                 QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
        QCOMPARE(w()->cmdGuida->accessibleDescription(),
                 QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
        QCOMPARE(w()->cmdEsci->accessibleDescription(), QStringLiteral("Esci da questo ambiente di lavoro."));
        const auto [title, text] = m_fx.pressGuida();
        QCOMPARE(title, QStringLiteral("Esportazione archivio certificati di analisi chimica in Excel"));
        // Three paragraphs: the certificate archive as a worksheet any XLS reader opens;
        // the Excel icon makes the file and a yes opens it; then it is saved under any name.
        const QStringList paragraphs = help::certificateExport().text.split(QStringLiteral("\r\n\r\n"));
        QCOMPARE(paragraphs.size(), 3);
        for (const QString &p : paragraphs)
            QVERIFY(text.contains(p));
        for (const char *said : {"certificati di analisi chimica", "Certificati_Analisi_Chimica.xls", "XLS"})
            QVERIFY2(paragraphs[0].contains(QString::fromUtf8(said)), said);
        for (const char *said : {"icona di Excel", "S\u00ec", "aperto"})
            QVERIFY2(paragraphs[1].contains(QString::fromUtf8(said)), said);
        QVERIFY(paragraphs[2].contains(QStringLiteral("con il nome e nella cartella")));
        QTest::mouseClick(w()->cmdEsci, Qt::LeftButton);
        QVERIFY(!w()->isVisible());
        QVERIFY(Messages::taken().isEmpty());
    }

    // The card's command: a fresh modal window over the archive it names, gone after use.
    void openExportRunsAModalWindow()
    {
        archive::append(m_archive, namedCertificate().bytes());
        QCOMPARE(m_fx.rowsShownBy([this] { certificates::openExport(nullptr, m_archive); }), 1);
    }

private:
    TfrmExpCertificati *w() const { return m_fx.w(); }
    QString xls() const { return ProgramFolder::file(QStringLiteral("Certificati_Analisi_Chimica.xls")); }
    void open() { m_fx.open(nullptr, m_archive); }
    void exportAnswering(const QList<bool> &answers) { m_fx.exportAnswering(answers); }

    support::ExportFixture<TfrmExpCertificati> m_fx;
    QString m_archive;
};

QTEST_MAIN(TestExpCertificati)
#include "test_expcertificati.moc"
