// The printed analysis model: the page in millimetres, the thirty rows filled from the
// card as typed, wrapping, the print stamp, and the preview and print windows with their
// failure warnings.

#include "ui/seams.h"
#include "app/workspace.h"
#include "models/frmparametri.h"
#include "models/frmstampapar.h"
#include "models/modelsearch.h"
#include "storage/programfolder.h"
#include "support/modal.h"
#include "support/printwindows.h"
#include "tools/render_ui.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>

using Messages::Kind;
using render::Placed;
using render::PreparedPage;

namespace {

QString two(int k)
{
    return QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
}

QStringList linesOf(const PreparedPage &page, const QString &name)
{
    QStringList out;
    if (const Placed *p = page.find(name))
        for (const render::TextLine &l : p->lines)
            out.append(l.text);
    return out;
}

const QString kNote = QStringLiteral(
    "N.B. E' possibile creare un modello di analisi per ogni tipologia di esame eseguito dal laboratorio con "
    "l'elenco dei parametri da analizzare. In fase di compilazione del rapporto di prova, si potr\u00e0 completare "
    "velocemente l'inserimento dei dati importando la scheda di interesse dall'archivio dei modelli di analisi.");

} // namespace

class TestModelPrint : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        ProgramFolder::setOverride(m_dir->path());
        Clock::setOverride(QDateTime(QDate(2025, 2, 28), QTime(17, 45, 9)));
        Messages::startRecording();
        Outputs::startRecording();
        m_ws = Workspace::create();
        card()->show(); // a visit starts from a blank card
    }
    void cleanup()
    {
        m_ws.reset();
        Outputs::stopRecording();
        Messages::stopRecording();
        Clock::setOverride({});
        ProgramFolder::setOverride({});
    }

    // A blank card: the whole frame at its place, the fixed texts, empty row boxes.
    void pageLayoutInMillimetres()
    {
        const render::Prepared pages = render::prepareForOutput(printing::fill(models::modelSheet(card())));
        QCOMPARE(pages.size(), 1);
        const PreparedPage &page = pages[0];
        QCOMPARE(page.orientation, render::Orientation::Portrait);
        QCOMPARE(page.margin, 10.0);

        const struct {
            const char *name;
            QRectF rect;
        } where[] = {
            {"imgLogo", {50.0, 0.8, 14.0, 14.0}},    {"titImporto", {65.0, 0.8, 79.0, 12.0}},
            {"Shape6", {1.0, 22.0, 188.0, 6.0}},     {"txtCampione", {2.0, 40.0, 185.9, 4.0}},
            {"Shape7", {1.0, 55.0, 188.0, 5.8}},     {"Memo4", {161.0, 56.0, 26.8, 4.2}},
            {"Shape8", {1.0, 61.0, 188.0, 181.0}},   {"Line2", {131.0, 55.0, 0.0, 187.0}},
            {"Line4", {1.0, 250.0, 188.0, 0.0}},     {"Memo6", {1.0, 252.0, 187.0, 15.5}},
            {"Shape23", {1.0, 270.0, 188.0, 5.8}},   {"txtCalce", {2.0, 271.0, 185.8, 4.2}},
        };
        for (const auto &w : where) {
            const Placed *p = page.find(QLatin1String(w.name));
            QVERIFY2(p, w.name);
            QCOMPARE(p->object.rect, w.rect);
        }
        QVERIFY(page.find(QStringLiteral("Line2"))->object.vertical);
        QVERIFY(!page.find(QStringLiteral("Line4"))->object.vertical);
        QVERIFY(page.find(QStringLiteral("imgLogo"))->object.centred);
        QVERIFY(QSvgRenderer(page.find(QStringLiteral("imgLogo"))->object.picture.toString()).isValid());

        // Every row box: 7 pt, 4 mm high, 6 mm below the one above; unit and limit centred.
        const struct {
            const char *column;
            double x, width;
            bool centred;
        } columns[] = {{"txtParametro", 2.0, 54.9, false}, {"txtMetodo", 59.0, 71.0, false},
                       {"txtUM", 132.0, 27.0, true},        {"txtLimite", 161.0, 27.0, true}};
        for (int k = 1; k <= 30; ++k) {
            for (const auto &c : columns) {
                const QString name = QLatin1String(c.column) + two(k);
                const Placed *p = page.find(name);
                QVERIFY2(p, qPrintable(name));
                QCOMPARE(p->object.rect, QRectF(c.x, 62.0 + 6.0 * (k - 1), c.width, 4.0));
                QCOMPARE(p->object.size, 7.0);
                QCOMPARE(p->object.centred, c.centred);
                QVERIFY(p->lines.isEmpty());
            }
        }

        const struct {
            const char *name;
            QString text;
            double size;
            const char *fill;
        } fixed[] = {
            {"titImporto", QStringLiteral("MODELLO DI ANALISI"), 20, ""},
            {"titAccettazione", QStringLiteral("NOME ANALISI"), 9, "Lavender"},
            {"Memo5", QStringLiteral("TIPO CAMPIONE"), 9, "Lavender"},
            {"Memo1", QStringLiteral("ESAMI DA EFFETTUARE"), 11, "Wheat"},
            {"titAnomalie", QStringLiteral("Parametro"), 8, ""},
            {"Memo2", QStringLiteral("Metodo di prova"), 8, ""},
            {"Memo3", QStringLiteral("U.M."), 8, ""},
            {"Memo4", QStringLiteral("Limite"), 8, ""},
            {"titPrivacy",
             QStringLiteral("Il presente modello di analisi pu\u00f2 essere importato all'interno dei rapporti "
                            "di prova per facilitarne la compilazione."),
             8, ""},
            {"Memo6", kNote, 7, ""},
        };
        for (const auto &f : fixed) {
            const render::Object &o = page.find(QLatin1String(f.name))->object;
            QCOMPARE(o.text, f.text);
            QCOMPARE(o.size, f.size);
            QCOMPARE(o.fill, QString::fromLatin1(f.fill));
        }
        QCOMPARE(page.find(QStringLiteral("Shape7"))->object.fill, QStringLiteral("Lavender"));
        QCOMPARE(page.find(QStringLiteral("Shape23"))->object.fill, QStringLiteral("Gold"));

        // Word wrap on the note only; the note does wrap, inside its box.
        for (const Placed &p : page.objects) {
            if (p.object.kind != render::Kind::Text)
                continue;
            QCOMPARE(p.object.wrap, p.object.name == QLatin1String("Memo6"));
            QCOMPARE(p.object.font, QStringLiteral("Arial"));
            QCOMPARE(p.object.color, QStringLiteral("Black"));
        }
        const QStringList note = linesOf(page, QStringLiteral("Memo6"));
        QVERIFY(note.size() > 1);
        QCOMPARE(note.join(u' '), kNote);
        const Placed *memo = page.find(QStringLiteral("Memo6"));
        QVERIFY(memo->lines.last().top + memo->pitch <= memo->object.rect.bottom());
    }

    // Through the card and the preview window: what is typed, unsaved, on both pages of
    // rows; a long parameter stays on one line; the stamp is the time of the click.
    void previewPrintsTheCardAsTyped()
    {
        field("txtAnalisi")->setText(QStringLiteral("  Acque potabili  "));
        field("txtCampione")->setText(QStringLiteral("Pozzo [DATE] <b>"));
        const QString longName = QStringLiteral("Conducibilit\u00e0 elettrica specifica a 20 gradi centigradi");
        field("txtParametro01")->setText(longName);
        field("txtMetodo01")->setText(QStringLiteral("APAT CNR IRSA 2030"));
        field("txtUM01")->setText(QStringLiteral("\u00b5S/cm"));
        field("txtLimite01")->setText(QStringLiteral(" 2500 "));
        field("txtParametro16")->setText(QStringLiteral("Nitrati"));
        field("txtLimite30")->setText(QStringLiteral("50"));

        bool opened = false;
        support::onModal(this, [&](QDialog *modal) {
            auto *w = qobject_cast<TfrmAnteprimaPar *>(modal);
            QVERIFY(w);
            opened = true;
            QCOMPARE(w->objectName(), QStringLiteral("frmAnteprimaPar"));
            QCOMPARE(w->windowTitle(), QStringLiteral(" Anteprima di stampa"));
            QCOMPARE(w->size(), QSize(364, 287));
            QCOMPARE(w->btnStampa->text(), QStringLiteral("Mostra anteprima"));
            QCOMPARE(w->btnAnnulla->text(), QStringLiteral("Annulla"));
            Clock::setOverride(QDateTime(QDate(2025, 3, 1), QTime(8, 5, 0)));
            QTest::mouseClick(w->btnStampa, Qt::LeftButton);
        });
        QTest::mouseClick(card()->cmdAnteprima, Qt::LeftButton);
        QVERIFY(opened);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(Messages::taken().isEmpty());

        const PreparedPage page = single(Outputs::Kind::Preview);
        const struct {
            const char *name;
            QString text;
        } filled[] = {
            {"txtAnalisi", QStringLiteral("Acque potabili")},
            {"txtCampione", QStringLiteral("Pozzo [DATE] <b>")},
            {"txtParametro01", longName},
            {"txtMetodo01", QStringLiteral("APAT CNR IRSA 2030")},
            {"txtUM01", QStringLiteral("\u00b5S/cm")},
            {"txtLimite01", QStringLiteral("2500")},
            {"txtParametro16", QStringLiteral("Nitrati")},
            {"txtLimite30", QStringLiteral("50")},
            {"txtCalce", QStringLiteral("Stampa eseguita in data 01/03/2025 alle ore 08:05:00")},
        };
        for (const auto &f : filled)
            QCOMPARE(linesOf(page, QLatin1String(f.name)), QStringList{f.text});
        QVERIFY(linesOf(page, QStringLiteral("txtMetodo16")).isEmpty());
        QVERIFY(!QFile::exists(models::archivePath()) || QFileInfo(models::archivePath()).size() == 0);
    }

    void printAndItsFailures_data()
    {
        support::printWindowRows();
    }
    void printAndItsFailures()
    {
        const support::PrintWindowRun run = support::runPrintWindowRow(this, QStringLiteral("Modello di analisi"), [&](bool preview) {
            QTest::mouseClick(preview ? card()->cmdAnteprima : card()->cmdStampa, Qt::LeftButton);
        });
        QCOMPARE(run.seen.title,
                 run.preview ? QStringLiteral(" Anteprima di stampa") : QStringLiteral(" Stampa modello analisi"));
    }

private:
    TfrmParametri *card() const { return m_ws->frmParametri; }
    QLineEdit *field(const char *name) const { return card()->edit(QLatin1String(name)); }

    PreparedPage single(Outputs::Kind kind)
    {
        const QList<Outputs::Taken> taken = Outputs::taken();
        const bool ok = taken.size() == 1 && taken[0].kind == kind && taken[0].pages.size() == 1
            && taken[0].title == QStringLiteral("Modello di analisi");
        QTest::qVerify(ok, "one output of one page", "", __FILE__, __LINE__);
        return ok ? taken[0].pages[0] : PreparedPage{};
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Workspace> m_ws;
};

QTEST_MAIN(TestModelPrint)
#include "test_modelprint.moc"
