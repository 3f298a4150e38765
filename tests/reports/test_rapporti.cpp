// The test report card with its year window, numbering and calendar, driven as a user
// would: hand-over of the year, the laboratory block, "Nuovo", the mandatory fields, the
// record on disk, the date fields and the tools that fill the card.

#include "app/frmavvio.h"
#include "models/modelsearch.h"
#include "reports/frmnumerazione.h"
#include "reports/frmrapporti.h"
#include "reports/frmtrovarapporti.h"
#include "reports/numbering.h"
#include "storage/recordfile.h"
#include "storage/inifile.h"
#include "storage/settings.h"
#include "ui/frmcalendario.h"
#include "ui/listwindow.h"
#include "ui/rowgrid.h"
#include "ui/yearwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "support/cardfixture.h"
#include "support/messages.h"

using Messages::Kind;
using records::Record;
using settings::DocumentKind;

namespace {

constexpr int kSize = 13494;

// A report with the six mandatory fields filled.
Record report(const QString &number)
{
    Record r(records::report());
    r.setText(QStringLiteral("txtLaboratorio"), QStringLiteral("Laboratorio Rossi"));
    r.setText(QStringLiteral("txtCliente"), QStringLiteral("Bianchi Spa"));
    r.setText(QStringLiteral("txtNumRap"), number);
    r.setText(QStringLiteral("txtData"), QStringLiteral("01/02/2025"));
    r.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Chimica"));
    r.setText(QStringLiteral("txtCampione"), QStringLiteral("Acqua"));
    r.setText(QStringLiteral("chkConsegnato"), records::kNo);
    return r;
}

} // namespace

class TestRapporti : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Clock::setOverride(QDateTime(QDate(2025, 3, 14), QTime(7, 3, 41)));
        m_fx.setUp();
    }
    void cleanup()
    {
        m_fx.tearDown();
        Clock::setOverride({});
    }

    // ---- Year window ----------------------------------------------------------------------

    void yearWindowHandsTheArchiveToTheCard()
    {
        YearWindow *w = m_fx.ws().frmMenuRapporti;
        QTest::mouseClick(m_fx.ws().frmAvvio->btnApp[2], Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->windowTitle(), QStringLiteral(" Tirello - Rapporti di prova"));
        QCOMPARE(w->txtAnnoPreventivi->text(), QStringLiteral("2025"));
        QCOMPARE(w->lblMemory->text(), QStringLiteral("avvio"));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(QApplication::focusWidget(), w->txtAnnoPreventivi);

        // Too short, then empty: the warning, the window stays.
        for (const QString &typed : {QStringLiteral("202"), QString()}) {
            w->txtAnnoPreventivi->setText(typed);
            QTest::mouseClick(w->btnApriPreventivi, Qt::LeftButton);
            support::expectOne(Kind::Warning, YearWindow::kFourDigits);
            QVERIFY(w->isVisible());
            QCOMPARE(QApplication::focusWidget(), w->txtAnnoPreventivi);
        }
        // Letters are not typed; Enter goes to "Apri", Enter again opens.
        w->txtAnnoPreventivi->clear();
        QTest::keyClicks(w->txtAnnoPreventivi, QStringLiteral("0a2x3"));
        QCOMPARE(w->txtAnnoPreventivi->text(), QStringLiteral("023"));
        // Home, End and the arrows move the cursor.
        QTest::keyClick(w->txtAnnoPreventivi, Qt::Key_Home);
        QTest::keyClicks(w->txtAnnoPreventivi, QStringLiteral("2"));
        QCOMPARE(w->txtAnnoPreventivi->text(), QStringLiteral("2023"));
        QTest::keyClick(w->txtAnnoPreventivi, Qt::Key_End);
        QCOMPARE(w->txtAnnoPreventivi->cursorPosition(), 4);
        QTest::keyClick(w->txtAnnoPreventivi, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->btnApriPreventivi);
        QTest::keyClick(w->btnApriPreventivi, Qt::Key_Return);

        TfrmRapporti *card = m_fx.ws().frmRapporti;
        QVERIFY(card->isVisible());
        QVERIFY(!w->isVisible() && !m_fx.ws().frmAvvio->isVisible());
        QCOMPARE(card->windowTitle(), QStringLiteral(" Tirello - Rapporti di prova anno 2023"));
        QCOMPARE(card->archivePath(), m_fx.file(QStringLiteral("2023.rdp")));
        QVERIFY(!QFile::exists(card->archivePath())); // the year window touches no file

        // Back through the launcher: the current year again.
        QVERIFY(card->close());
        QVERIFY(m_fx.ws().frmAvvio->isVisible());
        QTest::mouseClick(m_fx.ws().frmAvvio->btnApp[2], Qt::LeftButton);
        QCOMPARE(w->txtAnnoPreventivi->text(), QStringLiteral("2025"));
        QTest::mouseClick(w->imgEsci, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QVERIFY(m_fx.ws().frmAvvio->isVisible());
    }

    // ---- Card ------------------------------------------------------------------------------

    void showBlanksTheDocumentAndLoadsTheLaboratory()
    {
        settings::Laboratory lab;
        lab.denominazione = QStringLiteral("Laboratorio Rossi");
        lab.comune = QStringLiteral("47121 Forl\u00ec (FC)");
        lab.responsabile = QStringLiteral("Dott. Verdi");
        lab.chimico = QStringLiteral("Dott.ssa Neri");
        settings::writeLaboratory(settings::filePath(), DocumentKind::Certificates, lab);
        settings::writeLaboratory(settings::filePath(), DocumentKind::Reports, lab);

        TfrmRapporti *c = openCard();
        QCOMPARE(field("txtLaboratorio"), QStringLiteral("Laboratorio Rossi"));
        QCOMPARE(field("txtCittaLab"), QStringLiteral("47121 Forl\u00ec (FC)"));
        QCOMPARE(field("txtResponsabile"), QStringLiteral("Dott. Verdi"));
        QVERIFY(c->panDatiGen->isVisible() && !c->panRisultati->isVisible());
        QCOMPARE(QApplication::focusWidget(), c->edit(QStringLiteral("txtCliente")));

        // The blank step keeps the laboratory, the number and the date.
        c->setField(QStringLiteral("txtNumRap"), QStringLiteral("7"));
        c->setField(QStringLiteral("txtCliente"), QStringLiteral("Bianchi"));
        c->setField(QStringLiteral("txtRisultato30"), QStringLiteral("1,5"));
        c->setField(QStringLiteral("lblFile01"), QStringLiteral("a.pdf"));
        c->chkConsegnato->setChecked(true);
        c->blankCard();
        const records::Values v = c->values();
        QCOMPARE(v.text(QStringLiteral("txtNumRap")), QStringLiteral("7"));
        QCOMPARE(v.text(QStringLiteral("txtLaboratorio")), QStringLiteral("Laboratorio Rossi"));
        QVERIFY(v.text(QStringLiteral("txtCliente")).isEmpty() && v.text(QStringLiteral("txtRisultato30")).isEmpty()
                && v.text(QStringLiteral("lblFile01")).isEmpty());
        QVERIFY(!c->chkConsegnato->isChecked());

        // Closing stores the laboratory shown; the certificate's own keys stay.
        c->setField(QStringLiteral("txtTelLab"), QStringLiteral("  0543 1  "));
        QVERIFY(c->close());
        const settings::Laboratory stored = settings::readLaboratory(settings::filePath());
        QCOMPARE(stored.telefono, QStringLiteral("0543 1"));
        QCOMPARE(stored.responsabile, QStringLiteral("Dott. Verdi"));
        QCOMPARE(stored.chimico, QStringLiteral("Dott.ssa Neri"));
    }

    // A settings value longer than its field (a file edited by hand) goes back unchanged
    // when the field was not edited; an edited field is stored as edited.
    void longSettingsValueKeptUnlessEdited()
    {
        settings::Laboratory lab;
        lab.denominazione = QStringLiteral("Laboratorio Rossi");
        lab.libero = QString(240, u'L') + QStringLiteral(" fine oltre il campo, scritta a mano nel file");
        lab.telefono = QString(60, u'7');
        settings::writeLaboratory(settings::filePath(), DocumentKind::Reports, lab);

        TfrmRapporti *c = openCard();
        QCOMPARE(field("txtLiberoLab"), lab.libero.left(250)); // what the field can hold
        c->setField(QStringLiteral("txtTelLab"), QStringLiteral("0543 1"));
        QVERIFY(c->close());
        const settings::Laboratory stored = settings::readLaboratory(settings::filePath());
        QCOMPARE(stored.libero, lab.libero);
        QCOMPARE(stored.telefono, QStringLiteral("0543 1"));
        QCOMPARE(stored.denominazione, lab.denominazione);
    }

    // "Nuovo" on an archive that cannot be opened: the archive message, the card as it was.
    void newOnAnArchiveThatCannotBeOpened()
    {
        TfrmRapporti *c = openCard();
        QVERIFY(QDir().mkdir(c->archivePath())); // a folder where the archive goes
        c->setField(QStringLiteral("txtNumRap"), QStringLiteral("12"));
        c->setField(QStringLiteral("txtCliente"), QStringLiteral("Bianchi"));
        c->setField(QStringLiteral("txtRisultato02"), QStringLiteral("0,5"));
        c->lblPosizione->setText(QStringLiteral("3"));
        const records::Values before = c->values();
        QTest::mouseClick(c->cmdNuovo, Qt::LeftButton);
        support::expectOne(Kind::Error, cardTexts::kArchiveAccess);
        QCOMPARE(c->values().all(), before.all());
        QCOMPARE(c->lblPosizione->text(), QStringLiteral("3"));
    }

    void newProposesTheNumber_data()
    {
        QTest::addColumn<QString>("start"); // "-": no settings
        QTest::addColumn<bool>("withYear");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("year"); // the archive's year
        QTest::addColumn<QString>("number");
        QTest::newRow("empty archive, no settings") << "-" << false << 0 << "2025" << "1";
        QTest::newRow("start 100, four stored, year") << "100" << true << 4 << "2025" << "104/2025";
        QTest::newRow("an older archive takes this year") << "100" << true << 4 << "2023" << "104/2025";
        QTest::newRow("start 0") << "0" << false << 0 << "2025" << "0";
        QTest::newRow("start 50, ten stored") << "50" << false << 10 << "2025" << "60";
    }
    void newProposesTheNumber()
    {
        QFETCH(QString, start);
        QFETCH(bool, withYear);
        QFETCH(int, stored);
        QFETCH(QString, year);
        QFETCH(QString, number);
        if (start != u"-")
            settings::writeNumbering(settings::filePath(), DocumentKind::Reports, {start, withYear});
        TfrmRapporti *c = openCard(year);
        for (int i = 0; i < stored; ++i)
            archive::append(c->archivePath(), report(QString::number(i)).bytes());
        c->setField(QStringLiteral("txtCliente"), QStringLiteral("da cancellare"));
        QTest::mouseClick(c->cmdNuovo, Qt::LeftButton);
        support::expectNone();
        QCOMPARE(field("txtNumRap"), number);
        QCOMPARE(field("txtData"), QStringLiteral("14/03/2025"));
        QVERIFY(field("txtCliente").isEmpty());
        QVERIFY(c->lblPosizione->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), c->edit(QStringLiteral("txtCliente")));
        QVERIFY(QFile::exists(c->archivePath())); // counted, so created
    }

    void newWithAStartThatIsNoNumber()
    {
        settings::writeNumbering(settings::filePath(), DocumentKind::Reports, {QStringLiteral("dieci"), false});
        TfrmRapporti *c = openCard();
        c->setField(QStringLiteral("txtNumRap"), QStringLiteral("vecchio"));
        c->setField(QStringLiteral("txtCliente"), QStringLiteral("Bianchi"));
        QTest::mouseClick(c->cmdNuovo, Qt::LeftButton);
        support::expectOne(Kind::Error, cardTexts::kArchiveAccess);
        QVERIFY(field("txtCliente").isEmpty()); // blanked already
        QCOMPARE(field("txtNumRap"), QStringLiteral("vecchio"));
    }

    void saveChecksTheSixFieldsInOrder()
    {
        TfrmRapporti *c = openCard();
        c->btnRisultatiClick();
        QVERIFY(c->showsResults());
        for (const DocumentCard::Mandatory &m : c->mandatoryFields()) {
            QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
            support::expectOne(Kind::Warning, QString::fromUtf8(m.warning));
            QVERIFY(!c->showsResults());
            QCOMPARE(QApplication::focusWidget(), c->edit(QString::fromLatin1(m.field)));
            c->setField(QString::fromLatin1(m.field), QStringLiteral("x"));
            c->btnRisultatiClick();
        }
        QVERIFY(!QFile::exists(c->archivePath()));
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        QCOMPARE(c->lblPosizione->text(), QStringLiteral("1"));
    }

    // The record as it lands on disk, and as it comes back.
    void savedRecordBytes()
    {
        TfrmRapporti *c = openCard();
        archive::append(c->archivePath(), report(QStringLiteral("1")).bytes());
        c->loadRecord(report(QString()));
        c->setField(QStringLiteral("txtNumRap"), QString(31, u'9'));
        c->setField(QStringLiteral("txtParametro03"), QStringLiteral("Nitrati"));
        c->setField(QStringLiteral("txtRisultato03"), QStringLiteral("12"));
        c->setField(QStringLiteral("txtLimite20"), QStringLiteral("50"));
        c->chkConsegnato->setChecked(true);
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        QCOMPARE(c->lblPosizione->text(), QStringLiteral("2"));

        QFile f(c->archivePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        QCOMPARE(all.size(), 2 * kSize);
        const QByteArray second = all.mid(kSize);
        QCOMPARE(second.mid(11985, 3), QByteArray("\x02S\xec"));
        QCOMPARE(second.at(936), char(30)); // the number, cut to 30
        QCOMPARE(Record(records::report(), second).text(QStringLiteral("txtNumRap")), QString(30, u'9'));

        // Rows 3 and 20 come back in place, the others stay empty.
        c->blankCard();
        QTest::mouseClick(c->cmdUltimo, Qt::LeftButton);
        QCOMPARE(field("txtParametro03"), QStringLiteral("Nitrati"));
        QCOMPARE(field("txtLimite20"), QStringLiteral("50"));
        QVERIFY(field("txtParametro02").isEmpty() && field("txtLimite19").isEmpty() && field("txtLimite21").isEmpty());
        QVERIFY(c->chkConsegnato->isChecked());

        // Saved again: in place.
        c->setField(QStringLiteral("txtOsservazioni"), QStringLiteral("Conforme"));
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kSavedChanges);
        QCOMPARE(QFileInfo(c->archivePath()).size(), 2 * kSize);
    }

    void sectionsAndPages()
    {
        TfrmRapporti *c = openCard();
        QTest::mouseClick(c->btnRisultati_A, Qt::LeftButton);
        QVERIFY(c->panRisultati->isVisible() && !c->panDatiGen->isVisible());
        QCOMPARE(QApplication::focusWidget(), c->edit(QStringLiteral("txtParametro01")));
        QVERIFY(!c->grdRisultati->backButton(1)->isEnabled() && !c->btnRisultati_B->isEnabled());
        QTest::mouseClick(c->grdRisultati->nextButton(1), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), c->edit(QStringLiteral("txtParametro16")));
        QCOMPARE(c->grdRisultati->nextButton(1)->objectName(), QStringLiteral("btnAvanti"));
        QCOMPARE(c->grdRisultati->pageLabel(2)->objectName(), QStringLiteral("titPag_B"));
        QTest::mouseClick(c->btnDatiGen_B, Qt::LeftButton);
        QVERIFY(c->panDatiGen->isVisible());
        QCOMPARE(QApplication::focusWidget(), c->edit(QStringLiteral("txtLaboratorio")));
        // Back to the results: page 1 again.
        QTest::mouseClick(c->btnRisultati_A, Qt::LeftButton);
        QCOMPARE(c->grdRisultati->page(), 1);
    }

    // Enter walks the whole chain: each date field stops it and opens the calendar, the
    // field after it goes on, and the last field leads back to the first.
    void enterChainWalkedToItsEnd()
    {
        const QStringList chain{
            QStringLiteral("txtLaboratorio"), QStringLiteral("txtIndirizzoLab"), QStringLiteral("txtCittaLab"),
            QStringLiteral("txtPartitaIvaLab"), QStringLiteral("txtCodFiscLab"), QStringLiteral("txtEmailLab"),
            QStringLiteral("txtTelLab"), QStringLiteral("txtLiberoLab"), QStringLiteral("txtCliente"),
            QStringLiteral("txtIndirizzoRes"), QStringLiteral("txtCapRes"), QStringLiteral("txtProvRes"),
            QStringLiteral("txtComuneRes"), QStringLiteral("txtPartitaIva"), QStringLiteral("txtCodFisc"),
            QStringLiteral("txtNumRap"), QStringLiteral("txtData"), QStringLiteral("txtAnalisi"),
            QStringLiteral("txtCampione"), QStringLiteral("txtLuogoPrel"), QStringLiteral("txtDataPrel"),
            QStringLiteral("txtCura"), QStringLiteral("txtContenitore"), QStringLiteral("txtDataRic"),
            QStringLiteral("txtOraRic"), QStringLiteral("txtDataInizio"), QStringLiteral("txtResponsabile"),
            QStringLiteral("txtLaboratorio")};
        const QSet<QString> dates{QStringLiteral("txtData"), QStringLiteral("txtDataPrel"),
                                  QStringLiteral("txtDataRic"), QStringLiteral("txtDataInizio")};
        TfrmRapporti *c = openCard();
        c->edit(chain.first())->setFocus();
        QStringList walked{chain.first()};
        QStringList calendars;
        while (walked.size() < chain.size()) {
            QWidget *at = c->focusWidget();
            QVERIFY(at);
            if (dates.contains(at->objectName())) {
                onModal([&](QDialog *modal) {
                    auto *cal = qobject_cast<TfrmCalendario *>(modal);
                    QVERIFY(cal);
                    calendars.append(cal->lblMemory->text());
                    QTest::mouseClick(cal->btnAnnulla, Qt::LeftButton);
                });
                QTest::keyClick(at, Qt::Key_Return);
                QCOMPARE(c->focusWidget(), at); // stopped at the date
                // The user goes on from the field after the date.
                c->edit(chain[walked.size()])->setFocus();
            } else {
                QTest::keyClick(at, Qt::Key_Return);
            }
            walked.append(c->focusWidget()->objectName());
        }
        QCOMPARE(walked, chain);
        QCOMPARE(calendars, (QStringList{QStringLiteral("rapporti_data"), QStringLiteral("rapporti_dataprel"),
                                         QStringLiteral("rapporti_dataric"), QStringLiteral("rapporti_datainizio")}));
    }

    void dateFieldsUseTheCalendar()
    {
        TfrmRapporti *c = openCard();
        QLineEdit *received = c->edit(QStringLiteral("txtDataRic"));
        QVERIFY(received->isReadOnly());
        received->setText(QStringLiteral("01/01/2024"));
        QTest::keyClick(received, Qt::Key_Backspace);
        QVERIFY(received->text().isEmpty());

        // A letter opens the calendar on today, even over another date in the field, with
        // the field's tag; "Importa" fills it.
        received->setText(QStringLiteral("25/12/2023"));
        QString tag;
        QDate shown;
        onModal([&](QDialog *modal) {
            auto *cal = qobject_cast<TfrmCalendario *>(modal);
            QVERIFY(cal);
            tag = cal->lblMemory->text();
            shown = cal->calAppuntamenti->selectedDate();
            cal->calAppuntamenti->setSelectedDate(QDate(2025, 3, 2));
            QTest::mouseClick(cal->btnImportaData, Qt::LeftButton);
        });
        QTest::keyClick(received, Qt::Key_A);
        QCOMPARE(tag, QStringLiteral("rapporti_dataric"));
        QCOMPARE(shown, QDate(2025, 3, 14));
        QCOMPARE(received->text(), QStringLiteral("02/03/2025"));

        // Enter opens it too; "Annulla" leaves the date.
        onModal([&](QDialog *modal) { QTest::mouseClick(static_cast<TfrmCalendario *>(modal)->btnAnnulla, Qt::LeftButton); });
        QTest::keyClick(received, Qt::Key_Return);
        QCOMPARE(received->text(), QStringLiteral("02/03/2025"));
        QCOMPARE(received->accessibleDescription(), DocumentCard::kDateHint);
    }

    void calendarTags()
    {
        const struct {
            const char *tag;
            const char *field;
        } table[] = {{"rapporti_data", "txtData"},           {"rapporti_datafine", "txtDataFine"},
                     {"certificati_dataprel", "txtDataPrel"}, {"certificati_datainizio", "txtDataInizio"},
                     {"Rapporti_data", ""},                   {"", ""}};
        for (const auto &row : table)
            QCOMPARE(TfrmCalendario::fieldOf(QString::fromLatin1(row.tag)), QString::fromLatin1(row.field));

        // An unknown tag writes nothing and the window stays open.
        TfrmRapporti *c = openCard();
        TfrmCalendario cal(c, c);
        cal.lblMemory->setText(QStringLiteral("sconosciuto"));
        cal.show();
        QTest::mouseClick(cal.btnImportaData, Qt::LeftButton);
        QVERIFY(cal.isVisible());
        QVERIFY(field("txtData").isEmpty());
    }

    void timeButtonAndChecks()
    {
        TfrmRapporti *c = openCard();
        QTest::mouseClick(c->btnOraRic, Qt::LeftButton);
        QCOMPARE(field("txtOraRic"), QStringLiteral("07:03"));
        QTest::keyClicks(c->edit(QStringLiteral("txtCodFisc")), QStringLiteral(" rss"));
        QCOMPARE(field("txtCodFisc"), QStringLiteral("RSS"));
        QTest::keyClicks(c->edit(QStringLiteral("txtPartitaIva")), QStringLiteral("01a2"));
        QCOMPARE(field("txtPartitaIva"), QStringLiteral("012"));
    }

    // Letters pasted into a digits-only field: its digits are kept, in both VAT fields.
    void pastedLettersLeaveTheDigits()
    {
        TfrmRapporti *c = openCard();
        for (const char *name : {"txtPartitaIva", "txtPartitaIvaLab"}) {
            QLineEdit *vat = c->edit(QString::fromLatin1(name));
            vat->clear();
            QTest::keyClicks(vat, QStringLiteral("12"));
            QApplication::clipboard()->setText(QStringLiteral("IT 007-431 10157"));
            QTest::keyClick(vat, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(vat->text(), QStringLiteral("12007431101")); // the limit cuts digits only
            vat->clear();
            vat->insert(QStringLiteral("a1b2")); // any other way text arrives
            QCOMPARE(vat->text(), QStringLiteral("12"));
        }
    }

    // The tidy-ups of codes, province and e-mail run on what the program puts there too:
    // a loaded report, the laboratory settings, an imported client.
    void tidyUpAfterAProgramSetText()
    {
        settings::Laboratory lab;
        lab.codice = QStringLiteral("  rssmra80a01h501u ");
        lab.email = QStringLiteral(" lab@esempio.it  ");
        settings::writeLaboratory(settings::filePath(), DocumentKind::Reports, lab);
        TfrmRapporti *c = openCard();
        QCOMPARE(c->edit(QStringLiteral("txtCodFiscLab"))->text(), QStringLiteral("RSSMRA80A01H501U"));
        QCOMPARE(c->edit(QStringLiteral("txtEmailLab"))->text(), QStringLiteral("lab@esempio.it"));

        Record r = report(QStringLiteral("1"));
        r.setText(QStringLiteral("txtCodFisc"), QStringLiteral("bnclra75c41d704k"));
        r.setText(QStringLiteral("txtProvRes"), QStringLiteral("fc"));
        archive::append(c->archivePath(), r.bytes());
        QTest::mouseClick(c->cmdPrimo, Qt::LeftButton);
        QCOMPARE(c->edit(QStringLiteral("txtCodFisc"))->text(), QStringLiteral("BNCLRA75C41D704K"));
        QCOMPARE(c->edit(QStringLiteral("txtProvRes"))->text(), QStringLiteral("FC"));

        c->setField(QStringLiteral("txtProvRes"), QStringLiteral("ra")); // as the client search writes it
        QCOMPARE(c->edit(QStringLiteral("txtProvRes"))->text(), QStringLiteral("RA"));
    }

    // A name pasted on two lines lands in the record on one line; a memo keeps its lines.
    void pastedLineBreaksBecomeBlanks()
    {
        TfrmRapporti *c = openCard();
        c->loadRecord(report(QStringLiteral("1")));
        QLineEdit *client = c->edit(QStringLiteral("txtCliente"));
        client->clear();
        QApplication::clipboard()->setText(QStringLiteral("Rossi Mario\r\nVia Roma 1\tint. 2"));
        QTest::keyClick(client, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(client->text(), QStringLiteral("Rossi Mario Via Roma 1 int. 2"));
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        const Record stored(records::report(), archive::readAt(c->archivePath(), kSize, 1));
        QCOMPARE(stored.text(QStringLiteral("txtCliente")), QStringLiteral("Rossi Mario Via Roma 1 int. 2"));
    }

    // A model over a card with results: the rows' texts change, the results stay.
    void importedModelKeepsTheResults()
    {
        Record m(records::model());
        m.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Metalli"));
        m.setText(QStringLiteral("txtCampione"), QStringLiteral("Suolo"));
        m.setText(QStringLiteral("txtParametro01"), QStringLiteral("Piombo"));
        archive::append(models::archivePath(), m.bytes());
        TfrmRapporti *c = openCard();
        c->setField(QStringLiteral("txtParametro04"), QStringLiteral("vecchio"));
        c->setField(QStringLiteral("txtRisultato01"), QStringLiteral("0,3"));
        importOnlyModel(c);
        QTRY_COMPARE(field("txtAnalisi"), QStringLiteral("Metalli"));
        QCOMPARE(field("txtParametro01"), QStringLiteral("Piombo"));
        QVERIFY(field("txtParametro04").isEmpty());
        QCOMPARE(field("txtRisultato01"), QStringLiteral("0,3"));
    }

    // ---- Results against their limits --------------------------------------------------------

    // A model imported brings the limits and the results are typed: each result takes the
    // colour of its verdict at once and says why, the rows out of limit are counted and
    // the page buttons tell of them; a changed limit or another report judges again.
    void resultsJudgedAgainstTheirLimits()
    {
        Record m(records::model());
        m.setText(QStringLiteral("txtAnalisi"), QStringLiteral("Acque potabili"));
        m.setText(QStringLiteral("txtCampione"), QStringLiteral("Acqua di rete"));
        const struct {
            int row;
            const char *parameter, *limit;
        } modelRows[] = {{4, "Nitrati", "50"},  {5, "pH", "6,5 - 9,5"},  {6, "Nitriti", "0,50"},
                         {17, "Coliformi totali", "0"}, {18, "Colore", "accettabile"}};
        for (const auto &r : modelRows) {
            m.setText(QStringLiteral("txtParametro%1").arg(r.row, 2, 10, QLatin1Char('0')), QString::fromUtf8(r.parameter));
            m.setText(reports::limitField(r.row), QString::fromUtf8(r.limit));
        }
        archive::append(models::archivePath(), m.bytes());
        TfrmRapporti *c = openCard();
        importOnlyModel(c);
        QTRY_COMPARE(field("txtLimite05"), QStringLiteral("6,5 - 9,5"));
        QVERIFY(!c->lblFuoriLimite->isVisibleTo(c));

        QTest::mouseClick(c->btnRisultati_A, Qt::LeftButton);
        const auto type = [c](int row, const char *text) {
            QLineEdit *e = c->edit(reports::resultField(row));
            e->setFocus();
            QTest::keyClicks(e, QString::fromUtf8(text));
        };
        type(4, "62");
        type(5, "7,2");
        type(6, "< 0,6");
        QTest::mouseClick(c->grdRisultati->nextButton(1), Qt::LeftButton);
        type(17, "3");
        type(18, "accettabile");

        // What the eye sees: the background of each result field.
        const auto background = [c](int row) {
            // The colour most of the field shows, whatever its text covers.
            QLineEdit *e = c->edit(reports::resultField(row));
            const QImage image = e->grab().toImage();
            QHash<QRgb, int> seen;
            for (int y = 3; y < image.height() - 3; ++y)
                for (int x = 3; x < image.width() - 3; ++x)
                    ++seen[image.pixel(x, y)];
            QRgb most = 0;
            for (auto it = seen.cbegin(); it != seen.cend(); ++it)
                if (it.value() > seen.value(most))
                    most = it.key();
            return QColor(most).name();
        };
        const QString red = QStringLiteral("#c00000"), amber = QStringLiteral("#ffbf00"), white = QStringLiteral("#ffffff");
        QCOMPARE(background(17), red);
        QCOMPARE(background(18), white);
        QTest::mouseClick(c->grdRisultati->backButton(2), Qt::LeftButton);
        QCOMPARE(background(4), red);
        QCOMPARE(background(5), white);
        QCOMPARE(background(6), amber);
        QCOMPARE(c->edit(reports::resultField(4))->palette().color(QPalette::Text), QColor(Qt::white));

        // The tooltip, which screen readers hear as the description.
        const auto said = [c](int row) {
            QLineEdit *e = c->edit(reports::resultField(row));
            return e->accessibleDescription() == e->toolTip() ? e->toolTip() : QStringLiteral("(not the same)");
        };
        QCOMPARE(said(4), QStringLiteral("Risultato fuori limite: 62 supera il limite 50."));
        QCOMPARE(said(6), QStringLiteral("Risultato non valutabile: < 0,6 comprende valori entro e fuori dal limite 0,50."));
        QCOMPARE(said(17), QStringLiteral("Risultato fuori limite: 3 supera il limite 0."));
        QVERIFY(said(5).isEmpty() && said(18).isEmpty());
        QVERIFY(c->lblFuoriLimite->isVisible());
        QCOMPARE(c->lblFuoriLimite->text(), QStringLiteral("Risultati fuori limite: 2 (righe 4, 17)"));
        QCOMPARE(c->grdRisultati->nextButton(1)->accessibleName(), QStringLiteral("Avanti"));
        QCOMPARE(c->grdRisultati->nextButton(1)->accessibleDescription(),
                 QStringLiteral("Visualizza la pagina successiva. La pagina 2 contiene risultati fuori limite (riga 17)."));
        QCOMPARE(c->grdRisultati->backButton(2)->accessibleDescription(),
                 QStringLiteral("Visualizza la pagina precedente. La pagina 1 contiene risultati fuori limite (riga 4)."));

        // The limit raised by hand: row 4 is within it again.
        QLineEdit *limit = c->edit(reports::limitField(4));
        limit->setFocus();
        limit->selectAll();
        QTest::keyClicks(limit, QStringLiteral("100"));
        QCOMPARE(background(4), white);
        QVERIFY(said(4).isEmpty());
        QCOMPARE(c->lblFuoriLimite->text(), QStringLiteral("Risultati fuori limite: 1 (riga 17)"));
        QCOMPARE(c->grdRisultati->backButton(2)->accessibleDescription(), QStringLiteral("Visualizza la pagina precedente."));

        // Saved as typed; a stored report without results out of limit clears it all.
        c->setField(QStringLiteral("txtLaboratorio"), QStringLiteral("Laboratorio Rossi"));
        c->setField(QStringLiteral("txtCliente"), QStringLiteral("Bianchi Spa"));
        c->setField(QStringLiteral("txtNumRap"), QStringLiteral("1"));
        c->setField(QStringLiteral("txtData"), QStringLiteral("01/02/2025"));
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        const Record stored(records::report(), archive::readAt(c->archivePath(), kSize, 1));
        QCOMPARE(stored.text(reports::resultField(17)), QStringLiteral("3"));
        QCOMPARE(stored.text(reports::limitField(4)), QStringLiteral("100"));
        archive::append(c->archivePath(), report(QStringLiteral("2")).bytes());
        QTest::mouseClick(c->cmdUltimo, Qt::LeftButton);
        QVERIFY(!c->lblFuoriLimite->isVisible());
        for (int row : {4, 6, 17})
            QCOMPARE(c->verdictOf(row), limits::Verdict::NotJudged);
        QCOMPARE(background(6), white);
        // And the first one back: judged as it loads.
        QTest::mouseClick(c->cmdPrimo, Qt::LeftButton);
        QCOMPARE(c->verdictOf(17), limits::Verdict::OutOfLimit);
        QCOMPARE(c->verdictOf(6), limits::Verdict::Undecidable);
        QCOMPARE(c->lblFuoriLimite->text(), QStringLiteral("Risultati fuori limite: 1 (riga 17)"));
    }

    // The printing option on the results section: clear and absent from the settings
    // until the user ticks it, then "Sì" or "No" at once; a station's change is seen when
    // the results are shown again; a settings file that cannot be written is said and the
    // box goes back.
    void highlightOptionOnTheResults()
    {
        TfrmRapporti *c = openCard();
        QTest::mouseClick(c->btnRisultati_A, Qt::LeftButton);
        QCheckBox *box = c->chkEvidenziaFuoriLimite;
        QVERIFY(box->isVisible() && !box->isChecked());
        QCOMPARE(box->accessibleDescription(), TfrmRapporti::kHighlightHint);
        c->close();
        QFile file(settings::filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("Stampa Rapporti"));
        file.close();

        openCard();
        QTest::mouseClick(c->btnRisultati_A, Qt::LeftButton);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QVERIFY(box->isChecked());
        QVERIFY(settings::readHighlightOutOfLimit(settings::filePath()));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QCOMPARE(ini::read(settings::filePath(), settings::kReportPrintSection, settings::kHighlightKey),
                 QStringLiteral("No"));

        settings::writeHighlightOutOfLimit(settings::filePath(), true); // another station
        QTest::mouseClick(c->btnDatiGen_B, Qt::LeftButton);
        QTest::mouseClick(c->btnRisultati_A, Qt::LeftButton);
        QVERIFY(box->isChecked());

        QVERIFY(QFile::remove(settings::filePath()));
        QVERIFY(QDir(m_fx.folder()).mkdir(settings::kFileName));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        support::expectOne(Kind::Warning, TfrmRapporti::kHighlightNotSaved);
        QVERIFY(box->isChecked());
    }

    // The search's check box under the ten filters keeps only the reports with a result out
    // of its limit, wherever the row is; together with a filter in use, both must hold.
    void searchForResultsOutOfLimit()
    {
        const QString path = m_fx.file(QStringLiteral("2025.rdp"));
        const struct {
            const char *client, *number;
            int row;
            const char *result, *limit;
        } stored[] = {
            {"Bianchi Spa", "1", 20, "12,5", "10"},        // out of limit, on the second page
            {"Bianchi Spa", "2", 1, "< 0,5", "0,1"},       // not decidable only
            {"Verdi Srl", "3", 1, "162", "150"},           // out of limit
            {"Bianchi Spa", "4", 2, "assente", "assente"}, // text
            {"Bianchi Spa", "5", 3, "7,2", "6,5 - 9,5"},   // within
        };
        for (const auto &s : stored) {
            Record r = report(QString::fromLatin1(s.number));
            r.setText(QStringLiteral("txtCliente"), QString::fromLatin1(s.client));
            r.setText(reports::resultField(s.row), QString::fromUtf8(s.result));
            r.setText(reports::limitField(s.row), QString::fromUtf8(s.limit));
            archive::append(path, r.bytes());
        }
        const auto numbers = [](const ListWindow &w) {
            QStringList found;
            for (const QString &line : w.lines())
                found.append(line.mid(35, 12).trimmed());
            return found;
        };

        TfrmTrovaRapporti w(nullptr, path, {});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCheckBox *box = w.chkFuoriLimite;
        QVERIFY(box->isVisible() && !box->isChecked());
        QCOMPARE(box->text(), QStringLiteral("Solo rapporti con risultati fuori limite"));
        QCOMPARE(box->accessibleDescription(), TfrmTrovaRapporti::kOutOfLimitHint);
        QVERIFY(box->y() > w.filter(QStringLiteral("txtCliente"))->geometry().bottom());
        QVERIFY(box->geometry().bottom() < w.btnCerca->y());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QVERIFY(box->isChecked());
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        QCOMPARE(numbers(w), (QStringList{"1", "3"}));
        QCOMPARE(w.lblTrovate->text(), lists::countLine(2));

        w.filter(QStringLiteral("txtCliente"))->setText(QStringLiteral("bianchi"));
        w.btnCercaClick();
        QCOMPARE(numbers(w), QStringList{"1"});
        box->setChecked(false);
        w.btnCercaClick();
        QCOMPARE(numbers(w), (QStringList{"1", "2", "4", "5"}));
    }

    // Each command opens its window over the card, on the card's archive where it has one.
    void commandsOpenTheirWindows()
    {
        TfrmRapporti *c = openCard();
        archive::append(c->archivePath(), report(QStringLiteral("5")).bytes());
        const struct {
            QAbstractButton *button;
            const char *window;
        } table[] = {
            {c->cmdTrova, "frmTrovaRapporti"},     {c->cmdNonConsegnati, "frmNonConsegnati"},
            {c->cmdEsporta, "frmExpRapporti"},     {c->cmdAnteprima, "frmAnteprimaRap"},
            {c->cmdStampa, "frmStampaRap"},        {c->cmdImporta, "frmImportaParametri"},
            {c->cmdNumerazione, "frmNumerazione"}, {c->btnLogo, "frmLogo"},
            {c->cmdFile, "frmAllegaCartella"},
            {c->impCliente, "frmTrovaClienti"},    {c->cmdGuida, "frmGuida"},
            {c->btnCodFisc, "frmCodFisc"},         {c->btnPartitaIvaLab, "frmPartitaIva"},
        };
        for (const auto &row : table) {
            QString opened;
            onModal([&](QDialog *modal) {
                opened = modal->objectName();
                modal->reject();
            });
            QTest::mouseClick(row.button, Qt::LeftButton);
            QCOMPARE(opened, QString::fromLatin1(row.window));
        }
        support::expectNone();
    }

    // ---- Numbering window --------------------------------------------------------------------

    void startNumberNormalised()
    {
        const struct {
            const char *typed;
            const char *kept;
        } table[] = {{"", "1"},    {"  ", "1"},  {"007", "7"},  {"2,5", "3"}, {"2,4", "2"},
                     {"12", "12"}, {"0", "0"},   {"abc", "1"},  {"1.5", "1"}, {",", "1"}};
        for (const auto &row : table)
            QCOMPARE(reports::normaliseStart(QString::fromUtf8(row.typed)), QString::fromUtf8(row.kept));
    }

    void numberingWindowWritesItsKindOnly()
    {
        settings::writeNumbering(settings::filePath(), DocumentKind::Certificates, {QStringLiteral("9"), false});
        TfrmRapporti *c = openCard();
        onModal([&](QDialog *modal) {
            auto *w = qobject_cast<TfrmNumerazione *>(modal);
            QVERIFY(w);
            QVERIFY(QTest::qWaitForWindowActive(w));
            QCOMPARE(w->windowTitle(), TfrmNumerazione::kTitleReports);
            QCOMPARE(w->txtInizio->text(), QStringLiteral("1"));
            QCOMPARE(w->focusWidget(), w->txtInizio);
            w->txtInizio->setText(QStringLiteral("2,5")); // pasted
            QTest::mouseClick(w->chkTipo, Qt::LeftButton, {}, QPoint(6, w->chkTipo->height() / 2));
            QTest::mouseClick(w->btnApplica, Qt::LeftButton);
        });
        QTest::mouseClick(c->cmdNumerazione, Qt::LeftButton);
        QCOMPARE(settings::readNumbering(settings::filePath(), DocumentKind::Reports),
                 (settings::Numbering{QStringLiteral("3"), true}));
        QCOMPARE(settings::readNumbering(settings::filePath(), DocumentKind::Certificates).start, QStringLiteral("9"));

        // Annulla writes nothing.
        QFile file(settings::filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        onModal([&](QDialog *modal) {
            auto *w = static_cast<TfrmNumerazione *>(modal);
            QCOMPARE(w->txtInizio->text(), QStringLiteral("3"));
            QVERIFY(w->chkTipo->isChecked());
            w->txtInizio->setText(QStringLiteral("40"));
            QTest::mouseClick(w->btnAnnulla, Qt::LeftButton);
        });
        QTest::mouseClick(c->cmdNumerazione, Qt::LeftButton);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    // Leaving the start field puts it in shape; Enter leaves it for "Applica e chiudi".
    void numberingFieldNormalisedOnLeaving()
    {
        TfrmNumerazione w(nullptr);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), w.txtInizio);
        QVERIFY(w.effInizio->isVisible());
        w.txtInizio->clear();
        QTest::keyClicks(w.txtInizio, QStringLiteral("0a7,"));
        QCOMPARE(w.txtInizio->text(), QStringLiteral("07")); // typed keys: digits only
        w.txtInizio->setText(QStringLiteral("007"));
        QTest::keyClick(w.txtInizio, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.btnApplica);
        QCOMPARE(w.txtInizio->text(), QStringLiteral("7"));
        QVERIFY(!w.effInizio->isVisible());
    }

    // A pasted start that is negative or does not fit the field: refused with a message,
    // nothing written, the window open. One from a hand-edited file that is too long for
    // the field goes back unchanged when the field was not touched.
    void numberingRefusesStartsThatDoNotFit_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::newRow("negative") << "-5";
        QTest::newRow("a billion, with an exponent") << "1e9";
    }
    void numberingRefusesStartsThatDoNotFit()
    {
        QFETCH(QString, pasted);
        settings::writeNumbering(settings::filePath(), DocumentKind::Reports, {QStringLiteral("40"), false});
        QFile file(settings::filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        TfrmNumerazione w(nullptr);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.txtInizio->selectAll();
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(w.txtInizio, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(w.txtInizio, Qt::Key_Return); // leaves the field, as typed
        QTest::mouseClick(w.btnApplica, Qt::LeftButton);
        support::expectOne(Kind::Warning, TfrmNumerazione::kBadStart);
        QVERIFY(w.isVisible());
        QCOMPARE(QApplication::focusWidget(), w.txtInizio);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
    void numberingKeepsAnUntouchedLongStart()
    {
        settings::writeNumbering(settings::filePath(), DocumentKind::Reports, {QStringLiteral("1234567"), false});
        TfrmNumerazione w(nullptr);
        w.show();
        QCOMPARE(w.txtInizio->text(), QStringLiteral("12345"));
        QTest::mouseClick(w.chkTipo, Qt::LeftButton, {}, QPoint(6, w.chkTipo->height() / 2));
        QTest::mouseClick(w.btnApplica, Qt::LeftButton);
        support::expectNone();
        QCOMPARE(settings::readNumbering(settings::filePath(), DocumentKind::Reports),
                 (settings::Numbering{QStringLiteral("1234567"), true}));
    }

    void numberingWriteFailureKeepsTheWindowOpen()
    {
        QVERIFY(QDir(m_fx.folder()).mkdir(settings::kFileName)); // a folder where the file goes
        TfrmNumerazione w(nullptr);
        w.show();
        QTest::mouseClick(w.btnApplica, Qt::LeftButton);
        support::expectOne(Kind::Error, TfrmNumerazione::kWriteFailed);
        QVERIFY(w.isVisible());
    }

private:
    // "Importa": the one model of the archive chosen in the import window.
    void importOnlyModel(TfrmRapporti *c)
    {
        onModal([&](QDialog *modal) {
            auto *w = qobject_cast<ListWindow *>(modal);
            QVERIFY(w && w->lstRecords->count() == 1);
            w->lstRecords->setCurrentRow(0);
            w->lstRecordsDblClick();
        });
        QTest::mouseClick(c->cmdImporta, Qt::LeftButton);
    }

    TfrmRapporti *openCard(const QString &year = QStringLiteral("2025"))
    {
        TfrmRapporti *c = m_fx.ws().frmRapporti;
        c->openArchive(m_fx.file(year + QStringLiteral(".rdp")), TfrmRapporti::kTitlePrefix + year);
        if (!m_fx.open(c))
            qWarning("the card did not come up");
        return c;
    }
    QString field(const char *name) const
    {
        return m_fx.ws().frmRapporti->values().text(QString::fromLatin1(name));
    }
    // Runs the steps on the next modal window, once it is up; closes it if they did not.
    void onModal(std::function<void(QDialog *)> steps)
    {
        QTimer::singleShot(0, this, [steps] {
            auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!modal)
                QFAIL("no modal window");
            steps(modal);
            if (modal->isVisible())
                modal->reject();
        });
    }

    support::CardFixture m_fx;
};

QTEST_MAIN(TestRapporti)
#include "test_rapporti.moc"
