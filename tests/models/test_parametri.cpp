// The model card, its search window and the import window, driven as a user would.

#include "app/frmavvio.h"
#include "ui/seams.h"
#include "app/workspace.h"
#include "models/frmparametri.h"
#include "models/frmtrovaparametri.h"
#include "models/modelsearch.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "tools/render_ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "support/cardfixture.h"

#include "support/fieldtarget.h"
#include "support/listwindows.h"
#include "support/messages.h"
#include "support/modal.h"

using Messages::Kind;
using records::Record;

namespace {

constexpr int kSize = 10868;

// Stands in for the test report card: remembers every field it is given, in order.
using ImportRecorder = support::EditsTarget;

Record model(const QString &name, const QString &sample, const QString &row1 = {})
{
    Record r(records::model());
    r.setText(QStringLiteral("txtAnalisi"), name);
    r.setText(QStringLiteral("txtCampione"), sample);
    r.setText(QStringLiteral("txtParametro01"), row1);
    return r;
}

QString rowName(const char *field, int row)
{
    return QString::fromLatin1(field) + QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
}

QStringList texts(const QByteArray &bytes)
{
    const Record r(records::model(), bytes);
    QStringList out;
    for (int i = 0; i < r.layout().fields().size(); ++i)
        out.append(r.text(i));
    return out;
}

// A short length-prefixed field as stored.
QByteArray stored(const QByteArray &text)
{
    return char(text.size()) + text;
}

} // namespace

class TestParametri : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_fx.setUp();
        m_card = m_fx.ws().frmParametri;
        QVERIFY(m_fx.open(m_card));
    }
    void cleanup() { m_fx.tearDown(); }

    void opensBlank()
    {
        QCOMPARE(m_card->windowTitle(), QStringLiteral(" Tirello - Modelli di analisi"));
        QCOMPARE(m_card->panInfo->text(), cardTexts::kReady);
        QCOMPARE(QFileInfo(archive()).size(), 0); // the archive exists from the start
        QCOMPARE(m_card->focusWidget(), m_card->txtAnalisi);
        expectPage(1);
        QCOMPARE(field("txtAnalisi")->maxLength(), 120);
        QCOMPARE(field("txtMetodo30")->maxLength(), 120);
        QCOMPARE(field("txtUM17")->maxLength(), 30);
        QCOMPARE(field("txtLimite01")->maxLength(), 30);
    }

    void fullModelIsStoredAtItsOffsetsAndReadBack()
    {
        m_card->txtAnalisi->setFocus();
        QTest::keyClicks(m_card->txtAnalisi, QStringLiteral("  Potabile  ")); // typed, stored trimmed
        field("txtCampione")->setText(QStringLiteral("Acqua di pozzo pi\u00f9 pura"));
        for (int k = 1; k <= 30; ++k) {
            field(rowName("txtParametro", k))->setText(QStringLiteral("Parametro %1").arg(k));
            field(rowName("txtMetodo", k))->setText(QStringLiteral("Metodo %1").arg(k));
            field(rowName("txtUM", k))->setText(QStringLiteral("mg/l"));
            field(rowName("txtLimite", k))->setText(QStringLiteral("< %1").arg(k));
        }
        const QString long121 = QString(120, u'x') + u'y';
        field("txtMetodo30")->setFocus();
        field("txtMetodo30")->clear();
        QTest::keyClicks(field("txtMetodo30"), long121); // the field takes 120
        const char *files[] = {"lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03"};
        for (const char *name : files)
            m_card->findChild<QLabel *>(QString::fromLatin1(name))->setText(QString::fromLatin1(name).mid(3) + ".pdf");

        click(m_card->cmdSalva);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        QCOMPARE(m_card->lblPosizione->text(), QStringLiteral("1"));

        const QByteArray bytes = fileBytes();
        QCOMPARE(bytes.size(), kSize);
        QCOMPARE(bytes.left(9), stored("Potabile"));
        QCOMPARE(bytes.mid(121, 24), stored("Acqua di pozzo pi\xf9 pura"));
        // Row 1 from 242, row 30 from 9058: parameter, method, unit, limit.
        QCOMPARE(bytes.mid(242, 12), stored("Parametro 1"));
        QCOMPARE(bytes.mid(363, 9), stored("Metodo 1"));
        QCOMPARE(bytes.mid(484, 5), stored("mg/l"));
        QCOMPARE(bytes.mid(515, 4), stored("< 1"));
        QCOMPARE(bytes.mid(9058, 13), stored("Parametro 30"));
        QCOMPARE(bytes.mid(9179, 121), stored(QByteArray(120, 'x')));
        QCOMPARE(bytes.mid(9300, 5), stored("mg/l"));
        QCOMPARE(bytes.mid(9331, 5), stored("< 30"));
        // The three file names first, then the three descriptions.
        QCOMPARE(bytes.mid(9362, 11), stored("File01.pdf"));
        QCOMPARE(bytes.mid(9613, 11), stored("File02.pdf"));
        QCOMPARE(bytes.mid(9864, 11), stored("File03.pdf"));
        QCOMPARE(bytes.mid(10115, 11), stored("Desc01.pdf"));
        QCOMPARE(bytes.mid(10617, 11), stored("Desc03.pdf"));

        // A new card empties everything; the first record brings it all back.
        const Record saved(records::model(), bytes);
        click(m_card->cmdNuovo);
        QVERIFY(m_card->lblPosizione->text().isEmpty());
        QVERIFY(field("txtLimite30")->text().isEmpty());
        QVERIFY(m_card->values().text(QStringLiteral("lblDesc03")).isEmpty());
        click(m_card->cmdPrimo);
        QCOMPARE(m_card->lblPosizione->text(), QStringLiteral("1"));
        QCOMPARE(m_card->storeRecord().bytes(), saved.bytes());
        QCOMPARE(field("txtParametro16")->text(), QStringLiteral("Parametro 16"));

        // Saved again: the same record is overwritten.
        field("txtLimite16")->setText(QStringLiteral("assente"));
        click(m_card->cmdSalva);
        support::expectOne(Kind::Information, cardTexts::kSavedChanges);
        QCOMPARE(fileBytes().size(), kSize);
        QCOMPARE(fileBytes().mid(515 + 15 * 304, 8), stored("assente"));
    }

    void pagesAndTheEnterKey()
    {
        appendModel(model(QStringLiteral("Uno"), QStringLiteral("A")));
        appendModel(model(QStringLiteral("Due"), QStringLiteral("B")));
        QTest::keyClick(m_card->txtAnalisi, Qt::Key_Return);
        QCOMPARE(m_card->focusWidget(), m_card->txtCampione);
        QTest::keyClick(m_card->txtCampione, Qt::Key_Return);
        QCOMPARE(m_card->focusWidget(), field("txtParametro01"));
        QTest::keyClick(field("txtParametro01"), Qt::Key_Tab); // along the row
        QCOMPARE(m_card->focusWidget(), field("txtMetodo01"));

        QTest::mouseClick(m_card->panParametri->btnAvanti, Qt::LeftButton);
        expectPage(2);
        QCOMPARE(m_card->focusWidget(), field("txtParametro16"));
        m_card->txtCampione->setFocus();
        QTest::keyClick(m_card->txtCampione, Qt::Key_Return);
        QCOMPARE(m_card->focusWidget(), field("txtParametro16"));

        // Browsing keeps the page shown.
        click(m_card->cmdPrimo);
        click(m_card->cmdAvanti);
        QCOMPARE(m_card->txtAnalisi->text(), QStringLiteral("Due"));
        expectPage(2);

        QTest::mouseClick(m_card->panParametri->btnIndietro, Qt::LeftButton);
        expectPage(1);
        QCOMPARE(m_card->focusWidget(), field("txtParametro01"));
        QTest::mouseClick(m_card->panParametri->btnAvanti, Qt::LeftButton);

        // New returns to page 1, and so does showing the window again.
        click(m_card->cmdNuovo);
        expectPage(1);
        QCOMPARE(m_card->focusWidget(), m_card->txtAnalisi);
        QTest::mouseClick(m_card->panParametri->btnAvanti, Qt::LeftButton);
        click(m_card->cmdUltimo);
        QVERIFY(m_card->close());
        QVERIFY(m_fx.ws().frmAvvio->isVisible());
        windowSwitch(m_card, m_fx.ws().frmAvvio);
        expectPage(1);
        QVERIFY(m_card->txtAnalisi->text().isEmpty());
        QVERIFY(m_card->lblPosizione->text().isEmpty());
        QVERIFY(Messages::taken().isEmpty());
    }

    void mandatoryFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no name") << "" << "Acqua" << TfrmParametri::kNameMissing << "txtAnalisi";
        QTest::newRow("blank name") << " \t " << "Acqua" << TfrmParametri::kNameMissing << "txtAnalisi";
        QTest::newRow("neither: the name first") << "" << "" << TfrmParametri::kNameMissing << "txtAnalisi";
        QTest::newRow("no sample") << "Potabilit\u00e0" << "   " << TfrmParametri::kSampleMissing << "txtCampione";
    }
    void mandatoryFields()
    {
        QFETCH(QString, name);
        QFETCH(QString, sample);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        m_card->txtAnalisi->setText(name);
        m_card->txtCampione->setText(sample);
        field("txtParametro05")->setFocus();
        click(m_card->cmdSalva);
        support::expectOne(Kind::Warning, message);
        QCOMPARE(m_card->focusWidget(), field(qPrintable(focus)));
        QCOMPARE(QFileInfo(archive()).size(), 0);
        QVERIFY(m_card->lblPosizione->text().isEmpty());
    }

    void duplicate()
    {
        click(m_card->cmdDuplica); // a new card cannot be duplicated
        support::expectOne(Kind::Warning, cardTexts::kDuplicateNeedsStored);

        Record r = model(QStringLiteral("Vino"), QStringLiteral("Rosso"), QStringLiteral("Alcol"));
        r.setText(QStringLiteral("txtLimite30"), QStringLiteral("12"));
        r.setText(QStringLiteral("lblFile02"), QStringLiteral("analisi.pdf"));
        r.setText(QStringLiteral("lblDesc02"), QStringLiteral("Referto"));
        appendModel(r);
        click(m_card->cmdUltimo);
        QTest::mouseClick(m_card->panParametri->btnAvanti, Qt::LeftButton);
        click(m_card->cmdDuplica);
        support::expectOne(Kind::Information, cardTexts::kDuplicated);
        QVERIFY(m_card->lblPosizione->text().isEmpty());
        QVERIFY(m_card->values().text(QStringLiteral("lblFile02")).isEmpty() && m_card->values().text(QStringLiteral("lblDesc02")).isEmpty());
        QCOMPARE(m_card->focusWidget(), m_card->txtAnalisi);
        QCOMPARE(field("txtLimite30")->text(), QStringLiteral("12"));
        click(m_card->cmdSalva);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        QCOMPARE(m_card->lblPosizione->text(), QStringLiteral("2"));
        QStringList expected = texts(r.bytes());
        expected[records::model().indexOf(QStringLiteral("lblFile02"))].clear();
        expected[records::model().indexOf(QStringLiteral("lblDesc02"))].clear();
        QCOMPARE(texts(archive::readAt(archive(), kSize, 2)), expected);
        QCOMPARE(archive::readAt(archive(), kSize, 1), r.bytes()); // the original is untouched

        // When the archive cannot be reached, the card says so with a warning.
        QVERIFY(QFile::remove(archive()));
        QVERIFY(QDir(m_fx.folder()).mkdir(models::kArchiveName));
        click(m_card->cmdDuplica);
        support::expectOne(Kind::Warning, cardTexts::kArchiveAccess);
        QVERIFY(m_card->lblPosizione->text().isEmpty());
        QCOMPARE(m_card->txtAnalisi->text(), QStringLiteral("Vino"));
        click(m_card->cmdPrimo); // elsewhere it stays an error
        support::expectOne(Kind::Error, cardTexts::kArchiveAccess);
    }

    void hints()
    {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(m_card->panParametri->btnAvanti, &enter);
        QCOMPARE(m_card->panInfo->text(), QStringLiteral("Visualizza la pagina successiva."));
        QApplication::sendEvent(m_card->cmdEsporta, &enter);
        QCOMPARE(m_card->panInfo->text(), QStringLiteral("Esporta l'archivio in un file di Microsoft Excel."));
        QTest::mouseMove(m_card->panParametri, QPoint(3, 3));
        QVERIFY(m_card->panInfo->text().isEmpty());
        QCOMPARE(m_card->txtCampione->accessibleName(), QStringLiteral("Tipo campione:"));
    }

    void searchOpensTheLastEqualModelWithItsPosition()
    {
        appendModel(model(QStringLiteral("Acqua"), QStringLiteral("Pozzo"), QStringLiteral("primo")));
        appendModel(model(QString(), QStringLiteral("senza nome")));
        appendModel(model(QStringLiteral("Vino"), QStringLiteral("Rosso"), QStringLiteral("vino")));
        appendModel(model(QStringLiteral("Acqua"), QStringLiteral("Pozzo"), QStringLiteral("quarto")));
        QTest::mouseClick(m_card->panParametri->btnAvanti, Qt::LeftButton);

        QStringList listed;
        int found = -1;
        support::onModal(this, [&](QDialog *modal) {
            auto *w = qobject_cast<TfrmTrovaParametri *>(modal);
            QVERIFY(w);
            QCOMPARE(w->windowTitle(), QStringLiteral(" Trova modelli di analisi in archivio"));
            listed = w->lines();
            QTest::keyClicks(w->txtTrova, QStringLiteral("acqua"));
            QTest::keyClick(w->txtTrova, Qt::Key_Return); // to the button, which Enter presses
            QCOMPARE(w->focusWidget(), w->btnTrova);
            QTest::keyClick(w->btnTrova, Qt::Key_Return);
            QCOMPARE(w->selectedLine(), 0);
            QTest::mouseClick(w->btnTrova, Qt::LeftButton); // again: the next "acqua"
            found = w->selectedLine();
            support::doubleClickLine(*w, found);
        });
        click(m_card->cmdTrova);
        QCOMPARE(listed.size(), 3);
        QCOMPARE(found, 2);
        QCOMPARE(m_card->txtAnalisi->text(), QStringLiteral("Acqua"));
        QCOMPARE(field("txtParametro01")->text(), QStringLiteral("quarto"));
        QCOMPARE(m_card->lblPosizione->text(), QStringLiteral("4"));
        expectPage(2);

        // Saved, it overwrites the record it came from.
        field("txtParametro02")->setText(QStringLiteral("nitrati"));
        click(m_card->cmdSalva);
        support::expectOne(Kind::Information, cardTexts::kSavedChanges);
        QCOMPARE(fileBytes().size(), 4 * kSize);
        QCOMPARE(Record(records::model(), archive::readAt(archive(), kSize, 4)).text(QStringLiteral("txtParametro02")),
                 QStringLiteral("nitrati"));
    }

    void searchWithoutASelectionChangesNothing()
    {
        appendModel(model(QStringLiteral("Acqua"), QStringLiteral("Pozzo")));
        m_card->txtAnalisi->setText(QStringLiteral("in corso"));
        support::onModal(this, [&](QDialog *modal) {
            auto *w = static_cast<ListWindow *>(modal);
            QCOMPARE(w->selectedLine(), -1);
            QTest::mouseDClick(w->lstRecords->viewport(), Qt::LeftButton, {},
                               QPoint(10, w->lstRecords->viewport()->height() - 5)); // below the lines
        });
        click(m_card->cmdTrova);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(m_card->txtAnalisi->text(), QStringLiteral("in corso"));
        QVERIFY(m_card->lblPosizione->text().isEmpty());
    }

    void quickFindOnAnEmptyList()
    {
        appendModel(model(QString(), QStringLiteral("solo campione")));
        support::onModal(this, [&](QDialog *modal) {
            auto *w = static_cast<ListWindow *>(modal);
            QCOMPARE(w->lstRecords->count(), 0);
            QTest::mouseClick(w->btnTrova, Qt::LeftButton);
            support::expectOne(Kind::Plain, ListWindow::kEmptyList);
            QTest::mouseClick(w->btnChiudi, Qt::LeftButton);
        });
        click(m_card->cmdTrova);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void printListsTheLinesInListOrder()
    {
        appendModel(model(QStringLiteral("Vino"), QStringLiteral("Rosso")));
        appendModel(model(QStringLiteral("Acqua [pozzo]"), QStringLiteral("Falda")));
        Outputs::startRecording();
        TfrmTrovaParametri w(m_card, m_card);
        QTest::mouseClick(w.btnStampa, Qt::LeftButton);
        const QList<Outputs::Taken> printed = Outputs::taken();
        Outputs::stopRecording();
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printed[0].kind, Outputs::Kind::Print);
        const render::PreparedPage &page = printed[0].pages.first();
        QCOMPARE(page.find(QStringLiteral("txtTitolo"))->lines.first().text, QStringLiteral("Riepilogo modelli di analisi"));
        QStringList lines;
        for (const render::TextLine &l : page.find(QStringLiteral("txtRiepilogo"))->lines)
            lines.append(l.text);
        QCOMPARE(lines, w.lines());
        QCOMPARE(lines.size(), 2);
        QVERIFY(Messages::taken().isEmpty());
    }

    void importWritesTheModelFieldsAndNothingElse()
    {
        Record a = model(QStringLiteral("Metalli"), QStringLiteral("Suolo"), QStringLiteral("Piombo"));
        a.setText(QStringLiteral("txtUM03"), QStringLiteral("mg/kg"));
        a.setText(QStringLiteral("lblFile01"), QStringLiteral("allegato.pdf"));
        appendModel(model(QStringLiteral("Vino"), QStringLiteral("Rosso"), QStringLiteral("Alcol")));
        appendModel(a);

        ImportRecorder target({});
        TfrmImportaParametri w(m_card, &target);
        QCOMPARE(w.windowTitle(), QStringLiteral(" Importa dati da modello di analisi"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        support::doubleClickLine(w, 1);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(w.lstRecords->count(), 0); // emptied on closing

        QCOMPARE(target.calls.size(), 122);
        QStringList names;
        for (const auto &[name, value] : target.calls)
            names.append(name);
        QCOMPARE(names, models::importedFields());
        QCOMPARE(names.mid(0, 6), (QStringList{"txtAnalisi", "txtCampione", "txtParametro01", "txtMetodo01",
                                               "txtUM01", "txtLimite01"}));
        QCOMPARE(names.last(), QStringLiteral("txtLimite30"));
        QCOMPARE(target.calls[0].second, QStringLiteral("Metalli"));
        QCOMPARE(target.calls[2].second, QStringLiteral("Piombo"));
        QCOMPARE(target.calls[names.indexOf("txtUM03")].second, QStringLiteral("mg/kg"));
        QCOMPARE(target.calls[names.indexOf("txtParametro17")].second, QString()); // empty rows are written too
        QVERIFY(m_card->txtAnalisi->text().isEmpty()); // the owner is not a target
    }

    void importIntoLineEditsKeepsTheOtherFields()
    {
        Record m = model(QStringLiteral("Metalli"), QStringLiteral("Suolo"), QStringLiteral("Piombo"));
        m.setText(QStringLiteral("txtParametro02"), QStringLiteral("Cadmio"));
        appendModel(m);
        // A report-like window: ten filled rows with results.
        support::EditsTarget report(models::importedFields() + QStringList{"txtRisultato04", "txtNumRap"},
                                    QStringLiteral("vecchio"));
        support::onModal(this, [&](QDialog *modal) { support::doubleClickLine(*static_cast<ListWindow *>(modal), 0); });
        models::openImport(&report, &report);
        const auto text = [&](const char *name) { return report.findChild<QLineEdit *>(name)->text(); };
        QCOMPARE(text("txtAnalisi"), QStringLiteral("Metalli"));
        QCOMPARE(text("txtParametro02"), QStringLiteral("Cadmio"));
        QCOMPARE(text("txtParametro04"), QString());
        QCOMPARE(text("txtLimite10"), QString());
        QCOMPARE(text("txtRisultato04"), QStringLiteral("vecchio"));
        QCOMPARE(text("txtNumRap"), QStringLiteral("vecchio"));
    }

private:
    QLineEdit *field(const char *name) const { return m_card->edit(QString::fromLatin1(name)); }
    QLineEdit *field(const QString &name) const { return m_card->edit(name); }
    QString archive() const { return m_fx.file(models::kArchiveName); }
    QByteArray fileBytes() const
    {
        QFile f(archive());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void appendModel(const Record &r) { archive::append(archive(), r.bytes()); }
    static void click(QToolButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    void expectPage(int page)
    {
        QCOMPARE(m_card->page(), page);
        QCOMPARE(m_card->panParametri->pagePanel(1)->isVisible(), page == 1);
        QCOMPARE(m_card->panParametri->pagePanel(2)->isVisible(), page == 2);
        QCOMPARE(m_card->panParametri->lblPag->text(), page == 1 ? QStringLiteral("pag. 1 / 2") : QStringLiteral("pag. 2 / 2"));
        QCOMPARE(m_card->panParametri->btnAvanti->isEnabled(), page == 1);
        QCOMPARE(m_card->panParametri->btnIndietro->isEnabled(), page == 2);
    }
    support::CardFixture m_fx;
    TfrmParametri *m_card = nullptr;
};

QTEST_MAIN(TestParametri)
#include "test_parametri.moc"
