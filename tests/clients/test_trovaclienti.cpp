// The client search and the clients to recontact, driven as a user would: type filters,
// search, find a line, double-click it and look at the card.

#include "app/frmavvio.h"
#include "ui/seams.h"
#include "app/workspace.h"
#include "clients/frmclienti.h"
#include "clients/frmricontatta.h"
#include "clients/frmtrovaclienti.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "tools/render_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "support/cardfixture.h"

#include "support/fieldtarget.h"
#include "support/listwindows.h"
#include "support/messages.h"

using Messages::Kind;
using records::Record;
using support::doubleClickLine;
using support::printedLines;
using support::printedTitle;

namespace {

// A document card as the test report and certificate cards will be: edits named after
// the client fields and a few others.
struct DocumentCard : support::EditsTarget {
    DocumentCard()
        : EditsTarget({"txtCliente", "txtIndirizzoRes", "txtComuneRes", "txtProvRes", "txtCapRes", "txtCodFisc",
                       "txtPartitaIva", "txtTelCasa", "txtEmail", "txtNote"})
    {
    }
    QString field(const char *name) const { return EditsTarget::field(QString::fromLatin1(name)); }
};

} // namespace

class TestTrovaClienti : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_fx.setUp();
        QVERIFY(m_fx.open(card()));
    }
    void cleanup() { m_fx.tearDown(); }

    void filterPanelFirst()
    {
        TfrmTrovaClienti w(card(), card());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral(" Trova clienti in archivio"));
        QVERIFY(w.panAvvio->isVisible());
        QVERIFY(!w.panContainer->isVisible());
        QVERIFY(!w.lblAttendere->isVisible() && !w.lblConta->isVisible() && !w.lblMemory->isVisible());
        QCOMPARE(w.focusWidget(), w.filter(QStringLiteral("txtCliente")));
        QCOMPARE(w.filter(QStringLiteral("txtNote"))->accessibleName(), QStringLiteral("Note:"));
        QCOMPARE(w.filter(QStringLiteral("txtProdotti"))->accessibleName(), QStringLiteral("Prodotti e servizi di interesse:"));
        QCOMPARE(w.filter(QStringLiteral("txtCliente"))->maxLength(), 32767); // no length limit

        // Enter walks the ten filters in order and comes back to the first.
        QStringList walked;
        for (int i = 0; i < 10; ++i) {
            walked.append(w.focusWidget()->objectName());
            QTest::keyClick(w.focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(w.focusWidget(), w.filter(QStringLiteral("txtCliente")));
        QStringList expected;
        for (const char *name : clients::kFilterFields)
            expected.append(QString::fromLatin1(name));
        QCOMPARE(walked, expected);
        QVERIFY(w.isVisible()); // Enter never searched nor closed
        QVERIFY(w.panAvvio->isVisible());
    }

    void searchListsSortedLinesAndCounts()
    {
        appendClient("verdi Anna", "Pisa", "01234567890");
        appendClient("Rossi Mario", "Pisa", "99999999999");
        appendClient("ROSSI LUCA", "Lucca", "01234567890");
        appendClient("mario rossi", "Pisa", "00123456789");

        TfrmTrovaClienti w(card(), card());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClicks(w.filter(QStringLiteral("txtCliente")), QStringLiteral("ROSSI"));
        w.filter(QStringLiteral("txtComuneRes"))->setText(QStringLiteral("pisa"));
        w.filter(QStringLiteral("txtNote"))->setText(QStringLiteral("   ")); // blank: not a filter
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);

        QCOMPARE(w.lblConta->text(), QStringLiteral("2"));
        QVERIFY(w.panContainer->isVisible());
        QVERIFY(!w.panAvvio->isVisible());
        QCOMPARE(w.focusWidget(), w.txtTrova);
        QCOMPARE(w.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 2 schede."));
        QCOMPARE(names(w), (QStringList{"mario rossi", "Rossi Mario"}));
        QVERIFY(Messages::taken().isEmpty());
    }

    void noFilterListsEveryClient()
    {
        for (const char *name : {"Uno", "Due", "Tre"})
            appendClient(name);
        TfrmTrovaClienti w(card(), card());
        w.show();
        QTest::keyClick(w.btnCerca, Qt::Key_Space);
        QCOMPARE(w.lblConta->text(), QStringLiteral("0"));
        QCOMPARE(w.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 3 schede."));
        QCOMPARE(names(w), (QStringList{"Due", "Tre", "Uno"}));
        const QString line = w.lstRecords->line(0);
        QCOMPARE(line.size(), 115 + 3); // the notes follow the fixed columns
        QVERIFY(line.endsWith(QStringLiteral("  Due")));
    }

    void searchFailureStaysOnTheFilters()
    {
        QVERIFY(QDir(m_fx.folder()).mkdir(TfrmClienti::kArchiveName));
        TfrmTrovaClienti w(card(), card());
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        support::expectOne(Kind::Plain, cardTexts::kArchiveAccess);
        QVERIFY(w.panAvvio->isVisible());
        QVERIFY(!w.panContainer->isVisible());
        QVERIFY(!w.lblAttendere->isVisible());
    }

    void quickFindWithKeyboard()
    {
        for (const char *name : {"Alfa Rossi", "Beta", "Gamma Rossi"})
            appendClient(name);
        TfrmTrovaClienti w(card(), card());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);

        // Enter moves to Trova, Enter there finds; asking again goes on and wraps.
        QTest::keyClicks(w.txtTrova, QStringLiteral("rossi"));
        QTest::keyClick(w.txtTrova, Qt::Key_Return);
        QCOMPARE(w.focusWidget(), w.btnTrova);
        QTest::keyClick(w.btnTrova, Qt::Key_Return);
        QCOMPARE(w.selectedLine(), 0);
        QTest::keyClick(w.btnTrova, Qt::Key_Return);
        QCOMPARE(w.selectedLine(), 2);
        QTest::keyClick(w.btnTrova, Qt::Key_Return);
        QCOMPARE(w.selectedLine(), 0);
        w.txtTrova->setText(QStringLiteral("BETA"));
        QTest::mouseClick(w.btnTrova, Qt::LeftButton);
        QCOMPARE(w.selectedLine(), 1);
        QVERIFY(Messages::taken().isEmpty());
    }

    void quickFindOnAnEmptyList()
    {
        TfrmTrovaClienti w(card(), card());
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        QCOMPARE(w.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 0 schede."));
        QTest::mouseClick(w.btnTrova, Qt::LeftButton);
        support::expectOne(Kind::Plain, ListWindow::kEmptyList);
    }

    // Two records with the same line: the later one reaches the card, with its position.
    void doubleClickLoadsTheCard()
    {
        appendClient("Bianchi Anna");
        Record first = client("Rossi Mario");
        first.setText(QStringLiteral("txtCodFisc"), QStringLiteral("PRIMO"));
        archive::append(archive(), first.bytes());
        Record second = client("Rossi Mario");
        second.setText(QStringLiteral("txtCodFisc"), QStringLiteral("SECONDO"));
        second.setText(QStringLiteral("chkRicontatta"), records::kYes);
        second.setText(QStringLiteral("lblFile02"), QStringLiteral("analisi.pdf"));
        archive::append(archive(), second.bytes());
        appendClient("Verdi Luca");

        TfrmTrovaClienti w(card(), card());
        w.lblMemory->setText(TfrmTrovaClienti::kTagClients);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.filter(QStringLiteral("txtCliente"))->setText(QStringLiteral("rossi"));
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        QCOMPARE(w.lstRecords->count(), 2);
        doubleClickLine(w, 0);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(w.lstRecords->count(), 0); // emptied on closing

        QCOMPARE(card()->edit(QStringLiteral("txtCliente"))->text(), QStringLiteral("Rossi Mario"));
        QCOMPARE(card()->edit(QStringLiteral("txtCodFisc"))->text(), QStringLiteral("SECONDO"));
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("3"));
        QVERIFY(card()->chkRicontatta->isChecked());
        QCOMPARE(card()->values().text(QStringLiteral("lblFile02")), QStringLiteral("analisi.pdf"));
        QVERIFY(Messages::taken().isEmpty());
    }

    // From the keyboard: Enter on the list chooses the selected line.
    void enterOnTheListChooses()
    {
        appendClient("Alfa");
        appendClient("Beta");
        TfrmTrovaClienti w(card(), card());
        w.lblMemory->setText(TfrmTrovaClienti::kTagClients);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        w.lstRecords->setFocus();
        QTest::keyClick(w.lstRecords, Qt::Key_Down);
        QTest::keyClick(w.lstRecords, Qt::Key_Return);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(card()->edit(QStringLiteral("txtCliente"))->text(), QStringLiteral("Beta"));
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("2"));
    }

    void callerTagDecidesWhoTakesTheClient_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("toDocument");
        QTest::addColumn<bool>("toCard");
        QTest::newRow("rapporti") << "rapporti" << true << false;
        QTest::newRow("certificati") << "certificati" << true << false;
        QTest::newRow("clienti") << "clienti" << false << true;
        QTest::newRow("other") << "Clienti" << false << false;
    }
    void callerTagDecidesWhoTakesTheClient()
    {
        QFETCH(QString, tag);
        QFETCH(bool, toDocument);
        QFETCH(bool, toCard);
        Record r = client("Rossi Mario");
        const QList<std::pair<const char *, const char *>> values = {
            {"txtIndirizzoRes", "Via Roma 1"}, {"txtComuneRes", "Pisa"},     {"txtProvRes", "PI"},
            {"txtCapRes", "56100"},            {"txtCodFisc", "RSSMRA80A01G702X"}, {"txtPartitaIva", "01234567890"},
            {"txtTelCasa", "050 1"},           {"txtEmail", "m@r.it"},     {"txtNote", "nota"}};
        for (const auto &[field, value] : values)
            r.setText(QString::fromLatin1(field), QString::fromLatin1(value));
        archive::append(archive(), r.bytes());

        DocumentCard document;
        TfrmTrovaClienti w(card(), card(), &document);
        w.lblMemory->setText(tag);
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        doubleClickLine(w, 0);
        QTRY_VERIFY(!w.isVisible());

        QCOMPARE(document.calls.size(), toDocument ? 7 : 0); // the seven client fields, once
        QCOMPARE(card()->lblPosizione->text(), toCard ? QStringLiteral("1") : QString());
        if (toDocument) {
            QCOMPARE(document.field("txtCliente"), QStringLiteral("Rossi Mario"));
            QCOMPARE(document.field("txtIndirizzoRes"), QStringLiteral("Via Roma 1"));
            QCOMPARE(document.field("txtComuneRes"), QStringLiteral("Pisa"));
            QCOMPARE(document.field("txtProvRes"), QStringLiteral("PI"));
            QCOMPARE(document.field("txtCapRes"), QStringLiteral("56100"));
            QCOMPARE(document.field("txtCodFisc"), QStringLiteral("RSSMRA80A01G702X"));
            QCOMPARE(document.field("txtPartitaIva"), QStringLiteral("01234567890"));
            // Telephone, e-mail and notes stay where they were.
            QVERIFY(document.field("txtTelCasa").isEmpty());
            QVERIFY(document.field("txtEmail").isEmpty());
            QVERIFY(document.field("txtNote").isEmpty());
        }
    }

    void closingWithoutChoosingChangesNothing()
    {
        appendClient("Rossi Mario");
        TfrmTrovaClienti w(card(), card());
        w.lblMemory->setText(TfrmTrovaClienti::kTagClients);
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        QTest::mouseClick(w.btnChiudi, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.lstRecords->count(), 0);
        QVERIFY(card()->lblPosizione->text().isEmpty());
        QVERIFY(card()->edit(QStringLiteral("txtCliente"))->text().isEmpty());
    }

    void printListsTheLinesInListOrder()
    {
        appendClient("Zeta [srl]");
        appendClient("Alfa");
        Outputs::startRecording();
        TfrmTrovaClienti w(card(), card());
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        QTest::mouseClick(w.btnStampa, Qt::LeftButton);
        const QList<Outputs::Taken> printed = Outputs::taken();
        Outputs::stopRecording();
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printed[0].kind, Outputs::Kind::Print);
        QCOMPARE(printedTitle(printed[0]), TfrmTrovaClienti::kListTitle);
        QCOMPARE(printedLines(printed[0]), w.lines());
        QCOMPARE(w.lines().size(), 2);
    }

    // The card's command: a fresh modal window tagged "clienti", gone after use.
    void openSearchRunsAModalWindow()
    {
        appendClient("Rossi Mario");
        QPointer<QDialog> seen;
        QString tag;
        QTimer::singleShot(0, this, [&] {
            auto *w = qobject_cast<TfrmTrovaClienti *>(QApplication::activeModalWidget());
            QVERIFY(w);
            seen = w;
            tag = w->lblMemory->text();
            QTest::mouseClick(w->btnCerca, Qt::LeftButton);
            doubleClickLine(*w, 0);
        });
        clients::openSearch(card());
        QVERIFY(seen.isNull());
        QCOMPARE(tag, QStringLiteral("clienti"));
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("1"));
    }

    // ---- Clients to recontact ----------------------------------------------------------

    void recontactListsTickedClientsWithTheirQuestions()
    {
        const QList<std::tuple<const char *, QString, const char *>> rows = {
            {"Rossi Mario", records::kYes, "Preventivo da inviare"},
            {"Bianchi Anna", records::kNo, "Nulla"},
            {"Verdi Luca", records::kYes, ""},
            {"Neri Ugo", QString(), "Senza flag"}};
        for (const auto &[name, flag, questions] : rows) {
            Record r = client(name);
            r.setText(QStringLiteral("chkRicontatta"), flag);
            r.setText(QStringLiteral("txtQuestioni"), QString::fromLatin1(questions));
            r.setText(QStringLiteral("txtNote"), QStringLiteral("note"));
            archive::append(archive(), r.bytes());
        }
        card()->chkRicontatta->setChecked(false);

        TfrmRicontatta w(card(), card());
        QCOMPARE(w.windowTitle(), QStringLiteral(" Riepilogo clienti da ricontattare"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.focusWidget(), w.txtTrova);
        const QStringList lines = w.lines();
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("Rossi Mario ")));
        QVERIFY(lines[0].endsWith(QStringLiteral("  Preventivo da inviare")));
        QVERIFY(lines[1].startsWith(QStringLiteral("Verdi Luca ")));
        QCOMPARE(lines[1].size(), 115); // no questions: the line ends after the products

        Outputs::startRecording();
        QTest::mouseClick(w.btnStampa, Qt::LeftButton);
        const QList<Outputs::Taken> printed = Outputs::taken();
        Outputs::stopRecording();
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printedTitle(printed[0]), TfrmRicontatta::kListTitle);
        QCOMPARE(printedLines(printed[0]), lines);

        doubleClickLine(w, 1);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(card()->edit(QStringLiteral("txtCliente"))->text(), QStringLiteral("Verdi Luca"));
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("3"));
        QVERIFY(card()->chkRicontatta->isChecked());
        QVERIFY(Messages::taken().isEmpty());
    }

    void recontactWithNobodyTicked()
    {
        appendClient("Rossi Mario");
        QPointer<QDialog> seen;
        QTimer::singleShot(0, this, [&] {
            auto *w = qobject_cast<TfrmRicontatta *>(QApplication::activeModalWidget());
            QVERIFY(w);
            seen = w;
            QCOMPARE(w->lstRecords->count(), 0);
            QTest::mouseClick(w->btnTrova, Qt::LeftButton);
            support::expectOne(Kind::Plain, ListWindow::kEmptyList);
            QTest::mouseClick(w->btnChiudi, Qt::LeftButton);
        });
        clients::openRecontact(card());
        QVERIFY(seen.isNull());
        QVERIFY(card()->lblPosizione->text().isEmpty());
    }

    void recontactArchiveFailureIsSilent()
    {
        QVERIFY(QDir(m_fx.folder()).mkdir(TfrmClienti::kArchiveName));
        TfrmRicontatta w(card(), card());
        w.show();
        QCOMPARE(w.lstRecords->count(), 0);
        QVERIFY(Messages::taken().isEmpty());
    }

private:
    TfrmClienti *card() const { return m_fx.ws().frmClienti; }
    QString archive() const { return m_fx.file(TfrmClienti::kArchiveName); }
    static Record client(const char *name)
    {
        Record r(records::client());
        r.setText(QStringLiteral("txtCliente"), QString::fromUtf8(name));
        r.setText(QStringLiteral("chkRicontatta"), records::kNo);
        r.setText(QStringLiteral("txtNote"), QString::fromUtf8(name));
        return r;
    }
    void appendClient(const char *name, const char *town = "", const char *vat = "")
    {
        Record r = client(name);
        r.setText(QStringLiteral("txtComuneRes"), QString::fromUtf8(town));
        r.setText(QStringLiteral("txtPartitaIva"), QString::fromUtf8(vat));
        archive::append(archive(), r.bytes());
    }
    static QStringList names(const ListWindow &w)
    {
        QStringList out;
        for (const QString &line : w.lines())
            out.append(text::trim(line.left(26)));
        return out;
    }

    support::CardFixture m_fx;
};

QTEST_MAIN(TestTrovaClienti)
#include "test_trovaclienti.moc"
