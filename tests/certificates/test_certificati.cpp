// The certificate card driven as a user would: the year window's hand-over, the ten
// laboratory keys, the technical memos, the mandatory fields, and the record on disk.

#include "app/frmavvio.h"
#include "certificates/frmcertificati.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "ui/frmcalendario.h"
#include "ui/yearwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "support/cardfixture.h"
#include "support/messages.h"
#include "support/modal.h"

using Messages::Kind;
using records::Record;
using settings::DocumentKind;

class TestCertificati : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Clock::setOverride(QDateTime(QDate(2025, 3, 14), QTime(16, 45, 0)));
        m_fx.setUp();
    }
    void cleanup()
    {
        m_fx.tearDown();
        Clock::setOverride({});
    }

    void yearWindowOpensTheCard()
    {
        YearWindow *w = m_fx.ws().frmMenuCertificati;
        QTest::mouseClick(m_fx.ws().frmAvvio->btnApp[3], Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->intAnnoPreventivi->text(), QStringLiteral("Archivio certificati di analisi chimica"));
        w->txtAnnoPreventivi->setText(QStringLiteral("2024"));
        QTest::mouseClick(w->btnApriPreventivi, Qt::LeftButton);
        TfrmCertificati *c = m_fx.ws().frmCertificati;
        QVERIFY(c->isVisible());
        QCOMPARE(c->windowTitle(), QStringLiteral(" Tirello - Certificati di analisi chimica anno 2024"));
        QCOMPARE(c->archivePath(), m_fx.file(QStringLiteral("2024.cda")));
        QVERIFY(c->close());
        QVERIFY(m_fx.ws().frmAvvio->isVisible());
    }

    // The ten keys in, and back on closing; the report's own key stays.
    void laboratoryKeys()
    {
        settings::Laboratory lab;
        lab.denominazione = QStringLiteral("Laboratorio Rossi");
        lab.responsabile = QStringLiteral("Dott. Verdi");
        lab.chimico = QStringLiteral("Dott.ssa Neri");
        lab.ordine = QStringLiteral("Ordine dei Chimici di Bologna");
        settings::writeLaboratory(settings::filePath(), DocumentKind::Reports, lab);
        settings::writeLaboratory(settings::filePath(), DocumentKind::Certificates, lab);
        TfrmCertificati *c = openCard();
        QCOMPARE(field("txtChimico"), QStringLiteral("Dott.ssa Neri"));
        QCOMPARE(field("txtOrdine"), QStringLiteral("Ordine dei Chimici di Bologna"));
        QCOMPARE(field("txtLaboratorio"), QStringLiteral("Laboratorio Rossi"));
        QVERIFY(field("txtNumRap").isEmpty() && field("txtData").isEmpty());
        c->setField(QStringLiteral("txtOrdine"), QStringLiteral(" Ordine di Forl\u00ec "));
        QVERIFY(c->close());
        const settings::Laboratory stored = settings::readLaboratory(settings::filePath());
        QCOMPARE(stored.ordine, QStringLiteral("Ordine di Forl\u00ec"));
        QCOMPARE(stored.responsabile, QStringLiteral("Dott. Verdi"));
    }

    void memosTakeLineBreaksAndKeepTheirLimits()
    {
        TfrmCertificati *c = openCard();
        QTest::mouseClick(c->btnRisultati_A, Qt::LeftButton);
        QPlainTextEdit *methods = c->memo(QStringLiteral("txtMetodi"));
        QCOMPARE(QApplication::focusWidget(), methods);
        QTest::keyClicks(methods, QStringLiteral("riga uno"));
        QTest::keyClick(methods, Qt::Key_Return);
        QTest::keyClicks(methods, QStringLiteral("riga due"));
        QCOMPARE(methods->toPlainText(), QStringLiteral("riga uno\nriga due"));
        QVERIFY(methods->lineWrapMode() == QPlainTextEdit::WidgetWidth);

        // 3000 as stored: a line break counts two.
        QPlainTextEdit *keep = c->memo(QStringLiteral("txtTempoDocu"));
        keep->setPlainText(QString(2990, u'a') + QStringLiteral("\n") + QString(20, u'b'));
        QCOMPARE(keep->toPlainText().size() + 1, 3000);
        QCOMPARE(c->storeRecord().text(QStringLiteral("txtTempoDocu")).size(), 3000);

        const Record r = c->storeRecord();
        QCOMPARE(r.text(QStringLiteral("txtMetodi")), QStringLiteral("riga uno\r\nriga due"));
        c->loadRecord(r);
        QCOMPARE(methods->toPlainText(), QStringLiteral("riga uno\nriga due"));
    }

    // A save writes a fresh record: after each text's zero nothing of an earlier, longer
    // text of another certificate remains.
    void savedRecordsCarryNoRemains()
    {
        TfrmCertificati *c = openCard();
        fillMandatory(c, QStringLiteral("1"));
        c->setField(QStringLiteral("txtConclusioni"), QString(4000, u'X'));
        c->setField(QStringLiteral("txtCliente"), QString(50, u'C'));
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kInserted);

        c->blankCard();
        fillMandatory(c, QStringLiteral("2"));
        c->setField(QStringLiteral("txtConclusioni"), QStringLiteral("Breve"));
        c->setField(QStringLiteral("txtCliente"), QStringLiteral("Bi"));
        c->chkConsegnato->setChecked(true);
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kInserted);

        const QByteArray second = archive::readAt(c->archivePath(), records::certificate().size(), 2);
        const records::Field *conclusions = records::certificate().find(QStringLiteral("txtConclusioni"));
        const QByteArray field = second.mid(conclusions->offset, conclusions->capacity + 1);
        QCOMPARE(field.left(6), QByteArray("Breve\0", 6));
        QCOMPARE(field.mid(6), QByteArray(field.size() - 6, '\0'));
        const records::Field *client = records::certificate().find(QStringLiteral("txtCliente"));
        QCOMPARE(second.mid(client->offset, client->capacity + 1), QByteArray("Bi").leftJustified(51, '\0'));
        const records::Field *flag = records::certificate().find(QStringLiteral("chkConsegnato"));
        QCOMPARE(second.mid(flag->offset, 3), QByteArray("S\xec\0", 3));
    }

    void mandatoryFieldsInOrderStoredUntrimmed()
    {
        TfrmCertificati *c = openCard();
        c->setField(QStringLiteral("txtLaboratorio"), QStringLiteral("   "));
        c->btnRisultatiClick();
        for (const DocumentCard::Mandatory &m : c->mandatoryFields()) {
            QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
            support::expectOne(Kind::Warning, QString::fromUtf8(m.warning));
            QVERIFY(!c->showsSecondSection());
            QCOMPARE(QApplication::focusWidget(), c->edit(QString::fromLatin1(m.field)));
            c->setField(QString::fromLatin1(m.field), QStringLiteral(" x "));
            c->btnRisultatiClick();
        }
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        const Record r(records::certificate(), archive::readAt(c->archivePath(), records::certificate().size(), 1));
        QCOMPARE(r.text(QStringLiteral("txtLaboratorio")), QStringLiteral(" x "));

        // Saved again: in place.
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kSavedChanges);
        QCOMPARE(archive::count(c->archivePath(), records::certificate().size()), 1);
    }

    void saveFailureIsAPlainMessage()
    {
        TfrmCertificati *c = openCard();
        QVERIFY(QDir(m_fx.folder()).mkdir(QStringLiteral("2025.cda")));
        fillMandatory(c, QStringLiteral("1"));
        QTest::mouseClick(c->cmdSalva, Qt::LeftButton);
        support::expectOne(Kind::Plain, cardTexts::kArchiveAccess);
        QVERIFY(c->lblPosizione->text().isEmpty());
    }

    void newUsesTheCertificateNumbering()
    {
        settings::writeNumbering(settings::filePath(), DocumentKind::Reports, {QStringLiteral("500"), false});
        settings::writeNumbering(settings::filePath(), DocumentKind::Certificates, {QStringLiteral("20"), true});
        TfrmCertificati *c = openCard();
        QTest::mouseClick(c->cmdNuovo, Qt::LeftButton);
        QCOMPARE(field("txtNumRap"), QStringLiteral("20/2025"));
        QCOMPARE(field("txtData"), QStringLiteral("14/03/2025"));
    }

    void dateFieldsAndEmail()
    {
        TfrmCertificati *c = openCard();
        QString tag;
        QTimer::singleShot(0, this, [&] {
            auto *cal = qobject_cast<TfrmCalendario *>(QApplication::activeModalWidget());
            if (!cal)
                return;
            tag = cal->lblMemory->text();
            QTest::mouseClick(cal->btnImportaData, Qt::LeftButton);
        });
        QTest::keyClick(c->edit(QStringLiteral("txtDataFine")), Qt::Key_X);
        QCOMPARE(tag, QStringLiteral("certificati_datafine"));
        QCOMPARE(field("txtDataFine"), QStringLiteral("14/03/2025"));
        QCOMPARE(c->edit(QStringLiteral("txtDataFine"))->accessibleDescription(), DocumentCard::kDateHint);

        // The chain ends with the chemist and the order, then back to the laboratory.
        c->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(c));
        c->edit(QStringLiteral("txtChimico"))->setFocus();
        QTest::keyClick(c->focusWidget(), Qt::Key_Return);
        QCOMPARE(c->focusWidget()->objectName(), QStringLiteral("txtOrdine"));
        QTest::keyClick(c->focusWidget(), Qt::Key_Return);
        QCOMPARE(c->focusWidget()->objectName(), QStringLiteral("txtLaboratorio"));

        QLineEdit *email = c->edit(QStringLiteral("txtEmailLab"));
        email->setFocus();
        QTest::keyClicks(email, QStringLiteral(" lab@x.it "));
        c->edit(QStringLiteral("txtTelLab"))->setFocus();
        QCOMPARE(email->text(), QStringLiteral("lab@x.it"));
        QVERIFY(email->styleSheet().contains(QStringLiteral("#F0F8FF")));
    }

    // Each command opens its window over the card.
    void commandsOpenTheirWindows()
    {
        TfrmCertificati *c = openCard();
        const struct {
            QAbstractButton *button;
            const char *window;
        } table[] = {
            {c->cmdTrova, "frmTrovaCertificati"}, {c->cmdNonConsegnati, "frmDaConsegnare"},
            {c->cmdEsporta, "frmExpCertificati"}, {c->cmdAnteprima, "frmAnteprimaCer"},
            {c->cmdStampa, "frmStampaCer"},       {c->cmdNumerazione, "frmNumerazione"},
            {c->btnLogo, "frmLogo"},              {c->impCliente, "frmTrovaClienti"},
            {c->cmdFile, "frmAllegaCartella"},    {c->cmdGuida, "frmGuida"},
        };
        for (const auto &row : table) {
            QString opened;
            support::onModal(this, [&](QDialog *modal) {
                opened = modal->objectName();
                modal->reject();
            });
            QTest::mouseClick(row.button, Qt::LeftButton);
            QCOMPARE(opened, QString::fromLatin1(row.window));
        }
        QVERIFY(!c->cmdImporta); // no model import on a certificate
    }

    // Browsing over the results section: the section stays, and each record brings its
    // memos (line breaks and all) and its attachment labels.
    void browsingKeepsTheSectionAndFillsMemosAndAttachments()
    {
        const QString path = m_fx.file(QStringLiteral("2025.cda"));
        for (int n = 1; n <= 2; ++n) {
            Record r(records::certificate());
            r.setText(QStringLiteral("txtNumRap"), QString::number(n));
            r.setText(QStringLiteral("txtMetodi"), QStringLiteral("Metodo %1\r\nseconda riga").arg(n));
            r.setText(QStringLiteral("txtConclusioni"), QStringLiteral("Conforme %1").arg(n));
            r.setText(QStringLiteral("lblFile01"), QStringLiteral("verbale%1.pdf").arg(n));
            r.setText(QStringLiteral("lblDesc01"), QStringLiteral("Verbale di prelievo %1").arg(n));
            r.setText(QStringLiteral("chkConsegnato"), records::kNo);
            archive::append(path, r.bytes());
        }
        TfrmCertificati *c = openCard();
        QTest::mouseClick(c->btnRisultati_A, Qt::LeftButton);
        const struct {
            QAbstractButton *command;
            int shown;
        } walk[] = {{c->cmdPrimo, 1}, {c->cmdAvanti, 2}, {c->cmdIndietro, 1}, {c->cmdUltimo, 2}};
        for (const auto &step : walk) {
            QTest::mouseClick(step.command, Qt::LeftButton);
            support::expectNone();
            QVERIFY(c->panRisultati->isVisible() && !c->panDatiGen->isVisible());
            QCOMPARE(c->lblPosizione->text(), QString::number(step.shown));
            QCOMPARE(c->memo(QStringLiteral("txtMetodi"))->toPlainText(),
                     QStringLiteral("Metodo %1\nseconda riga").arg(step.shown));
            QCOMPARE(c->memo(QStringLiteral("txtConclusioni"))->toPlainText(), QStringLiteral("Conforme %1").arg(step.shown));
            QCOMPARE(field("lblFile01"), QStringLiteral("verbale%1.pdf").arg(step.shown));
            QCOMPARE(field("lblDesc01"), QStringLiteral("Verbale di prelievo %1").arg(step.shown));
        }
    }

private:
    TfrmCertificati *openCard()
    {
        TfrmCertificati *c = m_fx.ws().frmCertificati;
        c->openArchive(m_fx.file(QStringLiteral("2025.cda")), TfrmCertificati::kTitlePrefix + QStringLiteral("2025"));
        if (!m_fx.open(c))
            qWarning("the card did not come up");
        return c;
    }
    static void fillMandatory(TfrmCertificati *c, const QString &number)
    {
        for (const char *name : {"txtLaboratorio", "txtCliente", "txtAnalisi", "txtCampione"})
            c->setField(QString::fromLatin1(name), QStringLiteral("testo"));
        c->setField(QStringLiteral("txtNumRap"), number);
        c->setField(QStringLiteral("txtData"), QStringLiteral("14/03/2025"));
    }
    QString field(const char *name) const
    {
        return m_fx.ws().frmCertificati->values().text(QString::fromLatin1(name));
    }

    support::CardFixture m_fx;
};

QTEST_MAIN(TestCertificati)
#include "test_certificati.moc"
