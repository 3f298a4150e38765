// The window kit on its own: the status line and its hints, the paged row grid, the
// card's field access by name, the help links.

#include "app/workspace.h"
#include "certificates/frmcertificati.h"
#include "clients/frmclienti.h"
#include "models/frmparametri.h"
#include "reports/frmnumerazione.h"
#include "reports/frmrapporti.h"
#include "ui/frmallegacartella.h"
#include "ui/frmcalendario.h"
#include "ui/frmlogo.h"
#include "ui/yearwindow.h"
#include "ui/helpwindows.h"
#include "ui/hintline.h"
#include "ui/linelist.h"
#include "ui/rowgrid.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "support/cardfixture.h"

class TestKit : public QObject {
    Q_OBJECT
private slots:
    void init() { m_fx.setUp(); }
    void cleanup() { m_fx.tearDown(); }

    // A screen reader reads what the status line shows now, under its fixed name.
    void statusLineIsReadAsItChanges()
    {
        QWidget window;
        window.resize(400, 200);
        auto *line = new StatusLine(QStringLiteral("Pronto"), &window);
        line->setGeometry(0, 160, 400, 40);
        auto *hints = new HintLine(&window, line);
        auto *button = new QPushButton(QStringLiteral("Salva"), &window);
        button->setGeometry(10, 10, 100, 30);
        hints->setHint(button, QStringLiteral("Salva la scheda corrente."));
        hints->clearsHint(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(line);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Barra di stato"));
        QCOMPARE(a->text(QAccessible::Description), QStringLiteral("Pronto"));

        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(button, &enter);
        QCOMPARE(line->text(), QStringLiteral("Salva la scheda corrente."));
        QCOMPARE(a->text(QAccessible::Description), QStringLiteral("Salva la scheda corrente."));
        QCOMPARE(button->accessibleDescription(), QStringLiteral("Salva la scheda corrente."));

        QTest::mouseMove(&window, QPoint(300, 100));
        QVERIFY(line->text().isEmpty());
        QVERIFY(a->text(QAccessible::Description).isEmpty());
    }

    // A list window's list draws its rows from the lines kept as bytes: a screen reader
    // reads each row as the text drawn, every row is as wide as the longest line (and
    // never narrower than asked), and the selection follows the rows.
    void lineListRows()
    {
        LineList list;
        list.setFont(QFont(QStringLiteral("Courier New"), 12));
        list.resize(400, 200);
        lists::Lines lines;
        lines.append(QByteArrayView("Caff\xe8 \x80 5", 9));
        lines.append(QByteArray(300, 'x'));
        list.setLines(std::move(lines), 1600);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));

        QCOMPARE(list.count(), 2);
        QCOMPARE(list.line(0), QStringLiteral("Caff\u00e8 \u20ac 5"));
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(&list);
        QVERIFY(a && a->childCount() == 2);
        QCOMPARE(a->child(0)->text(QAccessible::Name), QStringLiteral("Caff\u00e8 \u20ac 5"));
        QCOMPARE(a->child(1)->text(QAccessible::Name), QString(300, u'x'));

        const int m = QFontMetrics(list.font()).horizontalAdvance(QLatin1Char('M'));
        const QRect first = list.visualRect(list.model()->index(0, 0));
        QCOMPARE(first.width(), 302 * m);
        QCOMPARE(list.visualRect(list.model()->index(1, 0)).width(), first.width());
        lists::Lines few;
        few.append("corta");
        list.setLines(std::move(few), 1600);
        QCOMPARE(list.visualRect(list.model()->index(0, 0)).width(), 1600);

        QCOMPARE(list.selectedRow(), -1);
        list.setCurrentRow(0);
        QCOMPARE(list.selectedRow(), 0);
        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.selectedRow(), -1);
    }

    void pagedRowGrid()
    {
        QWidget window;
        PagedRowGrid grid(&window, {QStringLiteral("panRisultati"),
                                    QStringLiteral("panPagina"),
                                    {{"txtParametro", "PARAMETRO", "Parametro", 200},
                                     {"txtMetodo", "METODO DI PROVA", "Metodo di prova", 200},
                                     {"txtUM", "U.M.", "Unit\u00e0 di misura", 80},
                                     {"txtRisultato", "RISULTATO", "Risultato", 80},
                                     {"txtLimite", "LIMITE", "Limite", 80}},
                                    30,
                                    15,
                                    815,
                                    QFont()});
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(grid.pageCount(), 2);
        QCOMPARE(grid.findChildren<QLineEdit *>().size(), 150);
        QVERIFY(grid.cell(QStringLiteral("txtRisultato"), 30));
        QCOMPARE(grid.cell(QStringLiteral("txtUM"), 7)->accessibleName(), QStringLiteral("Unit\u00e0 di misura 7"));
        QCOMPARE(grid.cell(QStringLiteral("txtParametro"), 16)->parentWidget(), grid.pagePanel(2));
        QCOMPARE(grid.pagePanel(1)->objectName(), QStringLiteral("panPagina01"));

        // Row by row, left to right, then the page buttons.
        const QList<QWidget *> tabs = grid.tabOrder();
        QCOMPARE(tabs.size(), 152);
        QCOMPARE(tabs[4]->objectName(), QStringLiteral("txtLimite01"));
        QCOMPARE(tabs[5]->objectName(), QStringLiteral("txtParametro02"));

        QCOMPARE(grid.page(), 1);
        QVERIFY(!grid.btnIndietro->isEnabled() && grid.btnAvanti->isEnabled());
        QTest::mouseClick(grid.btnAvanti, Qt::LeftButton);
        QCOMPARE(grid.page(), 2);
        QCOMPARE(grid.lblPag->text(), QStringLiteral("pag. 2 / 2"));
        QVERIFY(grid.pagePanel(2)->isVisible() && !grid.pagePanel(1)->isVisible());
        QVERIFY(grid.btnIndietro->isEnabled() && !grid.btnAvanti->isEnabled());
        QCOMPARE(QApplication::focusWidget(), grid.firstFieldOf(2));
        QTest::mouseClick(grid.btnIndietro, Qt::LeftButton);
        QCOMPARE(grid.lblPag->text(), QStringLiteral("pag. 1 / 2"));
        QCOMPARE(QApplication::focusWidget(), grid.cell(QStringLiteral("txtParametro"), 1));
    }

    // Each page with its own page controls, inside the page.
    void pagedRowGridWithControlsOnEachPage()
    {
        QWidget window;
        PagedRowGrid grid(&window, {QStringLiteral("panRisultati"),
                                    QStringLiteral("panPagina"),
                                    {{"txtParametro", "PARAMETRO", "Parametro", 200},
                                     {"txtRisultato", "RISULTATO", "Risultato", 80}},
                                    30,
                                    15,
                                    815,
                                    QFont(),
                                    {{QStringLiteral("btnIndietro_A"), QStringLiteral("lblPag_A"), QStringLiteral("btnAvanti")},
                                     {QStringLiteral("btnIndietro_B"), QStringLiteral("titPag_B"),
                                      QStringLiteral("btnAvanti_B")}}});
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(!grid.btnAvanti && !grid.lblPag);
        QCOMPARE(grid.backButton(1)->objectName(), QStringLiteral("btnIndietro_A"));
        QCOMPARE(grid.backButton(1)->parentWidget(), grid.pagePanel(1));
        QCOMPARE(grid.pageLabel(2)->text(), QStringLiteral("pag. 2 / 2"));
        QVERIFY(!grid.backButton(1)->isEnabled() && grid.nextButton(1)->isEnabled());
        QVERIFY(grid.backButton(2)->isEnabled() && !grid.nextButton(2)->isEnabled());
        QTest::mouseClick(grid.nextButton(1), Qt::LeftButton);
        QCOMPARE(grid.page(), 2);
        QCOMPARE(QApplication::focusWidget(), grid.cell(QStringLiteral("txtParametro"), 16));
        QTest::mouseClick(grid.backButton(2), Qt::LeftButton);
        QCOMPARE(grid.page(), 1);
        const QList<QWidget *> tabs = grid.tabOrder();
        QCOMPARE(tabs[30]->objectName(), QStringLiteral("btnIndietro_A"));
        QCOMPARE(tabs[32]->objectName(), QStringLiteral("txtParametro16"));
        QCOMPARE(tabs.last()->objectName(), QStringLiteral("btnAvanti_B"));
    }

    // Tool windows write into a card by field name, whatever the control.
    void cardFieldsByName()
    {
        TfrmClienti *card = m_fx.ws().frmClienti;
        QVERIFY(m_fx.open(card));
        card->setField(QStringLiteral("txtCliente"), QStringLiteral("Rossi Mario"));
        card->setField(QStringLiteral("txtProvRes"), QStringLiteral("PI"));
        card->setField(QStringLiteral("chkRicontatta"), records::kYes);
        card->setField(QStringLiteral("lblFile03"), QStringLiteral("referto.pdf"));
        card->setField(QStringLiteral("txtNonEsiste"), QStringLiteral("x")); // skipped

        QCOMPARE(card->edit(QStringLiteral("txtCliente"))->text(), QStringLiteral("Rossi Mario"));
        QCOMPARE(card->txtProvRes->currentText(), QStringLiteral("PI"));
        QVERIFY(card->chkRicontatta->isChecked());
        const records::Values v = card->values();
        QCOMPARE(v.text(QStringLiteral("lblFile03")), QStringLiteral("referto.pdf"));
        QCOMPARE(v.text(QStringLiteral("chkRicontatta")), records::kYes);
        QCOMPARE(v.text(QStringLiteral("txtProvRes")), QStringLiteral("PI"));
        QCOMPARE(card->storeRecord().text(QStringLiteral("lblFile03")), QStringLiteral("referto.pdf"));

        card->setField(QStringLiteral("chkRicontatta"), QStringLiteral("forse")); // neither flag: unchanged
        QVERIFY(card->chkRicontatta->isChecked());
    }

    // The icon beside a link colours it while pressed; released elsewhere, no click
    // happens and the link takes its colour back.
    void linkColourAfterARelease()
    {
        TfrmInfo info(nullptr);
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        auto *icon = info.findChild<QToolButton *>(QStringLiteral("imgEmail"));
        QVERIFY(icon);
        const auto colour = [&] { return info.lnkWeb->palette().color(QPalette::WindowText); };
        QTest::mousePress(icon, Qt::LeftButton, {}, icon->rect().center());
        QCOMPARE(colour(), LinkLabel::kOrange);
        QTest::mouseRelease(icon, Qt::LeftButton, {}, icon->rect().bottomRight() + QPoint(40, 40));
        QCOMPARE(colour(), LinkLabel::kDarkBlue);
        QVERIFY(Shell::taken().isEmpty());

        QTest::mousePress(info.lnkWeb, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(colour(), LinkLabel::kOrange);
        QTest::mouseRelease(info.lnkWeb, Qt::LeftButton, {}, QPoint(-20, -20));
        QCOMPARE(colour(), LinkLabel::kDarkBlue);
        QVERIFY(Shell::taken().isEmpty());
    }

    // A window closed while a field with a focus frame has the focus.
    void focusFrameGoesWithItsWindow()
    {
        auto *window = new QWidget;
        auto *field = new QLineEdit(window);
        QFrame *frame = look::focusFrame(field, QStringLiteral("effCampo"));
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        field->setFocus();
        QVERIFY(frame->isVisible());
        delete window; // the frame stands under the field and goes first
    }

    // Every control a user can reach has a name a screen reader can say.
    void everyControlHasAnAccessibleName()
    {
        QWidget *cards[] = {m_fx.ws().frmClienti, m_fx.ws().frmParametri, m_fx.ws().frmRapporti,
                            m_fx.ws().frmCertificati, m_fx.ws().frmMenuRapporti, m_fx.ws().frmMenuCertificati};
        TfrmNumerazione numbering(nullptr);
        TfrmCalendario calendar(nullptr, nullptr);
        TfrmLogo logoWindow(nullptr);
        TfrmAllegaCartella attachmentsWindow(nullptr, nullptr);
        QList<QWidget *> windows(std::begin(cards), std::end(cards));
        windows << &numbering << &calendar << &logoWindow << &attachmentsWindow;
        for (QWidget *window : windows) {
            for (QWidget *w : window->findChildren<QWidget *>()) {
                if (w->focusPolicy() == Qt::NoFocus || w->window() != window || qobject_cast<QAbstractScrollArea *>(w->parentWidget()))
                    continue;
                if (w->parentWidget() && w->parentWidget()->inherits("QCalendarWidget"))
                    continue; // the calendar's own navigation
                if (w->inherits("QTableView") || w->inherits("QCalendarView") || w->inherits("QSpinBox")
                    || w->inherits("QAbstractSpinBox") || w->objectName().startsWith(QLatin1String("qt_")))
                    continue;
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
                QVERIFY2(a && !a->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(window->objectName() + u'/' + w->objectName() + u' ' + w->metaObject()->className()));
            }
        }
    }

private:
    support::CardFixture m_fx;
};

QTEST_MAIN(TestKit)
#include "test_kit.moc"
