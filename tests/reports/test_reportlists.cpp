// The test report search and the list of undelivered reports, driven as a user would:
// type filters, search, find a line, print, double-click a line and see what the report
// card was handed.

#include "reports/frmnonconsegnati.h"
#include "reports/frmtrovarapporti.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "tools/render_ui.h"
#include "ui/seams.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSvgWidget>
#include <QTimer>
#include <QtTest>

#include "support/folderfixture.h"
#include "support/listwindows.h"
#include "support/messages.h"

using Messages::Kind;
using records::Record;
using support::clientsOf;
using support::doubleClickLine;
using support::printedLines;
using support::printedTitle;
using support::Shown;

namespace {

Record report(const QString &client, const QString &number, const QString &analysis = QStringLiteral("Acqua potabile"),
              const QString &delivered = records::kNo)
{
    Record r(records::report());
    r.setText(QStringLiteral("txtCliente"), client);
    r.setText(QStringLiteral("txtNumRap"), number);
    r.setText(QStringLiteral("txtData"), QStringLiteral("04/03/2024"));
    r.setText(QStringLiteral("txtAnalisi"), analysis);
    r.setText(QStringLiteral("txtCampione"), QStringLiteral("Acqua di rete"));
    r.setText(QStringLiteral("chkConsegnato"), delivered);
    return r;
}

} // namespace

class TestReportLists : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_fx.setUp();
        m_archive = m_fx.file(QStringLiteral("2024.rdp"));
    }
    void cleanup() { m_fx.tearDown(); }

    void criteriaPageFirst()
    {
        Shown shown;
        TfrmTrovaRapporti w(nullptr, m_archive, shown.callback());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.objectName(), QStringLiteral("frmTrovaRapporti"));
        QCOMPARE(w.windowTitle(), QStringLiteral(" Trova rapporti di prova in archivio"));
        QCOMPARE(w.height(), 560); // 862 wide, or the screen's width when less
        QVERIFY(w.panAvvio->isVisible());
        QVERIFY(!w.panContainer->isVisible());
        QVERIFY(!w.lblAttendere->isVisible() && !w.lblConta->isVisible() && !w.lblMemory->isVisible());
        QCOMPARE(w.lblAttendere->text(), QStringLiteral("Ricerca schede in corso. Attendere..."));
        QCOMPARE(w.btnCerca->text(), QStringLiteral("Cerca"));
        QCOMPARE(w.btnAnnulla->text(), QStringLiteral("Chiudi"));
        QCOMPARE(w.focusWidget(), w.filter(QStringLiteral("txtNumRap")));
        // The instructions and the banners of both pages.
        QVERIFY(w.imgSpiegazione->isVisible());
        QCOMPARE(w.panAvvio->findChild<QSvgWidget *>(QStringLiteral("imgTitolo"))->accessibleName(),
                 QStringLiteral("Trova rapporti di prova"));
        QCOMPARE(w.imgLogo->accessibleName(), QStringLiteral("Risultati di ricerca"));
        QVERIFY(w.icoIstruzioni && w.imgLente);

        // Every filter is named after its caption, has no length limit, and fits on the
        // page between the instructions and the buttons.
        for (const reports::FilterField &f : reports::kFilters) {
            QLineEdit *e = w.filter(QString::fromLatin1(f.field));
            QVERIFY(e);
            QCOMPARE(e->accessibleName(), QString::fromUtf8(f.caption));
            QCOMPARE(e->maxLength(), 32767);
            QVERIFY(e->isVisible());
            QVERIFY2(e->y() > w.imgSpiegazione->geometry().bottom() && e->geometry().bottom() < w.btnCerca->y(),
                     f.field);
        }

        // Enter walks the ten filters in order and comes back to the first.
        QStringList walked;
        for (int i = 0; i < 10; ++i) {
            walked.append(w.focusWidget()->objectName());
            QTest::keyClick(w.focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(w.focusWidget(), w.filter(QStringLiteral("txtNumRap")));
        QStringList expected;
        for (const reports::FilterField &f : reports::kFilters)
            expected.append(QString::fromLatin1(f.field));
        QCOMPARE(walked, expected);
        QVERIFY(w.panAvvio->isVisible()); // Enter never searched
        support::expectNone();
    }

    void searchWithTwoFilters()
    {
        append(report(QStringLiteral("Rossi Mario"), QStringLiteral("1"), QStringLiteral("Acqua potabile")));
        append(report(QStringLiteral("Rossi Mario"), QStringLiteral("2"), QStringLiteral("Vino rosso")));
        append(report(QStringLiteral("Verdi Anna"), QStringLiteral("3"), QStringLiteral("Acqua potabile")));
        append(report(QStringLiteral("mario rossi"), QStringLiteral("4"), QStringLiteral("ACQUA POTABILE")));

        Shown shown;
        TfrmTrovaRapporti w(nullptr, m_archive, shown.callback());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClicks(w.filter(QStringLiteral("txtCliente")), QStringLiteral("ROSSI"));
        w.filter(QStringLiteral("txtAnalisi"))->setText(QStringLiteral("potabile"));
        w.filter(QStringLiteral("txtOsservazioni"))->setText(QStringLiteral("   ")); // blank: not a filter
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);

        QCOMPARE(w.lblConta->text(), QStringLiteral("2"));
        QVERIFY(w.panContainer->isVisible());
        QVERIFY(!w.panAvvio->isVisible());
        QVERIFY(!w.lblAttendere->isVisible());
        QCOMPARE(w.focusWidget(), w.txtTrova);
        QCOMPARE(w.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 2 schede."));
        QCOMPARE(w.lblRigo03->text(), QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda"));
        const QStringList lines = w.lines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], reports::listLine(report(QStringLiteral("mario rossi"), QStringLiteral("4"),
                                                    QStringLiteral("ACQUA POTABILE"))));
        QVERIFY(lines[1].startsWith(QStringLiteral("Rossi Mario                     N. 1 ")));
        QCOMPARE(w.lstRecords->font().family(), QStringLiteral("Courier New"));
        support::expectNone();
    }

    void noFilterListsEveryReportByClient()
    {
        for (const char *name : {"Zeta srl", "alfa spa", "Beta snc"})
            append(report(QString::fromLatin1(name), QStringLiteral("1")));
        TfrmTrovaRapporti w(nullptr, m_archive, {});
        w.show();
        QTest::keyClick(w.btnCerca, Qt::Key_Space);
        QCOMPARE(w.lblConta->text(), QStringLiteral("0"));
        QCOMPARE(w.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 3 schede."));
        QCOMPARE(clientsOf(w.lines()), (QStringList{"alfa spa", "Beta snc", "Zeta srl"}));
    }

    // A year without reports yet: searching creates its file, empty.
    void missingArchiveIsCreatedEmpty()
    {
        TfrmTrovaRapporti w(nullptr, m_archive, {});
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        QVERIFY(QFileInfo::exists(m_archive));
        QCOMPARE(QFileInfo(m_archive).size(), 0);
        QCOMPARE(w.lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 0 schede."));
        QVERIFY(w.panContainer->isVisible());
        QTest::mouseClick(w.btnTrova, Qt::LeftButton);
        support::expectOne(Kind::Plain, ListWindow::kEmptyList);
    }

    void archiveFailureStaysOnTheCriteria()
    {
        QVERIFY(QDir(m_fx.folder()).mkdir(QStringLiteral("2024.rdp")));
        TfrmTrovaRapporti w(nullptr, m_archive, {});
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        support::expectOne(Kind::Plain,
                           QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                          "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                                          "installazione del programma."));
        QVERIFY(w.panAvvio->isVisible());
        QVERIFY(!w.panContainer->isVisible());
        QVERIFY(!w.lblAttendere->isVisible());
    }

    void quickFindWrapsAround()
    {
        for (const char *name : {"Alfa Rossi", "Beta", "Gamma Rossi"})
            append(report(QString::fromLatin1(name), QStringLiteral("1")));
        TfrmTrovaRapporti w(nullptr, m_archive, {});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        QCOMPARE(w.selectedLine(), -1);

        // Enter moves to Trova; asking again goes on and wraps to the first after the last.
        QTest::keyClicks(w.txtTrova, QStringLiteral("ROSSI"));
        QTest::keyClick(w.txtTrova, Qt::Key_Return);
        QCOMPARE(w.focusWidget(), w.btnTrova);
        const int expected[] = {0, 2, 0};
        for (int line : expected) {
            QTest::keyClick(w.btnTrova, Qt::Key_Return);
            QCOMPARE(w.selectedLine(), line);
        }
        w.txtTrova->setText(QStringLiteral("nessuno"));
        QTest::mouseClick(w.btnTrova, Qt::LeftButton);
        QCOMPARE(w.selectedLine(), 0); // nothing found: the selection stays
        support::expectNone();
    }

    // Two reports with the same line: double-clicking either loads the later one.
    void doubleClickLoadsTheLaterOfEqualLines()
    {
        append(report(QStringLiteral("Bianchi Anna"), QStringLiteral("7")));
        Record first = report(QStringLiteral("Rossi Mario"), QStringLiteral("5"));
        first.setText(QStringLiteral("txtCodFisc"), QStringLiteral("PRIMO"));
        append(first);
        Record second = report(QStringLiteral("Rossi Mario"), QStringLiteral("5"));
        second.setText(QStringLiteral("txtCodFisc"), QStringLiteral("SECONDO"));
        second.setText(QStringLiteral("lblFile02"), QStringLiteral("verbale.pdf"));
        append(second);
        append(report(QStringLiteral("Verdi Luca"), QStringLiteral("8")));

        for (int row : {0, 1}) {
            Shown shown;
            TfrmTrovaRapporti w(nullptr, m_archive, shown.callback());
            w.lblMemory->setText(reports::kTagReports);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.filter(QStringLiteral("txtCliente"))->setText(QStringLiteral("rossi"));
            QTest::mouseClick(w.btnCerca, Qt::LeftButton);
            QCOMPARE(w.lstRecords->count(), 2);
            doubleClickLine(w, row);
            QTRY_VERIFY(!w.isVisible());
            QCOMPARE(w.lstRecords->count(), 0); // emptied on closing

            QCOMPARE(shown.calls.size(), 1);
            QCOMPARE(shown.calls[0].second, 3);
            QCOMPARE(shown.field(0, "txtCodFisc"), QStringLiteral("SECONDO"));
            QCOMPARE(shown.field(0, "lblFile02"), QStringLiteral("verbale.pdf"));
            QCOMPARE(shown.calls[0].first.bytes(), second.bytes());
        }
        support::expectNone();
    }

    void onlyTheReportCardTakesTheReport_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("taken");
        QTest::newRow("rapporti") << "rapporti" << true;
        QTest::newRow("certificati") << "certificati" << false;
        QTest::newRow("other case") << "Rapporti" << false;
        QTest::newRow("none") << "" << false;
    }
    void onlyTheReportCardTakesTheReport()
    {
        QFETCH(QString, tag);
        QFETCH(bool, taken);
        append(report(QStringLiteral("Rossi Mario"), QStringLiteral("1")));
        Shown shown;
        TfrmTrovaRapporti w(nullptr, m_archive, shown.callback());
        w.lblMemory->setText(tag);
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        doubleClickLine(w, 0);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(shown.calls.size(), taken ? 1 : 0);
        support::expectNone();
    }

    // Choosing with no line selected, or after the archive went away, closes the window
    // without a word and hands nothing over.
    void failedChoiceClosesSilently()
    {
        append(report(QStringLiteral("Rossi Mario"), QStringLiteral("1")));
        {
            Shown shown;
            TfrmTrovaRapporti w(nullptr, m_archive, shown.callback());
            w.lblMemory->setText(reports::kTagReports);
            w.show();
            QTest::mouseClick(w.btnCerca, Qt::LeftButton);
            QCOMPARE(w.selectedLine(), -1);
            w.lstRecordsDblClick();
            QVERIFY(!w.isVisible());
            QVERIFY(shown.calls.isEmpty());
        }
        {
            Shown shown;
            TfrmTrovaRapporti w(nullptr, m_archive, shown.callback());
            w.lblMemory->setText(reports::kTagReports);
            w.show();
            QTest::mouseClick(w.btnCerca, Qt::LeftButton);
            w.lstRecords->setCurrentRow(0);
            QVERIFY(QFile::remove(m_archive) && QDir(m_fx.folder()).mkdir(QStringLiteral("2024.rdp")));
            w.lstRecordsDblClick();
            QVERIFY(!w.isVisible());
            QVERIFY(shown.calls.isEmpty());
        }
        support::expectNone();
    }

    void printListsTheLinesInListOrder()
    {
        append(report(QStringLiteral("Zeta [srl]"), QStringLiteral("2")));
        append(report(QStringLiteral("Alfa"), QStringLiteral("1")));
        TfrmTrovaRapporti w(nullptr, m_archive, {});
        w.show();
        QTest::mouseClick(w.btnCerca, Qt::LeftButton);
        QTest::mouseClick(w.btnStampa, Qt::LeftButton);
        const QList<Outputs::Taken> printed = Outputs::taken();
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printed[0].kind, Outputs::Kind::Print);
        QCOMPARE(printedTitle(printed[0]), QStringLiteral("Riepilogo rapporti di prova"));
        QCOMPARE(printedLines(printed[0]), w.lines());
        QCOMPARE(w.lines().size(), 2);
        QVERIFY(w.lines()[1].startsWith(QStringLiteral("Zeta [srl]")));
    }

    // The card's command: a fresh modal window tagged "rapporti", gone after use.
    void openSearchRunsAModalWindow()
    {
        append(report(QStringLiteral("Rossi Mario"), QStringLiteral("1")));
        append(report(QStringLiteral("Verdi Anna"), QStringLiteral("2")));
        Shown shown;
        QPointer<QDialog> seen;
        QString tag;
        QTimer::singleShot(0, this, [&] {
            auto *w = qobject_cast<TfrmTrovaRapporti *>(QApplication::activeModalWidget());
            QVERIFY(w);
            seen = w;
            tag = w->lblMemory->text();
            w->filter(QStringLiteral("txtNumRap"))->setText(QStringLiteral("2"));
            QTest::mouseClick(w->btnCerca, Qt::LeftButton);
            doubleClickLine(*w, 0);
        });
        reports::openSearch(nullptr, m_archive, shown.callback());
        QVERIFY(seen.isNull());
        QCOMPARE(tag, QStringLiteral("rapporti"));
        QCOMPARE(shown.calls.size(), 1);
        QCOMPARE(shown.calls[0].second, 2);
        QCOMPARE(shown.field(0, "txtCliente"), QStringLiteral("Verdi Anna"));
    }

    // ---- Undelivered reports -------------------------------------------------------------

    void undeliveredListsReportsNotHandedOver()
    {
        append(report(QStringLiteral("Rossi Mario"), QStringLiteral("1"), QStringLiteral("Vino"), records::kYes));
        append(report(QStringLiteral("Verdi Anna"), QStringLiteral("2")));
        append(report(QStringLiteral("Bianchi Luca"), QStringLiteral("3")));
        append(report(QStringLiteral("Neri Ugo"), QStringLiteral("4"), QStringLiteral("Vino"), QString()));

        Shown shown;
        TfrmNonConsegnati w(nullptr, m_archive, shown.callback());
        QCOMPARE(w.objectName(), QStringLiteral("frmNonConsegnati"));
        QCOMPARE(w.windowTitle(), QStringLiteral(" Riepilogo rapporti di prova non consegnati ai committenti"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.height(), 560); // 862 wide, or the screen's width when less
        QVERIFY(!w.panAvvio && !w.lblTrovate); // no criteria and no count line
        QCOMPARE(w.imgLogo->accessibleName(), QStringLiteral("Rapporti non consegnati"));
        QVERIFY(w.icoIstruzioni);
        QCOMPARE(w.lblRigo03->text(), QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"));
        QCOMPARE(w.focusWidget(), w.txtTrova);
        QCOMPARE(clientsOf(w.lines()), (QStringList{"Bianchi Luca", "Verdi Anna"}));

        QTest::mouseClick(w.btnStampa, Qt::LeftButton);
        const QList<Outputs::Taken> printed = Outputs::taken();
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printedTitle(printed[0]), QStringLiteral("Riepilogo rapporti di prova non consegnati ai committenti"));
        QCOMPARE(printedLines(printed[0]), w.lines());

        doubleClickLine(w, 1);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(shown.calls.size(), 1);
        QCOMPARE(shown.calls[0].second, 2);
        QCOMPARE(shown.field(0, "txtCliente"), QStringLiteral("Verdi Anna"));
        support::expectNone();
    }

    // A delivered report later in the file with the same line as an undelivered one is
    // the one handed over.
    void undeliveredChoiceTakesTheLastEqualLine()
    {
        append(report(QStringLiteral("Rossi Mario"), QStringLiteral("5")));
        Record delivered = report(QStringLiteral("Rossi Mario"), QStringLiteral("5"), QStringLiteral("Acqua potabile"),
                                  records::kYes);
        delivered.setText(QStringLiteral("txtOsservazioni"), QStringLiteral("consegnato a mano"));
        append(delivered);

        Shown shown;
        TfrmNonConsegnati w(nullptr, m_archive, shown.callback());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.lines().size(), 1);
        doubleClickLine(w, 0);
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(shown.calls.size(), 1);
        QCOMPARE(shown.calls[0].second, 2);
        QCOMPARE(shown.field(0, "chkConsegnato"), records::kYes);
        QCOMPARE(shown.field(0, "txtOsservazioni"), QStringLiteral("consegnato a mano"));
    }

    // The list is read when the window opens: a report delivered meanwhile stays until
    // the window is opened again.
    void undeliveredIsReadOnOpening()
    {
        const Record r = report(QStringLiteral("Rossi Mario"), QStringLiteral("1"));
        append(r);
        TfrmNonConsegnati first(nullptr, m_archive, {});
        first.show();
        QCOMPARE(first.lines().size(), 1);

        Record delivered = r;
        delivered.setText(QStringLiteral("chkConsegnato"), records::kYes);
        archive::overwriteAt(m_archive, 1, delivered.bytes());
        QCOMPARE(first.lines().size(), 1);

        QString message;
        QTimer::singleShot(0, this, [&] {
            auto *w = qobject_cast<TfrmNonConsegnati *>(QApplication::activeModalWidget());
            QVERIFY(w);
            QCOMPARE(w->lstRecords->count(), 0);
            QTest::mouseClick(w->btnTrova, Qt::LeftButton);
            const QList<Messages::Shown> shown = Messages::taken();
            message = shown.isEmpty() ? QString() : shown[0].text;
            QTest::mouseClick(w->btnChiudi, Qt::LeftButton);
        });
        reports::openUndelivered(nullptr, m_archive, {});
        QCOMPARE(message, ListWindow::kEmptyList);
    }

    void undeliveredArchiveFailureIsSilent()
    {
        QVERIFY(QDir(m_fx.folder()).mkdir(QStringLiteral("2024.rdp")));
        TfrmNonConsegnati w(nullptr, m_archive, {});
        w.show();
        QCOMPARE(w.lstRecords->count(), 0);
        support::expectNone();
    }

private:
    void append(const Record &r) { archive::append(m_archive, r.bytes()); }

    support::FolderFixture m_fx;
    QString m_archive;
};

QTEST_MAIN(TestReportLists)
#include "test_reportlists.moc"
