// The search and the undelivered list of both yearly document archives, test reports and
// certificates, driven as a user would: type filters, search, find a line, print,
// double-click a line and see what the card was handed. Every case runs for both kinds;
// a kind's own texts and ways are in its row of kinds().

#include "certificates/frmdaconsegnare.h"
#include "certificates/frmtrovacertificati.h"
#include "reports/frmnonconsegnati.h"
#include "reports/frmtrovarapporti.h"
#include "storage/recordfile.h"
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

#include <span>

#include "support/folderfixture.h"
#include "support/listwindows.h"
#include "support/messages.h"

using records::Record;
using support::clientsOf;
using support::doubleClickLine;
using support::printedLines;
using support::printedTitle;
using support::Shown;

namespace {

using Show = std::function<void(const Record &, int)>;
using Make = std::function<std::unique_ptr<ListWindow>(const QString &archive, Show)>;
using Open = std::function<void(const QString &archive, Show)>;

struct Window {
    Make make;
    Open open; // the card's command
    QString objectName, title, banner, printTitle;
    QStringList tabs; // from the find field on
};

struct Kind {
    const documents::Lists *lists;
    std::span<const documents::FilterField> filters;
    QString archiveName, tag, closingField;
    Window search, undelivered;
    QString criteriaBanner;
    QString countBefore;    // the count line before any search
    bool filtersByRow;      // two filters to a row, else down each column
    bool lensFinds;         // a click on the magnifying glass runs Trova
};

template <class W>
Make make()
{
    return [](const QString &archive, Show show) { return std::make_unique<W>(nullptr, archive, std::move(show)); };
}

const QList<Kind> &kinds()
{
    const QStringList trovaFirst{"txtTrova", "btnTrova", "lstRecords", "btnStampa", "btnChiudi"};
    static const QList<Kind> k = {
        {
            &reports::documentLists(),
            reports::kFilters,
            "2024.rdp",
            "rapporti",
            "txtOsservazioni",
            {make<TfrmTrovaRapporti>(), [](const QString &a, Show s) { reports::openSearch(nullptr, a, s); },
             "frmTrovaRapporti", " Trova rapporti di prova in archivio", "Risultati di ricerca",
             "Riepilogo rapporti di prova", trovaFirst},
            {make<TfrmNonConsegnati>(), [](const QString &a, Show s) { reports::openUndelivered(nullptr, a, s); },
             "frmNonConsegnati", " Riepilogo rapporti di prova non consegnati ai committenti",
             "Rapporti non consegnati", "Riepilogo rapporti di prova non consegnati ai committenti", trovaFirst},
            "Trova rapporti di prova",
            "",
            false,
            false,
        },
        {
            &certificates::documentLists(),
            certificates::kFilters,
            "2024.cda",
            "certificati",
            "txtConclusioni",
            {make<TfrmTrovaCertificati>(), [](const QString &a, Show s) { certificates::openSearch(nullptr, a, s); },
             "frmTrovaCertificati", " Trova certificati di analisi in archivio", "Risultati di ricerca",
             "Riepilogo certificati di analisi chimica", trovaFirst},
            {make<TfrmDaConsegnare>(),
             [](const QString &a, Show s) { certificates::openUndelivered(nullptr, a, s); }, "frmDaConsegnare",
             " Riepilogo certificati di analisi non consegnati ai committenti", "Certificati non consegnati",
             // Printed as it is, with its closing blank.
             "Riepilogo certificati di analisi non consegnati ai committenti ",
             {"txtTrova", "lstRecords", "btnStampa", "btnTrova", "btnChiudi"}},
            "Trova certificati di analisi",
            "Il presente riepilogo contiene 0 schede",
            true,
            true,
        },
    };
    return k;
}

// Runs steps on the modal list window that open shows (closing it when a check failed),
// then checks it is gone.
void whileModal(QObject *context, const Open &open, const QString &archive, Show show,
                const std::function<void(ListWindow &)> &steps)
{
    QPointer<ListWindow> seen;
    QTimer::singleShot(0, context, [&] {
        auto *w = qobject_cast<ListWindow *>(QApplication::activeModalWidget());
        QVERIFY(w);
        seen = w;
        steps(*w);
        if (w->isVisible() && QTest::currentTestFailed())
            w->reject();
    });
    open(archive, std::move(show));
    QVERIFY(seen.isNull());
}

} // namespace

class TestDocumentListWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { support::addDocumentKinds(); }
    void init()
    {
        m_fx.setUp();
        m_archive = m_fx.file(kind().archiveName);
    }
    void cleanup() { m_fx.tearDown(); }

    void criteriaPageFirst()
    {
        auto w = search();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->objectName(), kind().search.objectName);
        QCOMPARE(w->windowTitle(), kind().search.title);
        QCOMPARE(w->height(), 560); // 862 wide, or the screen's width when less
        QVERIFY(w->panAvvio->isVisible());
        QVERIFY(!w->panContainer->isVisible());
        QVERIFY(!w->lblAttendere->isVisible() && !w->lblConta->isVisible() && !w->lblMemory->isVisible());
        QCOMPARE(w->lblAttendere->text(), QStringLiteral("Ricerca schede in corso. Attendere..."));
        QCOMPARE(w->btnCerca->text(), QStringLiteral("Cerca"));
        QCOMPARE(w->btnAnnulla->text(), QStringLiteral("Chiudi"));
        QCOMPARE(w->lblTrovate->text(), kind().countBefore);
        QCOMPARE(w->focusWidget(), w->filter(QStringLiteral("txtNumRap")));
        // The instructions and the banners of both pages.
        QVERIFY(w->imgSpiegazione->isVisible());
        QCOMPARE(w->panAvvio->findChild<QSvgWidget *>(QStringLiteral("imgTitolo"))->accessibleName(),
                 kind().criteriaBanner);
        QCOMPARE(w->imgLogo->accessibleName(), kind().search.banner);
        QVERIFY(w->icoIstruzioni && w->imgLente);

        // Every filter is named after its caption, has no length limit, and fits on the
        // page between the instructions and the buttons; two to a row in the filters'
        // order, or down the first column and then the second.
        const auto &filters = kind().filters;
        for (int i = 0; i < int(filters.size()); ++i) {
            QLineEdit *e = w->filter(QString::fromLatin1(filters[i].field));
            QVERIFY(e);
            QCOMPARE(e->accessibleName(), QString::fromUtf8(filters[i].caption));
            QCOMPARE(e->maxLength(), 32767);
            QVERIFY(e->isVisible());
            QVERIFY2(e->y() > w->imgSpiegazione->geometry().bottom() && e->geometry().bottom() < w->btnCerca->y(),
                     filters[i].field);
            const int next = kind().filtersByRow ? i + 2 : i + 1; // the filter below
            if (next < int(filters.size()) && (kind().filtersByRow || next != 5)) {
                QLineEdit *below = w->filter(QString::fromLatin1(filters[next].field));
                QCOMPARE(below->x(), e->x());
                QVERIFY2(below->y() > e->geometry().bottom(), filters[i].field);
            }
        }
        QCOMPARE(w->filter(QString::fromLatin1(filters[1].field))->x() > w->filter(QStringLiteral("txtNumRap"))->x(),
                 kind().filtersByRow);

        // Enter walks the ten filters in order and comes back to the first.
        QStringList walked, expected;
        for (const documents::FilterField &f : filters) {
            expected.append(QString::fromLatin1(f.field));
            walked.append(w->focusWidget()->objectName());
            QTest::keyClick(w->focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(w->focusWidget(), w->filter(QStringLiteral("txtNumRap")));
        QCOMPARE(walked, expected);
        QVERIFY(w->panAvvio->isVisible()); // Enter never searched
        support::expectNone();
    }

    void searchWithTwoFilters()
    {
        append(document(QStringLiteral("Rossi Mario"), QStringLiteral("1")));
        append(document(QStringLiteral("Rossi Mario"), QStringLiteral("2"), QStringLiteral("Vino rosso")));
        append(document(QStringLiteral("Verdi Anna"), QStringLiteral("3")));
        append(document(QStringLiteral(" mario rossi "), QStringLiteral("4"), QStringLiteral("ACQUA POTABILE"),
                        records::kYes));

        auto w = search();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::keyClicks(w->filter(QStringLiteral("txtCliente")), QStringLiteral("ROSSI"));
        w->filter(QStringLiteral("txtAnalisi"))->setText(QStringLiteral("potabile"));
        w->filter(kind().closingField)->setText(QStringLiteral("   ")); // blank: not a filter
        QTest::mouseClick(w->btnCerca, Qt::LeftButton);

        QCOMPARE(w->lblConta->text(), QStringLiteral("2"));
        QVERIFY(w->panContainer->isVisible());
        QVERIFY(!w->panAvvio->isVisible());
        QVERIFY(!w->lblAttendere->isVisible());
        QCOMPARE(w->focusWidget(), w->txtTrova);
        QCOMPARE(w->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 2 schede."));
        QCOMPARE(w->lblRigo03->text(),
                 QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda"));
        // Delivered or not; every field trimmed in its column.
        QCOMPARE(w->lines(), (QStringList{
                                 QStringLiteral("mario rossi                     N. 4             Data: 04/03/2024  "
                                                "ACQUA POTABILE                       Campione: Acqua di rete"),
                                 QStringLiteral("Rossi Mario                     N. 1             Data: 04/03/2024  "
                                                "Acqua potabile                       Campione: Acqua di rete"),
                             }));
        QCOMPARE(w->lstRecords->font().family(), QStringLiteral("Courier New"));
        support::expectNone();
    }

    void noFilterListsEveryDocumentByClient()
    {
        append(document(QStringLiteral("Zeta srl"), QStringLiteral("1"), {}, records::kYes));
        append(document(QStringLiteral("alfa spa"), QStringLiteral("1")));
        append(document(QStringLiteral("Beta snc"), QStringLiteral("1"), {}, QString()));
        auto w = search();
        w->show();
        QTest::keyClick(w->btnCerca, Qt::Key_Space);
        QCOMPARE(w->lblConta->text(), QStringLiteral("0"));
        QCOMPARE(w->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 3 schede."));
        QCOMPARE(clientsOf(w->lines()), (QStringList{"alfa spa", "Beta snc", "Zeta srl"}));
    }

    // A year without documents yet: searching creates its file, empty; Trova then has
    // nothing to look through.
    void missingArchiveIsCreatedEmpty()
    {
        auto w = search();
        w->show();
        QTest::mouseClick(w->btnCerca, Qt::LeftButton);
        QVERIFY(QFileInfo::exists(m_archive));
        QCOMPARE(QFileInfo(m_archive).size(), 0);
        QCOMPARE(w->lblTrovate->text(), QStringLiteral("Il presente riepilogo contiene 0 schede."));
        QVERIFY(w->panContainer->isVisible());
        QTest::mouseClick(w->btnTrova, Qt::LeftButton);
        support::expectOne(Messages::Kind::Plain, ListWindow::kEmptyList);
        QCOMPARE(ListWindow::kEmptyList, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
    }

    void archiveFailureStaysOnTheCriteria()
    {
        QVERIFY(QDir(m_fx.folder()).mkdir(kind().archiveName));
        auto w = search();
        w->show();
        QTest::mouseClick(w->btnCerca, Qt::LeftButton);
        support::expectOne(Messages::Kind::Plain,
                           QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                          "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                                          "installazione del programma."));
        QVERIFY(w->panAvvio->isVisible());
        QVERIFY(!w->panContainer->isVisible());
        QVERIFY(!w->lblAttendere->isVisible());
    }

    void quickFindWrapsAround()
    {
        for (const char *name : {"Alfa Rossi", "Beta", "Gamma Rossi"})
            append(document(QString::fromLatin1(name), QStringLiteral("1")));
        auto w = search();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::mouseClick(w->btnCerca, Qt::LeftButton);
        QCOMPARE(w->selectedLine(), -1);

        // Enter moves to Trova; asking again goes on and wraps to the first after the last.
        QTest::keyClicks(w->txtTrova, QStringLiteral("ROSSI"));
        QTest::keyClick(w->txtTrova, Qt::Key_Return);
        QCOMPARE(w->focusWidget(), w->btnTrova);
        const int expected[] = {0, 2, 0};
        for (int line : expected) {
            QTest::keyClick(w->btnTrova, Qt::Key_Return);
            QCOMPARE(w->selectedLine(), line);
        }
        w->txtTrova->setText(QStringLiteral("nessuno"));
        QTest::mouseClick(w->btnTrova, Qt::LeftButton);
        QCOMPARE(w->selectedLine(), 0); // nothing found: the selection stays
        support::expectNone();
    }

    // Where the magnifying glass finds, a click on it or on its frame is a press of
    // Trova; elsewhere it is a picture.
    void magnifyingGlass()
    {
        for (const char *name : {"Alfa Rossi", "Beta", "Gamma Rossi", "Delta"})
            append(document(QString::fromLatin1(name), QStringLiteral("1")));
        auto w = undelivered();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto *frame = w->findChild<QWidget *>(QStringLiteral("shpLente"));
        QCOMPARE(frame != nullptr, kind().lensFinds);
        w->txtTrova->setText(QStringLiteral("rossi"));
        QTest::mouseClick(w->imgLente, Qt::LeftButton);
        if (!kind().lensFinds) {
            QCOMPARE(w->selectedLine(), -1);
            return;
        }
        // Lines: Alfa Rossi, Beta, Delta, Gamma Rossi.
        QCOMPARE(w->selectedLine(), 0);
        QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(w->selectedLine(), 3);
        QTest::mouseClick(w->imgLente, Qt::LeftButton);
        QCOMPARE(w->selectedLine(), 0);
        support::expectNone();
    }

    void tabOrder_data()
    {
        QTest::addColumn<bool>("isSearch");
        QTest::newRow("search") << true;
        QTest::newRow("undelivered") << false;
    }
    void tabOrder()
    {
        QFETCH(bool, isSearch);
        append(document(QStringLiteral("Rossi Mario"), QStringLiteral("1")));
        auto w = isSearch ? search() : undelivered();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        if (isSearch)
            QTest::mouseClick(w->btnCerca, Qt::LeftButton);
        const QStringList &order = isSearch ? kind().search.tabs : kind().undelivered.tabs;
        QStringList walked;
        for (int i = 0; i < order.size(); ++i) {
            walked.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(walked, order);
    }

    // Two documents with the same line: double-clicking either loads the later one.
    void doubleClickLoadsTheLaterOfEqualLines()
    {
        append(document(QStringLiteral("Bianchi Anna"), QStringLiteral("7")));
        Record first = document(QStringLiteral("Rossi Mario"), QStringLiteral("5"));
        first.setText(QStringLiteral("txtCodFisc"), QStringLiteral("PRIMO"));
        append(first);
        Record second = document(QStringLiteral("Rossi Mario "), QStringLiteral("5"));
        second.setText(QStringLiteral("txtCodFisc"), QStringLiteral("SECONDO"));
        second.setText(QStringLiteral("lblFile02"), QStringLiteral("verbale.pdf"));
        append(second);
        append(document(QStringLiteral("Verdi Luca"), QStringLiteral("8")));

        for (int row : {0, 1}) {
            Shown shown;
            auto w = search(shown.callback());
            w->lblMemory->setText(kind().tag);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            w->filter(QStringLiteral("txtCliente"))->setText(QStringLiteral("rossi"));
            QTest::mouseClick(w->btnCerca, Qt::LeftButton);
            QCOMPARE(w->lstRecords->count(), 2);
            doubleClickLine(*w, row);
            QTRY_VERIFY(!w->isVisible());
            QCOMPARE(w->lstRecords->count(), 0); // emptied on closing

            QCOMPARE(shown.calls.size(), 1);
            QCOMPARE(shown.calls[0].second, 3);
            QCOMPARE(shown.field(0, "txtCodFisc"), QStringLiteral("SECONDO"));
            QCOMPARE(shown.field(0, "lblFile02"), QStringLiteral("verbale.pdf"));
            QCOMPARE(shown.calls[0].first.bytes(), second.bytes());
        }
        support::expectNone();
    }

    void onlyTheAskingCardTakesTheDocument_data()
    {
        QTest::addColumn<QString>("tag"); // taken only when it is the kind's own
        for (const char *tag : {"rapporti", "certificati", "Rapporti", "Certificati", "clienti", ""})
            QTest::newRow(*tag ? tag : "none") << QString::fromLatin1(tag);
    }
    void onlyTheAskingCardTakesTheDocument()
    {
        QFETCH(QString, tag);
        append(document(QStringLiteral("Rossi Mario"), QStringLiteral("1")));
        Shown shown;
        auto w = search(shown.callback());
        w->lblMemory->setText(tag);
        w->show();
        QTest::mouseClick(w->btnCerca, Qt::LeftButton);
        doubleClickLine(*w, 0);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(shown.calls.size(), tag == kind().tag ? 1 : 0);
        support::expectNone();
    }

    // Choosing with no line selected, or after the archive went away, closes the window
    // without a word and hands nothing over.
    void failedChoiceClosesSilently()
    {
        append(document(QStringLiteral("Rossi Mario"), QStringLiteral("1")));
        for (bool archiveGone : {false, true}) {
            Shown shown;
            auto w = search(shown.callback());
            w->lblMemory->setText(kind().tag);
            w->show();
            QTest::mouseClick(w->btnCerca, Qt::LeftButton);
            QCOMPARE(w->selectedLine(), -1);
            if (archiveGone) {
                w->lstRecords->setCurrentRow(0);
                QVERIFY(QFile::remove(m_archive) && QDir(m_fx.folder()).mkdir(kind().archiveName));
            }
            w->lstRecordsDblClick();
            QVERIFY(!w->isVisible());
            QVERIFY(shown.calls.isEmpty());
        }
        support::expectNone();
    }

    // Both windows print their lines as listed, under their own titles.
    void printsTheListUnderItsTitle()
    {
        append(document(QStringLiteral("Zeta [srl]"), QStringLiteral("2")));
        append(document(QStringLiteral("Alfa"), QStringLiteral("1")));
        for (bool isSearch : {true, false}) {
            auto w = isSearch ? search() : undelivered();
            w->show();
            if (isSearch)
                QTest::mouseClick(w->btnCerca, Qt::LeftButton);
            QTest::mouseClick(w->btnStampa, Qt::LeftButton);
            const QList<Outputs::Taken> printed = Outputs::taken();
            QCOMPARE(printed.size(), 1);
            QCOMPARE(printed[0].kind, Outputs::Kind::Print);
            QCOMPARE(printedTitle(printed[0]), isSearch ? kind().search.printTitle : kind().undelivered.printTitle);
            QCOMPARE(printedLines(printed[0]), w->lines());
            QCOMPARE(w->lines().size(), 2);
            QVERIFY(w->lines()[1].startsWith(QStringLiteral("Zeta [srl]")));
        }
    }

    // The card's command: a fresh modal window with the kind's tag; the document
    // double-clicked goes back whole, with its position, and the window is gone.
    void openSearchRunsAModalWindow()
    {
        append(document(QStringLiteral("Rossi Mario"), QStringLiteral("1")));
        Record chosen = document(QStringLiteral("Verdi Anna"), QStringLiteral("2"), {}, records::kYes);
        chosen.setText(QStringLiteral("lblFile02"), QStringLiteral("verbale.pdf"));
        append(chosen);
        Shown shown;
        QString objectName, tag;
        whileModal(this, kind().search.open, m_archive, shown.callback(), [&](ListWindow &w) {
            objectName = w.objectName();
            tag = w.lblMemory->text();
            w.filter(QStringLiteral("txtNumRap"))->setText(QStringLiteral("2"));
            QTest::mouseClick(w.btnCerca, Qt::LeftButton);
            doubleClickLine(w, 0);
        });
        QCOMPARE(objectName, kind().search.objectName);
        QCOMPARE(tag, kind().tag);
        QCOMPARE(shown.calls.size(), 1);
        QCOMPARE(shown.calls[0].second, 2);
        QCOMPARE(shown.calls[0].first.bytes(), chosen.bytes());
    }

    // ---- Undelivered documents -------------------------------------------------------------

    void undeliveredListsDocumentsNotHandedOver()
    {
        append(document(QStringLiteral("Rossi Mario"), QStringLiteral("1"), QStringLiteral("Vino"), records::kYes));
        append(document(QStringLiteral("Verdi Anna"), QStringLiteral("2")));
        append(document(QStringLiteral("Bianchi Luca"), QStringLiteral("3")));
        append(document(QStringLiteral("Neri Ugo"), QStringLiteral("4"), QStringLiteral("Vino"), QString()));

        Shown shown;
        auto w = undelivered(shown.callback());
        QCOMPARE(w->objectName(), kind().undelivered.objectName);
        QCOMPARE(w->windowTitle(), kind().undelivered.title);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->height(), 560); // 862 wide, or the screen's width when less
        QVERIFY(!w->panAvvio && !w->lblTrovate); // no criteria and no count line
        QCOMPARE(w->imgLogo->accessibleName(), kind().undelivered.banner);
        QVERIFY(w->icoIstruzioni && w->imgLente);
        QCOMPARE(w->lblRigo03->text(),
                 QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"));
        QCOMPARE(w->btnTrova->text(), QStringLiteral("Trova"));
        QCOMPARE(w->focusWidget(), w->txtTrova);
        QCOMPARE(clientsOf(w->lines()), (QStringList{"Bianchi Luca", "Verdi Anna"}));

        doubleClickLine(*w, 1);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(w->lstRecords->count(), 0);
        QCOMPARE(shown.calls.size(), 1);
        QCOMPARE(shown.calls[0].second, 2);
        QCOMPARE(shown.field(0, "txtCliente"), QStringLiteral("Verdi Anna"));
        support::expectNone();
    }

    // A delivered document later in the file with the same line as an undelivered one is
    // the one handed over.
    void undeliveredChoiceTakesTheLastEqualLine()
    {
        append(document(QStringLiteral("Rossi Mario"), QStringLiteral("5")));
        Record delivered = document(QStringLiteral("Rossi Mario  "), QStringLiteral("5"), {}, records::kYes);
        delivered.setText(kind().closingField, QStringLiteral("Consegnato a mano."));
        append(delivered);

        Shown shown;
        auto w = undelivered(shown.callback());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->lines().size(), 1);
        doubleClickLine(*w, 0);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(shown.calls.size(), 1);
        QCOMPARE(shown.calls[0].second, 2);
        QCOMPARE(shown.field(0, "chkConsegnato"), records::kYes);
        QCOMPARE(shown.calls[0].first.bytes(), delivered.bytes());
    }

    // The list is read when the window opens: a document delivered meanwhile stays until
    // the window is opened again, which then has nothing to find or print.
    void undeliveredIsReadOnOpening()
    {
        const Record r = document(QStringLiteral("Rossi Mario"), QStringLiteral("1"));
        append(r);
        auto first = undelivered();
        first->show();
        QCOMPARE(first->lines().size(), 1);

        Record delivered = r;
        delivered.setText(QStringLiteral("chkConsegnato"), records::kYes);
        archive::overwriteAt(m_archive, 1, delivered.bytes());
        QCOMPARE(first->lines().size(), 1);

        QString objectName, message;
        int printed = -1;
        whileModal(this, kind().undelivered.open, m_archive, {}, [&](ListWindow &w) {
            objectName = w.objectName();
            QCOMPARE(w.lstRecords->count(), 0);
            QTest::mouseClick(w.btnTrova, Qt::LeftButton);
            const QList<Messages::Shown> shown = Messages::taken();
            message = shown.isEmpty() ? QString() : shown[0].text;
            QTest::mouseClick(w.btnStampa, Qt::LeftButton);
            const QList<Outputs::Taken> taken = Outputs::taken();
            printed = taken.isEmpty() ? -1 : int(printedLines(taken[0]).size());
            QTest::mouseClick(w.btnChiudi, Qt::LeftButton);
        });
        QCOMPARE(objectName, kind().undelivered.objectName);
        QCOMPARE(message, ListWindow::kEmptyList);
        QCOMPARE(printed, 0); // a listing without lines
    }

    void undeliveredArchiveFailureIsSilent()
    {
        QVERIFY(QDir(m_fx.folder()).mkdir(kind().archiveName));
        auto w = undelivered();
        w->show();
        QCOMPARE(w->lstRecords->count(), 0);
        support::expectNone();
    }

private:
    static const Kind &kind()
    {
        QFETCH_GLOBAL(int, kind);
        return kinds().at(kind);
    }
    std::unique_ptr<ListWindow> search(Show show = {}) const { return kind().search.make(m_archive, std::move(show)); }
    std::unique_ptr<ListWindow> undelivered(Show show = {}) const
    {
        return kind().undelivered.make(m_archive, std::move(show));
    }

    // Values as a user may type them, blanks around some: a certificate keeps them, a
    // report does not, and the lines are the same.
    static Record document(const QString &client, const QString &number, const QString &analysis = {},
                           const QString &delivered = records::kNo)
    {
        Record r(kind().lists->layout());
        r.setText(QStringLiteral("txtCliente"), client);
        r.setText(QStringLiteral("txtNumRap"), number);
        r.setText(QStringLiteral("txtData"), QStringLiteral("04/03/2024"));
        r.setText(QStringLiteral("txtAnalisi"), analysis.isNull() ? QStringLiteral("Acqua potabile ") : analysis);
        r.setText(QStringLiteral("txtCampione"), QStringLiteral(" Acqua di rete"));
        r.setText(kind().closingField, QStringLiteral("Campione esaminato.\r\nRisulta conforme."));
        r.setText(QStringLiteral("chkConsegnato"), delivered);
        return r;
    }
    void append(const Record &r) { archive::append(m_archive, r.bytes()); }

    support::FolderFixture m_fx;
    QString m_archive;
};

QTEST_MAIN(TestDocumentListWindows)
#include "test_documentlistwindows.moc"
