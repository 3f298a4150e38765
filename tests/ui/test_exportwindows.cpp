// Every archive export window (clients, analysis models, test reports, certificates),
// driven as a user drives it: the grid over the archive and the columns that take an
// edit, the exact file Esporta writes, the questions, a file that cannot be written and
// an archive that cannot be read, the hints, the help and the card's command. Every case
// runs for each kind; what a kind shows and exports is in its row of kinds().

#include "certificates/frmexpcertificati.h"
#include "clients/frmexpclienti.h"
#include "models/frmexpparametri.h"
#include "reports/frmexprapporti.h"
#include "reports/reportexport.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "ui/exportwindow.h"
#include "ui/helptopics.h"
#include "ui/seams.h"

#include <QApplication>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

#include "support/exportfixture.h"

using Messages::Kind;
using records::Record;
using support::exportDataRow;
using support::readAll;

namespace {

using Cells = QList<QByteArray>; // one row of the file, as its bytes between the cell tags

struct Column {
    QString heading; // in the grid
    int gridWidth;
    QByteArray caption; // in the file
    int width;
};

// A column captioned alike on screen and in the file.
Column same(const char *caption, int width)
{
    return {QString::fromLatin1(caption), width, QByteArray(caption), width};
}

// A small archive as the kind's records, and the rows the file must carry for them.
struct Archive {
    QList<Record> records;
    QList<Cells> rows;
};

struct ExportKind {
    std::function<std::unique_ptr<ExportWindow>(const QString &archive)> make;
    std::function<void(const QString &archive)> command; // the card's Esporta
    QString archiveName, fileName; // in the program folder
    QByteArray sheetName;
    QString objectName, title;
    help::Topic (*topic)();
    QString helpTitle, exported; // the help's words for what is exported
    QList<Column> columns;
    QSet<int> editable; // grid columns (0 is "N.") that take an edit
    std::function<QSet<int>()> published; // the window's own list of them, where it has one
    Archive (*small)();
    QList<QByteArray> absent; // what the small archive holds and the file never shows
};

QString two(int k)
{
    return QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
}

Cells blanks(qsizetype n)
{
    return Cells(n);
}

// Clients: the record "numbered" holds "f<n>" in field n, so the cells name the fields
// behind them; a town without province and a province without town; a bare name.
Archive clientArchive()
{
    Record numbered(records::client());
    const auto &fields = records::client().fields();
    for (int i = 0; i < fields.size(); ++i)
        numbered.setText(i, QStringLiteral("f%1").arg(i + 1));
    numbered.setText(QStringLiteral("txtProvNasc"), QStringLiteral("P4"));
    numbered.setText(QStringLiteral("txtProvRes"), QStringLiteral("P8"));
    numbered.setText(QStringLiteral("chkRicontatta"), records::kYes);

    auto client = [](const QString &name, const QString &town, const QString &prov) {
        Record r(records::client());
        r.setText(QStringLiteral("txtCliente"), name);
        r.setText(QStringLiteral("txtComuneNasc"), town);
        r.setText(QStringLiteral("txtProvRes"), prov);
        r.setText(QStringLiteral("txtCapRes"), QStringLiteral("47121"));
        r.setText(QStringLiteral("chkRicontatta"), records::kNo);
        return r;
    };

    Cells bianchi = blanks(25);
    bianchi[0] = "Bianchi &amp; Figli &lt;srl&gt;";
    bianchi[2] = "Forl\xEC"; // town of birth, no province
    bianchi[5] = "RA";       // province of residence, no town
    Cells verdi = blanks(25);
    verdi[0] = "Verdi Anna";
    return {{numbered,
             client(QStringLiteral("Bianchi & Figli <srl>"), QStringLiteral("Forl\u00ec"), QStringLiteral("RA")),
             client(QStringLiteral("Verdi Anna"), QString(), QString())},
            {{"f1",  "f2",  "f3 P4", "f6",  "f7",  "f9 P8", "f11", "f12", "f13", "f14", "f15", "f16", "f17",
              "f20", "f18", "f19",   "f21", "f22", "f23",   "f24", "f25", "f26", "f27", "f28", "f29"},
             bianchi,
             verdi}};
}

// Models: every row filled, units, limits and an attachment too, of which only the first
// ten parameters and methods reach the file; a model with rows 11 to 30 only.
Archive modelArchive()
{
    Record full(records::model());
    full.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Acque & bevande"));
    full.setText(QStringLiteral("txtCampione"), QStringLiteral("Pozzo di Forl\u00ec"));
    for (int k = 1; k <= 30; ++k) {
        full.setText(QStringLiteral("txtParametro") + two(k), QStringLiteral("P%1").arg(k));
        full.setText(QStringLiteral("txtMetodo") + two(k), QStringLiteral("M%1").arg(k));
        full.setText(QStringLiteral("txtUM") + two(k), QStringLiteral("U%1").arg(k));
        full.setText(QStringLiteral("txtLimite") + two(k), QStringLiteral("L%1").arg(k));
    }
    full.setText(QStringLiteral("lblFile01"), QStringLiteral("allegato.pdf"));

    Record late(records::model());
    late.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Vini"));
    late.setText(QStringLiteral("txtCampione"), QStringLiteral("Rosso"));
    for (int k = 11; k <= 30; ++k) {
        late.setText(QStringLiteral("txtParametro") + two(k), QStringLiteral("tardi %1").arg(k));
        late.setText(QStringLiteral("txtMetodo") + two(k), QStringLiteral("metodo %1").arg(k));
    }

    Cells fullCells{"Acque &amp; bevande", "Pozzo di Forl\xEC"};
    for (int k = 1; k <= 10; ++k)
        fullCells << "P" + QByteArray::number(k) << "M" + QByteArray::number(k);
    Cells lateCells{"Vini", "Rosso"};
    lateCells << blanks(20);
    return {{full, late}, {fullCells, lateCells}};
}

// The fields behind the test report columns, in order.
const char *const kReportFields[] = {
    "txtNumRap",      "txtData",        "txtCliente",     "txtComuneRes",   "txtPartitaIva",  "txtCodFisc",
    "txtAnalisi",     "txtCampione",    "txtLuogoPrel",   "txtDataPrel",    "txtCura",        "txtContenitore",
    "txtDataInizio",  "txtDataFine",    "txtParametro01", "txtRisultato01", "txtParametro02", "txtRisultato02",
    "txtParametro03", "txtRisultato03", "txtParametro04", "txtRisultato04", "txtParametro05", "txtRisultato05",
    "txtOsservazioni",
};

// Test reports: every field holding its own name without "txt", all thirty rows filled,
// so that the cells name the fields behind them; the code page and the markup's special
// characters; results only in row 20, which never reaches the file.
Archive reportArchive()
{
    Record named(records::report());
    for (const records::Field &f : records::report().fields())
        named.setText(f.name, f.name.mid(3));
    named.setText(QStringLiteral("chkConsegnato"), records::kYes);
    Cells namedCells;
    for (const char *field : kReportFields)
        namedCells << QByteArray(field).mid(3);

    Record accented(records::report());
    accented.setText(QStringLiteral("txtNumRap"), QStringLiteral("2/2024"));
    accented.setText(QStringLiteral("txtCliente"), QStringLiteral("Caseificio & Figli <srl>"));
    accented.setText(QStringLiteral("txtComuneRes"), QStringLiteral("Forl\u00ec"));
    accented.setText(QStringLiteral("txtParametro01"), QStringLiteral("Carica batterica a 22 \u00b0C"));
    accented.setText(QStringLiteral("txtRisultato01"), QStringLiteral("< 1"));
    accented.setText(QStringLiteral("chkConsegnato"), records::kNo);
    Cells accentedCells = blanks(25);
    accentedCells[0] = "2/2024";
    accentedCells[2] = "Caseificio &amp; Figli &lt;srl&gt;";
    accentedCells[3] = "Forl\xEC";
    accentedCells[14] = "Carica batterica a 22 \xB0" "C";
    accentedCells[15] = "&lt; 1";

    Record late(records::report());
    late.setText(QStringLiteral("txtNumRap"), QStringLiteral("3/2024"));
    late.setText(QStringLiteral("txtCliente"), QStringLiteral("Verdi Anna"));
    late.setText(QStringLiteral("txtParametro20"), QStringLiteral("Nitrati"));
    late.setText(QStringLiteral("txtRisultato20"), QStringLiteral("12,5"));
    late.setText(QStringLiteral("chkConsegnato"), records::kNo);
    Cells lateCells = blanks(25);
    lateCells[0] = "3/2024";
    lateCells[2] = "Verdi Anna";
    return {{named, accented, late}, {namedCells, accentedCells, lateCells}};
}

// The fields behind the certificate columns, in order.
const char *const kCertificateFields[] = {
    "txtNumRap",     "txtData",      "txtCliente",     "txtIndirizzoRes", "txtCapRes",     "txtProvRes",
    "txtComuneRes",  "txtPartitaIva", "txtCodFisc",    "txtAnalisi",      "txtCampione",   "txtLuogoPrel",
    "txtDataPrel",   "txtCura",      "txtContenitore", "txtDataRic",      "txtOraRic",     "txtDataInizio",
    "txtDataFine",   "txtChimico",   "txtOrdine",      "chkConsegnato",
};

// Certificates, whose fields are stored as typed: every field holding its own name
// without its prefix with blanks around it, so that the cells name the fields behind
// them, trimmed; memos full of text and line breaks, the code page and the markup's
// special characters, and no delivered flag at all.
Archive certificateArchive()
{
    const records::Layout &layout = records::certificate();
    Record named(layout);
    for (const records::Field &f : layout.fields())
        named.setText(f.name, u' ' + f.name.mid(3) + u' ');
    named.setText(QStringLiteral("chkConsegnato"), records::kYes);
    Cells namedCells;
    for (const char *field : kCertificateFields) {
        const records::Field *f = layout.find(QString::fromLatin1(field));
        namedCells << QByteArray(field).mid(3, f->capacity - 1); // the blank in front took one
    }
    namedCells.last() = "S\xEC";

    Record awkward(layout);
    QString memo;
    for (int i = 0; memo.size() < 4900; ++i)
        memo += QStringLiteral("Riga %1 della relazione: metodo UNI EN ISO & limiti < 5 \u20ac\r\n").arg(i);
    for (const char *name :
         {"txtMetodi", "txtMotivazione", "txtAllegati", "txtTempoDocu", "txtTempoCamp", "txtConclusioni"})
        awkward.setText(QString::fromLatin1(name), memo);
    awkward.setText(QStringLiteral("txtNumRap"), QStringLiteral("  2/2024"));
    awkward.setText(QStringLiteral("txtCliente"), QStringLiteral("Caseificio & Figli <srl> "));
    awkward.setText(QStringLiteral("txtComuneRes"), QStringLiteral("Forl\u00ec"));
    awkward.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Analisi a 22 \u00b0C, costo 30 \u20ac"));
    awkward.setText(QStringLiteral("txtLaboratorio"), QStringLiteral("Laboratorio che non compare"));
    awkward.setText(QStringLiteral("lblDesc01"), QStringLiteral("Allegato che non compare"));
    awkward.setText(QStringLiteral("chkConsegnato"), QString());
    Cells awkwardCells = blanks(22);
    awkwardCells[0] = "2/2024";
    awkwardCells[2] = "Caseificio &amp; Figli &lt;srl&gt;";
    awkwardCells[6] = "Forl\xEC";
    awkwardCells[9] = "Analisi a 22 \xB0" "C, costo 30 \x80";
    return {{named, awkward}, {namedCells, awkwardCells}};
}

template <class W>
std::function<std::unique_ptr<ExportWindow>(const QString &)> overArchive()
{
    return [](const QString &archive) { return std::make_unique<W>(nullptr, archive); };
}

template <class W>
std::function<std::unique_ptr<ExportWindow>(const QString &)> overItsArchive()
{
    return [](const QString &) { return std::make_unique<W>(); };
}

const QList<ExportKind> &kinds()
{
    static const QList<ExportKind> k = {
        {
            overItsArchive<TfrmExpClienti>(),
            [](const QString &) { clients::openExport(nullptr); },
            QStringLiteral("Clienti.pro"),
            QStringLiteral("Clienti.xls"),
            "Riepilogo Clienti",
            QStringLiteral("frmExpClienti"),
            QStringLiteral(" Esporta archivio clienti in Microsoft Excel"),
            &help::clientExport,
            QStringLiteral("Esportazione archivio clienti in Excel"),
            QStringLiteral("l'archivio dei clienti"),
            // The file's own captions and widths where they differ from the grid's.
            {
                same("Cognome e nome cliente", 250),
                {QStringLiteral("Data di nascita"), 120, "Data di nascita", 200},
                {QStringLiteral("Comune / Stato estero di nascita"), 250, "Comune di nascita", 250},
                {QStringLiteral("Recapito preferenziale"), 200, "Recapito preferenziale", 250},
                {QStringLiteral("Indirizzo di residenza"), 250, "Indirizzo di residenza", 300},
                same("Comune di residenza", 250),
                {QStringLiteral("Modalit\u00e0 di pagamento"), 250, "Modalit\xE0 di pagamento", 250},
                {QStringLiteral("Tel. casa"), 200, "Tel. casa", 250},
                {QStringLiteral("Tel. ufficio"), 200, "Tel. ufficio", 250},
                {QStringLiteral("Tel. cellulare"), 200, "Tel. cellulare", 250},
                {QStringLiteral("PEC"), 200, "PEC", 250},
                same("E-mail", 250),
                {QStringLiteral("Codice fiscale"), 150, "Codice fiscale", 250},
                {QStringLiteral("Partita IVA"), 150, "Partita IVA", 250},
                {QStringLiteral("Carta di credito n."), 250, "Carta di credito n.", 300},
                {QStringLiteral("Scadenza"), 160, "Scadenza", 150},
                {QStringLiteral("IBAN"), 250, "IBAN", 300},
                same("Estremi documento", 280),
                same("Occupazione", 250),
                same("Stato civile", 250),
                same("Titoli e qualifiche", 280),
                same("Prodotti e servizi di interesse", 300),
                same("Zona di appartenenza", 250),
                same("Questioni in sospeso", 300),
                {QStringLiteral("Note"), 350, "Note", 300},
            },
            {},
            {},
            &clientArchive,
            // Sex, postcode, the flag and the attachments stay out.
            {">f10<", "47121", "f30", "S\xEC", "f31", "f36"},
        },
        {
            overItsArchive<TfrmExpParametri>(),
            [](const QString &) { models::openExport(nullptr); },
            QStringLiteral("Parametri_Chimici.pro"),
            QStringLiteral("Modelli_Analisi.xls"),
            "Modelli Analisi",
            QStringLiteral("frmExpParametri"),
            QStringLiteral(" Esporta archivio modelli di analisi in Microsoft Excel"),
            &help::modelExport,
            QStringLiteral("Esportazione archivio modelli di analisi in Excel"),
            QStringLiteral("l'archivio dei modelli di analisi"),
            [] {
                QList<Column> columns{same("Nome analisi", 250), same("Tipo campione", 300)};
                for (int k = 1; k <= 10; ++k) {
                    const QByteArray n = QByteArray::number(k);
                    columns << Column{QString::fromLatin1("Parametro " + n), 250, "Parametro " + n, 250}
                            << Column{QString::fromLatin1("Metodo di prova " + n), 250, "Metodo di prova " + n, 250};
                }
                return columns;
            }(),
            // Parametro 2, 5, 7, 9, 10 and Metodo di prova 2, 5, 9, 10.
            {5, 6, 11, 12, 15, 19, 20, 21, 22},
            [] { return TfrmExpParametri::editableColumns(); },
            &modelArchive,
            // Rows 11 to 30, units, limits and attachments stay out.
            {">P11<", ">M11<", ">U1<", ">L1<", "tardi", "metodo 1", "allegato.pdf"},
        },
        {
            overArchive<TfrmExpRapporti>(),
            [](const QString &archive) { reports::openExport(nullptr, archive); },
            QStringLiteral("2024.rdp"),
            QStringLiteral("Rapporti_di_Prova.xls"),
            "Rapporti di Prova",
            QStringLiteral("frmExpRapporti"),
            QStringLiteral(" Esporta archivio rapporti di prova in Microsoft Excel"),
            &help::reportExport,
            QStringLiteral("Esportazione archivio rapporti di prova in Excel"),
            QStringLiteral("rapporti di prova dell'anno aperto"),
            {
                same("Rapporto di prova n.", 200), same("Data emissione", 180),   same("Committente", 250),
                same("Comune di residenza", 250),  same("Partita IVA", 180),      same("Codice fiscale", 200),
                same("Tipo analisi", 250),         same("Campione analizzato", 300), same("Luogo prelievo", 250),
                same("Data prelievo", 180),        same("Campionamento a cura di", 250),
                same("Contenitore utilizzato", 250), same("Inizio analisi", 180), same("Fine analisi", 180),
                same("Parametro 1", 250),          same("Risultato 1", 200),      same("Parametro 2", 250),
                same("Risultato 2", 200),          same("Parametro 3", 250),      same("Risultato 3", 200),
                same("Parametro 4", 250),          same("Risultato 4", 200),      same("Parametro 5", 250),
                same("Risultato 5", 200),          same("Osservazioni", 400),
            },
            // All but N., the client, the client's town, the sampling date and the
            // analysis start.
            [] {
                QSet<int> editable;
                for (int c = 1; c <= 25; ++c)
                    if (c != 3 && c != 4 && c != 10 && c != 13)
                        editable.insert(c);
                return editable;
            }(),
            [] { return reports::editableColumns(); },
            &reportArchive,
            // Rows 6 to 30, methods, units, limits and the delivered flag stay out.
            {"Nitrati", "12,5", ">Parametro06<", ">Metodo01<", ">UM01<", ">Limite01<", "S\xEC"},
        },
        {
            overArchive<TfrmExpCertificati>(),
            [](const QString &archive) { certificates::openExport(nullptr, archive); },
            QStringLiteral("2024.cda"),
            QStringLiteral("Certificati_Analisi_Chimica.xls"),
            "Certificati Analisi Chimica",
            QStringLiteral("frmExpCertificati"),
            QStringLiteral(" Esporta archivio certificati di analisi chimica in Microsoft Excel"),
            &help::certificateExport,
            QStringLiteral("Esportazione archivio certificati di analisi chimica in Excel"),
            QStringLiteral("certificati di analisi chimica dell'anno aperto"),
            {
                {QStringLiteral("Rapporto di analisi n."), 180, "Certificato di analisi n.", 200},
                {QStringLiteral("Data emissione"), 150, "Data emissione", 180},
                same("Committente", 250),
                {QStringLiteral("Indirizzo e numero civico"), 250, "Indirizzo e numero civico", 300},
                {QStringLiteral("CAP"), 120, "CAP", 160},
                {QStringLiteral("Prov."), 120, "Prov.", 160},
                same("Comune di residenza", 250),
                {QStringLiteral("Partita IVA"), 150, "Partita IVA", 180},
                {QStringLiteral("Codice fiscale"), 180, "Codice fiscale", 200},
                same("Tipo analisi", 250),
                same("Campione analizzato", 300),
                same("Luogo prelievo", 250),
                {QStringLiteral("Data prelievo"), 150, "Data prelievo", 180},
                same("Campionamento a cura di", 250),
                same("Contenitore utilizzato", 250),
                {QStringLiteral("Data ricezione"), 150, "Data ricezione", 180},
                {QStringLiteral("Ora ricezione"), 150, "Ora ricezione", 180},
                {QStringLiteral("Inizio analisi"), 150, "Inizio analisi", 180},
                {QStringLiteral("Fine analisi"), 150, "Fine analisi", 180},
                same("Chimico responsabile", 250),
                same("Ordine appartenenza", 250),
                {QStringLiteral("Consegnato"), 120, "Consegnato", 160},
            },
            {},
            {},
            &certificateArchive,
            // The laboratory, the memos and the attachments stay out.
            {"Laboratorio che non compare", "Allegato che non compare", "della relazione"},
        },
    };
    return k;
}

// A cell of the file as the grid shows it.
QString shown(const QByteArray &cell)
{
    return text::fromCp1252(cell)
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

} // namespace

class TestExportWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("clienti") << 0;
        QTest::newRow("modelli") << 1;
        QTest::newRow("rapporti") << 2;
        QTest::newRow("certificati") << 3;
    }
    void init() { m_fx.setUp(); }
    void cleanup() { m_fx.tearDown(); }

    // The whole file, byte for byte, on one line of text: the header row alone for an
    // empty archive (which showing the window creates), a row per record in file order
    // for the small one, whose torn last record is no record.
    void fileForASmallArchive_data()
    {
        QTest::addColumn<bool>("filled");
        QTest::newRow("empty archive: header row only") << false;
        QTest::newRow("small archive in file order") << true;
    }
    void fileForASmallArchive()
    {
        QFETCH(bool, filled);
        const Archive small = kind().small();
        if (filled)
            appendSmallArchive();
        open();
        QVERIFY(QFileInfo::exists(archive())); // showing the window creates a missing archive
        QCOMPARE(w()->grdRecords->model()->rowCount(), filled ? int(small.rows.size()) : 0);
        exportAnswering({true, false});
        const QByteArray bytes = readAll(xls());
        QCOMPARE(bytes, file(filled ? small.rows : QList<Cells>{}));
        QVERIFY(!bytes.contains('\r') && !bytes.contains('\n'));
        for (const QByteArray &absent : kind().absent)
            QVERIFY2(!bytes.contains(absent), absent.constData());
        QCOMPARE(Messages::taken().size(), 2);
        QVERIFY(Shell::taken().isEmpty());
    }

    // The window, the headings and widths on screen, every cell as the file will hold it;
    // only the kind's editable columns take an edit, trimmed, which reaches its own cell
    // of the file but never the archive.
    void gridShowsTheArchive()
    {
        appendSmallArchive();
        const QByteArray archiveBefore = readAll(archive());
        open();
        QCOMPARE(w()->objectName(), kind().objectName);
        QCOMPARE(w()->windowTitle(), kind().title);
        QCOMPARE(w()->size(), QSize(862, 560));

        const QList<Column> &columns = kind().columns;
        const QList<Cells> rows = kind().small().rows;
        QTableView *grid = w()->grdRecords;
        QAbstractItemModel *m = grid->model();
        QCOMPARE(m->columnCount(), int(columns.size()) + 1);
        QCOMPARE(m->rowCount(), int(rows.size()));
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("N."));
        QCOMPARE(grid->columnWidth(0), 60);
        for (int c = 1; c <= columns.size(); ++c) {
            QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), columns[c - 1].heading);
            QCOMPARE(grid->columnWidth(c), columns[c - 1].gridWidth);
        }
        for (int r = 0; r < rows.size(); ++r) {
            QCOMPARE(m->index(r, 0).data().toString(), QString::number(r + 1));
            for (int c = 1; c <= columns.size(); ++c)
                QCOMPARE(m->index(r, c).data().toString(), shown(rows[r][c - 1]));
        }
        QCOMPARE(grid->rowHeight(0), 21);
        QVERIFY(grid->alternatingRowColors());

        const QSet<int> &editable = kind().editable;
        if (kind().published)
            QCOMPARE(kind().published(), editable);
        QList<Cells> edited = rows;
        for (int c = 0; c <= columns.size(); ++c) {
            const QString heading = m->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(bool(m->flags(m->index(0, c)) & Qt::ItemIsEditable) == editable.contains(c), qPrintable(heading));
            // Each edit its own value, so that one landing in another cell shows.
            QVERIFY2(m->setData(m->index(0, c), QStringLiteral("  cambiato %1  ").arg(c)) == editable.contains(c),
                     qPrintable(heading));
            if (editable.contains(c))
                edited[0][c - 1] = "cambiato " + QByteArray::number(c);
        }
        exportAnswering({true, false});
        QCOMPARE(readAll(xls()), file(edited));
        QCOMPARE(readAll(archive()), archiveBefore);
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
        appendSmallArchive();
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

    // Each export replaces the last file without asking; Yes opens it, the path quoted.
    // A file that cannot be replaced stays as it was, and the window says so.
    void replacesTheFileOrSaysWhyNot()
    {
        QFile old(xls());
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("vecchio file, molto piu' lungo del nuovo") > 0);
        old.close();
        open();
        exportAnswering({true, true});
        QCOMPARE(readAll(xls()), file({}));
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

#ifdef Q_OS_LINUX
    // A write that fails half way (a full disk) is reported and leaves the previous file
    // as it was, with no stray file beside it.
    void failureHalfWayKeepsTheOldFile()
    {
        const QByteArray previous = "esportazione precedente";
        QFile f(xls());
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(previous) == previous.size());
        f.close();
        appendSmallArchive();
        open();

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = rlim_t(previous.size() + 1024);
        QVERIFY(file(kind().small().rows).size() > qint64(small.rlim_cur)); // the new file would not fit
        auto *handler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        Messages::queueAnswer(true);
        QTest::mouseClick(w()->cmdEsporta, Qt::LeftButton);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);

        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, Kind::Plain);
        QCOMPARE(shown[1].text, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                               "Accertarsi che il file di Excel non sia gi\u00e0 aperto."));
        QVERIFY(Shell::taken().isEmpty());
        QCOMPARE(readAll(xls()), previous);
        QStringList expected{kind().archiveName, kind().fileName};
        expected.sort();
        QCOMPARE(QDir(m_fx.folder()).entryList(QDir::Files | QDir::Hidden), expected);
    }
#endif

    // An archive that cannot be read is never exported as an empty or partial sheet over
    // the previous export; the window says so as it is, with no word of a file left open.
    void unreadableArchiveIsNotExported()
    {
        QVERIFY(QDir().mkdir(archive()));
        QFile previous(xls());
        QVERIFY(previous.open(QIODevice::WriteOnly));
        previous.write("esportazione precedente");
        previous.close();
        open();
        exportAnswering({true});
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, Kind::Plain);
        QCOMPARE(shown[1].text, exportTexts::kNotReadWhole);
        QVERIFY(shown[1].text.startsWith(QStringLiteral("Attenzione: non \u00e8 stato possibile leggere tutto "
                                                        "l'archivio; il file di Excel non \u00e8 stato scritto.")));
        QCOMPARE(readAll(xls()), QByteArray("esportazione precedente"));
        QVERIFY(Shell::taken().isEmpty());
    }

    // The status line starts with what the window does and follows the mouse over the
    // three commands, whose hints are also their accessible descriptions; Guida shows
    // the kind's page, Esci closes the window.
    void hintsAndHelp()
    {
        open();
        QCOMPARE(w()->panInfo->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));
        const QList<QPair<QToolButton *, QString>> hints = {
            {w()->cmdEsporta, QStringLiteral("Esporta l'archivio in formato Microsoft Excel.")},
            {w()->cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto.")},
            {w()->cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro.")},
        };
        for (const auto &[button, hint] : hints) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(button, &enter);
            QCOMPARE(w()->panInfo->text(), hint);
            QCOMPARE(button->accessibleDescription(), hint);
            QTest::mouseMove(w()->grdRecords->viewport(), QPoint(40, 40));
            QVERIFY(w()->panInfo->text().isEmpty());
            QApplication::sendEvent(button, &enter);
            QTest::mouseMove(w(), QPoint(5, 105));
            QVERIFY(w()->panInfo->text().isEmpty());
        }

        const auto [title, text] = m_fx.pressGuida();
        QCOMPARE(title, kind().helpTitle);
        // Three paragraphs: the archive as a worksheet any XLS reader opens, in the file
        // it names; the Excel icon makes the file and a yes opens it; then it is saved
        // under any name.
        const QStringList paragraphs = kind().topic().text.split(QStringLiteral("\r\n\r\n"));
        QCOMPARE(paragraphs.size(), 3);
        for (const QString &p : paragraphs)
            QVERIFY(text.contains(p));
        const QStringList first{kind().exported, kind().fileName, QStringLiteral("XLS"), QStringLiteral("LibreOffice")};
        for (const QString &said : first)
            QVERIFY2(paragraphs[0].contains(said), qPrintable(said));
        const QStringList second{QStringLiteral("icona di Excel"), QStringLiteral("S\u00ec"), QStringLiteral("aperto")};
        for (const QString &said : second)
            QVERIFY2(paragraphs[1].contains(said), qPrintable(said));
        QVERIFY(paragraphs[2].contains(QStringLiteral("con il nome e nella cartella")));

        QVERIFY(w()->isVisible());
        QTest::mouseClick(w()->cmdEsci, Qt::LeftButton);
        QVERIFY(!w()->isVisible());
        QVERIFY(Messages::taken().isEmpty());
    }

    // The card's command: a fresh modal window over the archive, gone after use.
    void openExportRunsAModalWindow()
    {
        appendSmallArchive();
        QCOMPARE(support::ExportFixture::rowsShownBy([this] { kind().command(archive()); }),
                 int(kind().small().rows.size()));
    }

private:
    static const ExportKind &kind()
    {
        QFETCH_GLOBAL(int, kind);
        return kinds().at(kind);
    }
    ExportWindow *w() const { return m_fx.w(); }
    QString archive() const { return m_fx.file(kind().archiveName); }
    QString xls() const { return ProgramFolder::file(kind().fileName); }
    void open() { m_fx.open(kind().make(archive())); }
    void exportAnswering(const QList<bool> &answers) { m_fx.exportAnswering(answers); }

    // The kind's small archive, ended by a torn record.
    void appendSmallArchive()
    {
        for (const Record &r : kind().small().records)
            archive::append(archive(), r.bytes());
        QFile f(archive());
        QVERIFY(f.open(QIODevice::Append));
        f.write(QByteArray(100, 'z'));
    }

    // The file an export must write: the kind's header row and these rows.
    static QByteArray file(const QList<Cells> &rows)
    {
        QList<std::pair<QByteArray, int>> captions;
        for (const Column &c : kind().columns)
            captions.append({c.caption, c.width});
        QByteArray out = support::exportHead(kind().sheetName) + support::exportHeaderRow(captions);
        for (const Cells &row : rows)
            out += exportDataRow(row);
        return out + support::kExportTail;
    }

    support::ExportFixture m_fx;
};

QTEST_MAIN(TestExportWindows)
#include "test_exportwindows.moc"
