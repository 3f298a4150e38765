// The client export window: its grid filled from the archive, the file it writes, the
// questions, the failure message, the hints and the help.

#include "ui/helpwindows.h"
#include "ui/seams.h"
#include "clients/frmexpclienti.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "ui/exportwindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "support/exportfixture.h"

using Messages::Kind;
using records::Record;
namespace texts = exportTexts;

namespace {

struct Expected {
    const char *heading;
    int gridWidth;
    const char *caption;
    int width;
    const char *value; // of the numbered client below
};

// The 25 exported columns. Client "numbered" holds "f<n>" in field n, so the value
// column names the fields behind each cell.
const Expected kColumns[] = {
    {"Cognome e nome cliente", 250, "Cognome e nome cliente", 250, "f1"},
    {"Data di nascita", 120, "Data di nascita", 200, "f2"},
    {"Comune / Stato estero di nascita", 250, "Comune di nascita", 250, "f3 P4"},
    {"Recapito preferenziale", 200, "Recapito preferenziale", 250, "f6"},
    {"Indirizzo di residenza", 250, "Indirizzo di residenza", 300, "f7"},
    {"Comune di residenza", 250, "Comune di residenza", 250, "f9 P8"},
    {"Modalit\u00e0 di pagamento", 250, "Modalit\u00e0 di pagamento", 250, "f11"},
    {"Tel. casa", 200, "Tel. casa", 250, "f12"},
    {"Tel. ufficio", 200, "Tel. ufficio", 250, "f13"},
    {"Tel. cellulare", 200, "Tel. cellulare", 250, "f14"},
    {"PEC", 200, "PEC", 250, "f15"},
    {"E-mail", 250, "E-mail", 250, "f16"},
    {"Codice fiscale", 150, "Codice fiscale", 250, "f17"},
    {"Partita IVA", 150, "Partita IVA", 250, "f20"},
    {"Carta di credito n.", 250, "Carta di credito n.", 300, "f18"},
    {"Scadenza", 160, "Scadenza", 150, "f19"},
    {"IBAN", 250, "IBAN", 300, "f21"},
    {"Estremi documento", 280, "Estremi documento", 280, "f22"},
    {"Occupazione", 250, "Occupazione", 250, "f23"},
    {"Stato civile", 250, "Stato civile", 250, "f24"},
    {"Titoli e qualifiche", 280, "Titoli e qualifiche", 280, "f25"},
    {"Prodotti e servizi di interesse", 300, "Prodotti e servizi di interesse", 300, "f26"},
    {"Zona di appartenenza", 250, "Zona di appartenenza", 250, "f27"},
    {"Questioni in sospeso", 300, "Questioni in sospeso", 300, "f28"},
    {"Note", 350, "Note", 300, "f29"},
};

Record numbered()
{
    Record r(records::client());
    const auto &fields = records::client().fields();
    for (int i = 0; i < fields.size(); ++i)
        r.setText(i, QStringLiteral("f%1").arg(i + 1));
    r.setText(QStringLiteral("txtProvNasc"), QStringLiteral("P4"));
    r.setText(QStringLiteral("txtProvRes"), QStringLiteral("P8"));
    r.setText(QStringLiteral("chkRicontatta"), records::kYes);
    return r;
}

Record client(const QString &name, const QString &town, const QString &prov)
{
    Record r(records::client());
    r.setText(QStringLiteral("txtCliente"), name);
    r.setText(QStringLiteral("txtComuneNasc"), town);
    r.setText(QStringLiteral("txtProvRes"), prov);
    r.setText(QStringLiteral("txtCapRes"), QStringLiteral("47121"));
    r.setText(QStringLiteral("chkRicontatta"), records::kNo);
    return r;
}

} // namespace

class TestExpClienti : public QObject {
    Q_OBJECT
private slots:
    void init() { m_fx.setUp(); }
    void cleanup() { m_fx.tearDown(); }

    void gridShowsTheArchive()
    {
        threeClients();
        open();
        QCOMPARE(w()->objectName(), QStringLiteral("frmExpClienti"));
        QCOMPARE(w()->windowTitle(), QStringLiteral(" Esporta archivio clienti in Microsoft Excel"));
        QCOMPARE(w()->size(), QSize(862, 560));

        QTableView *grid = w()->grdRecords;
        QAbstractItemModel *m = grid->model();
        QCOMPARE(m->columnCount(), 26);
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("N."));
        QCOMPARE(grid->columnWidth(0), 60);
        for (int c = 0; c < 25; ++c) {
            QCOMPARE(m->headerData(c + 1, Qt::Horizontal).toString(), QString::fromUtf8(kColumns[c].heading));
            QCOMPARE(grid->columnWidth(c + 1), kColumns[c].gridWidth);
            QCOMPARE(m->index(0, c + 1).data().toString(), QString::fromUtf8(kColumns[c].value));
        }
        for (int r = 0; r < 3; ++r)
            QCOMPARE(m->index(r, 0).data().toString(), QString::number(r + 1));
        // A missing province leaves the town alone, a missing town the province alone.
        QCOMPARE(m->index(1, 1).data().toString(), QStringLiteral("Bianchi & Figli <srl>"));
        QCOMPARE(m->index(1, 3).data().toString(), QStringLiteral("Forl\u00ec"));
        QCOMPARE(m->index(1, 6).data().toString(), QStringLiteral("RA"));
        QCOMPARE(m->index(2, 6).data().toString(), QString());

        QCOMPARE(grid->rowHeight(0), 21);
        QVERIFY(grid->alternatingRowColors());
        for (int c = 0; c < 26; ++c)
            QVERIFY(!(m->flags(m->index(0, c)) & Qt::ItemIsEditable));
    }

    void exportWritesTheGrid()
    {
        threeClients();
        open();
        Messages::queueAnswer(true);
        Messages::queueAnswer(false);
        QTest::mouseClick(w()->cmdEsporta, Qt::LeftButton);

        QFile f(xls());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.contains('\n') && !bytes.contains('\r'));
        QVERIFY(bytes.contains("<x:Name>Riepilogo Clienti</x:Name>"));
        const QString doc = text::fromCp1252(bytes);
        QCOMPARE(doc.count(QStringLiteral("<tr>")), 4);

        // Header row: captions and widths of the file, not those of the grid.
        static const QRegularExpression head(QStringLiteral("font-weight: bold;\" width=(\\d+)>([^<]*)</td>"));
        int c = 0;
        for (auto it = head.globalMatch(doc); it.hasNext(); ++c) {
            const auto match = it.next();
            QVERIFY(c < 25);
            QCOMPARE(match.captured(2), QString::fromUtf8(kColumns[c].caption));
            QCOMPARE(match.captured(1).toInt(), kColumns[c].width);
        }
        QCOMPARE(c, 25);

        const QList<QStringList> rows = dataRows(doc);
        QCOMPARE(rows.size(), 3);
        QStringList first;
        for (const Expected &e : kColumns)
            first << QString::fromUtf8(e.value);
        QCOMPARE(rows[0], first);
        QCOMPARE(rows[1].mid(0, 6), (QStringList{QStringLiteral("Bianchi &amp; Figli &lt;srl&gt;"), QString(),
                                                 QStringLiteral("Forl\u00ec"), QString(), QString(),
                                                 QStringLiteral("RA")}));
        QCOMPARE(rows[2][0], QStringLiteral("Verdi Anna"));
        // Sex, postcode, flag and attachments stay out.
        for (const char *absent : {">f10<", "47121", "f30", "S\xEC", "f31", "f36"})
            QVERIFY2(!bytes.contains(absent), absent);
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
        threeClients();
        open();
        for (bool a : answers)
            Messages::queueAnswer(a);
        QTest::mouseClick(w()->cmdEsporta, Qt::LeftButton);

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
        threeClients();
        QVERIFY(QDir().mkdir(xls())); // a target that cannot be replaced
        open();
        QTest::mouseClick(w()->cmdEsporta, Qt::LeftButton);
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, Kind::Plain);
        QCOMPARE(shown[1].text, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                               "Accertarsi che il file di Excel non sia gi\u00e0 aperto."));
        QVERIFY(Shell::taken().isEmpty());
        QVERIFY(QFileInfo(xls()).isDir());
    }

    // An archive that cannot be read is never exported as an empty or partial sheet over
    // the previous export.
    void unreadableArchiveIsNotExported()
    {
        QVERIFY(QDir().mkdir(ProgramFolder::file(QStringLiteral("Clienti.pro"))));
        QFile previous(xls());
        QVERIFY(previous.open(QIODevice::WriteOnly));
        previous.write("esportazione precedente");
        previous.close();
        open();
        QTest::mouseClick(w()->cmdEsporta, Qt::LeftButton);
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 2);
        // Said as it is: no use asking to close the Excel file.
        QCOMPARE(shown[1].kind, Kind::Plain);
        QCOMPARE(shown[1].text, exportTexts::kNotReadWhole);
        QVERIFY(shown[1].text.startsWith(QStringLiteral(
            "Attenzione: non \u00e8 stato possibile leggere tutto l'archivio; il file di Excel non \u00e8 stato scritto.")));
        QCOMPARE(support::readAll(xls()), QByteArray("esportazione precedente"));
        QVERIFY(Shell::taken().isEmpty());
    }

    void emptyArchive()
    {
        open(); // no archive yet: showing the window creates it empty
        QVERIFY(QFileInfo::exists(ProgramFolder::file(QStringLiteral("Clienti.pro"))));
        QCOMPARE(w()->grdRecords->model()->rowCount(), 0);
        QTest::mouseClick(w()->cmdEsporta, Qt::LeftButton);
        QFile f(xls());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.count("<tr>"), 1);
        QVERIFY(bytes.endsWith("</tr></table></body></html>"));
    }

    void hintsFollowTheMouse()
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
    }

    void helpAndExit()
    {
        open();
        const QString title = m_fx.pressGuida().title;
        QCOMPARE(title, QStringLiteral("Esportazione archivio clienti in Excel"));
        QVERIFY(w()->isVisible());
        QTest::mouseClick(w()->cmdEsci, Qt::LeftButton);
        QVERIFY(!w()->isVisible());
        QVERIFY(Messages::taken().isEmpty());
    }

private:
    TfrmExpClienti *w() const { return m_fx.w(); }
    QString xls() const { return ProgramFolder::file(QStringLiteral("Clienti.xls")); }

    void threeClients()
    {
        const QString path = ProgramFolder::file(QStringLiteral("Clienti.pro"));
        archive::append(path, numbered().bytes());
        archive::append(path, client(QStringLiteral("Bianchi & Figli <srl>"), QStringLiteral("Forl\u00ec"),
                                     QStringLiteral("RA")).bytes());
        archive::append(path, client(QStringLiteral("Verdi Anna"), QString(), QString()).bytes());
        // A torn last record is not a client.
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write(QByteArray(100, 'z'));
    }

    void open() { m_fx.open(); }

    static QList<QStringList> dataRows(const QString &doc)
    {
        QList<QStringList> rows;
        static const QRegularExpression cell(
            QRegularExpression::escape(
                QStringLiteral("<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">"))
            + QStringLiteral("(.*?)</td>"));
        const QStringList trs = doc.split(QStringLiteral("<tr>"));
        for (qsizetype i = 2; i < trs.size(); ++i) {
            QStringList row;
            for (auto it = cell.globalMatch(trs[i]); it.hasNext();)
                row << it.next().captured(1);
            rows << row;
        }
        return rows;
    }

    support::ExportFixture<TfrmExpClienti> m_fx;
};

QTEST_MAIN(TestExpClienti)
#include "test_expclienti.moc"
