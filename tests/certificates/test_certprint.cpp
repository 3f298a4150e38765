// The printed chemical-analysis certificate: the two pages with every object at its place,
// the texts built from the card as it stands (or from a stored record), the preview and
// print windows with their failure warnings, both faces proposed to the printer, and the
// question asked before a long text would be cut (the logo in its frame is tested with
// the other documents that print it, in test_printedlogo).

#include "certificates/certsheet.h"
#include "certificates/frmstampacer.h"
#include "storage/programfolder.h"
#include "storage/records.h"
#include "storage/textcodec.h"
#include "support/documenttexts.h"
#include "support/messages.h"
#include "support/printwindows.h"
#include "support/sheets.h"
#include "tools/render_ui.h"
#include "ui/logo.h"
#include "ui/seams.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using render::Placed;
using render::PreparedPage;
using support::linesOf;

namespace {

// Every field of the certificate record, padded with blanks: the values a typed card gives.
records::Values fullCard()
{
    return support::paddedCard(records::certificate());
}

// The two pages filled through the print window's own document, without any window.
render::Prepared pagesOf(const records::Values &card, PrintWindow::Output output = PrintWindow::Output::Print)
{
    static const QImage logo = logo::defaultPicture();
    return render::prepareForOutput(
        printing::fill(certificates::certificateSheet(output, [card] { return card; }, &logo)));
}

// n short lines, "riga 1" to "riga n".
QString numberedLines(int n)
{
    QStringList lines;
    for (int i = 1; i <= n; ++i)
        lines.append(QStringLiteral("riga %1").arg(i));
    return lines.join(u'\n');
}

// How many lines the box shows at most, as the engine lays it out.
int roomOf(const QString &box)
{
    records::Values card;
    card.set(box, numberedLines(200));
    for (const PreparedPage &page : pagesOf(card))
        if (const Placed *p = page.find(box))
            return int(p->lines.size());
    return 0;
}

} // namespace

class TestCertPrint : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        ProgramFolder::setOverride(m_dir->path());
        Messages::startRecording();
        Outputs::startRecording();
    }
    void cleanup()
    {
        Outputs::stopRecording();
        Messages::stopRecording();
        ProgramFolder::setOverride({});
    }

    // Every object of the front and the back: kind, place, font, colours, alignment,
    // wrapping and its literal text, spaces included. Nothing else is on the pages.
    void pagesLayoutInMillimetres()
    {
        const render::Prepared pages = render::prepareForOutput(render::Template::load(certificates::kSheetTemplate));
        QCOMPARE(pages.size(), 2);
        for (const PreparedPage &page : pages) {
            QCOMPARE(page.orientation, render::Orientation::Portrait);
            QCOMPARE(page.margin, 10.0);
            QCOMPARE(page.paper(), QSizeF(210, 297));
        }

        using K = render::Kind;
        enum { B = 1, I = 2, One = 4, Mid = 8, Ctr = 16 }; // bold, italic, no wrap, middle, centred
        const QString blue = QStringLiteral("CornflowerBlue");
        const QString beige = QStringLiteral("Beige");
        const QString black = QStringLiteral("Black");
        const QString white = QStringLiteral("White");
        const QString lavender = QStringLiteral("Lavender");
        const struct {
            int page;
            const char *name;
            K kind;
            QRectF rect;
            double size;
            int style;
            QString colour, fill, outline; // text or line colour; fill; rectangle frame
            QString text;
        } objects[] = {
            // The front.
            {1, "imgLogo", K::Picture, {1.0, 1.0, 69.0, 39.0}, 0, 0, {}, {}, {}, {}},
            {1, "txtLaboratorio", K::Text, {75.0, 1.0, 115.0, 6.0}, 14, Mid | One, black, {}, {}, {}},
            {1, "txtIndirizzoLab", K::Text, {75.0, 7.6, 115.0, 4.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtFiscale", K::Text, {75.0, 12.2, 115.0, 4.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtEmail", K::Text, {75.0, 16.8, 115.0, 4.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtLibero", K::Text, {75.0, 21.4, 115.0, 4.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "shpNumero", K::Rectangle, {75.0, 27.0, 114.0, 13.0}, 0, 0, {}, blue, blue, {}},
            {1, "txtNumRap", K::Text, {78.0, 28.2, 108.0, 4.8}, 10, B | One, white, {}, {}, {}},
            {1, "txtData", K::Text, {78.0, 34.4, 108.0, 4.0}, 9, B | One, white, {}, {}, {}},
            {1, "txtAnalisi", K::Text, {1.0, 42.8, 188.0, 4.4}, 9, Ctr | Mid | One, black, lavender, {}, {}},
            {1, "titCommittente", K::Text, {1.0, 49.0, 26.0, 4.0}, 8, Mid | One, black, {}, {},
             QStringLiteral("COMMITTENTE:")},
            {1, "txtCliente", K::Text, {34.0, 49.0, 155.0, 4.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtIndirizzoCli", K::Text, {34.0, 53.0, 155.0, 4.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtFiscaleCli", K::Text, {34.0, 57.0, 155.0, 4.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtCampione", K::Text, {1.0, 62.0, 188.0, 11.0}, 9, Mid, black, lavender, {}, {}},
            {1, "titLuogoPrel", K::Text, {1.0, 74.0, 40.0, 3.0}, 8, Mid | One, black, {}, {},
             QStringLiteral("Luogo prelievo:")},
            {1, "txtLuogoPrel", K::Text, {49.0, 74.0, 95.0, 3.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtDataPrel", K::Text, {145.0, 74.0, 44.0, 3.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "titCura", K::Text, {1.0, 78.0, 40.0, 3.0}, 8, Mid | One, black, {}, {},
             QStringLiteral("Campionamento a cura di:")},
            {1, "txtCura", K::Text, {49.0, 78.0, 140.0, 3.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "titContenitore", K::Text, {1.0, 82.0, 40.0, 3.0}, 8, Mid | One, black, {}, {},
             QStringLiteral("Contenitore utilizzato:")},
            {1, "txtContenitore", K::Text, {49.0, 82.0, 140.0, 3.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "linCampione", K::Line, {1.0, 86.0, 188.0, 0.0}, 0, 0, black, {}, {}, {}},
            {1, "txtDataRic", K::Text, {1.0, 87.8, 44.0, 3.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtOraRic", K::Text, {49.0, 87.8, 44.0, 3.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtDataInizio", K::Text, {97.0, 87.8, 44.0, 3.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "txtDataFine", K::Text, {145.0, 87.8, 44.0, 3.0}, 8, Mid | One, black, {}, {}, {}},
            {1, "shpMetodi", K::Rectangle, {1.0, 93.0, 188.0, 5.8}, 0, 0, {}, blue, blue, {}},
            {1, "titMetodi", K::Text, {2.0, 94.0, 186.0, 4.0}, 9, B | Mid | One, white, {}, {},
             QStringLiteral("METODI DI STUDIO, DI ESECUZIONE E DI ANALISI SEGUITI")},
            {1, "shpTestoMetodi", K::Rectangle, {1.0, 99.8, 188.0, 86.0}, 0, 0, {}, beige, beige, {}},
            {1, "txtMetodi", K::Text, {2.0, 101.0, 186.0, 84.0}, 9, 0, black, beige, {}, {}},
            {1, "shpMotivazione", K::Rectangle, {1.0, 189.0, 188.0, 5.8}, 0, 0, {}, blue, blue, {}},
            {1, "titMotivazione", K::Text, {2.0, 190.0, 186.0, 4.0}, 9, B | Mid | One, white, {}, {},
             QStringLiteral("MOTIVAZIONE DELLE SCELTE A BASE DELLE PROCEDURE SEGUITE")},
            {1, "shpTestoMotivazione", K::Rectangle, {1.0, 195.8, 188.0, 73.0}, 0, 0, {}, beige, beige, {}},
            {1, "txtMotivazione", K::Text, {2.0, 197.0, 186.0, 71.0}, 9, 0, black, beige, {}, {}},
            {1, "linPiede1", K::Line, {1.0, 271.0, 188.0, 0.0}, 0, 0, black, {}, {}, {}},
            {1, "titPagina1", K::Text, {1.0, 272.0, 188.0, 5.0}, 10, I | Ctr | Mid | One, black, {}, {},
             QStringLiteral("pagina 1 di 2")},
            // The back.
            {2, "shpAllegati", K::Rectangle, {1.0, 1.0, 188.0, 5.8}, 0, 0, {}, blue, blue, {}},
            {2, "titAllegati", K::Text, {2.0, 2.0, 186.0, 4.0}, 9, B | Mid | One, white, {}, {},
             QStringLiteral("RAPPORTI DI PROVA E ALTRI DOCUMENTI ALLEGATI")},
            {2, "shpTestoAllegati", K::Rectangle, {1.0, 7.8, 188.0, 86.0}, 0, 0, {}, beige, beige, {}},
            {2, "txtAllegati", K::Text, {2.0, 9.0, 186.0, 84.0}, 9, 0, black, beige, {}, {}},
            {2, "shpTempoDocu", K::Rectangle, {1.0, 97.0, 92.0, 5.8}, 0, 0, {}, blue, blue, {}},
            {2, "shpTempoCamp", K::Rectangle, {97.0, 97.0, 92.0, 5.8}, 0, 0, {}, blue, blue, {}},
            {2, "titTempoDocu", K::Text, {2.0, 98.0, 90.0, 4.0}, 9, B | Mid | One, white, {}, {},
             QStringLiteral("TEMPO CONSERVAZIONE DOCUMENTAZIONE")},
            {2, "titTempoCamp", K::Text, {98.0, 98.0, 90.0, 4.0}, 9, B | Mid | One, white, {}, {},
             QStringLiteral("TEMPO CONSERVAZIONE CAMPIONE DI CONTROLLO")},
            {2, "shpTestoTempoDocu", K::Rectangle, {1.0, 103.8, 92.0, 37.0}, 0, 0, {}, beige, beige, {}},
            {2, "shpTestoTempoCamp", K::Rectangle, {97.0, 103.8, 92.0, 37.0}, 0, 0, {}, beige, beige, {}},
            {2, "txtTempoDocu", K::Text, {2.0, 105.0, 90.0, 35.0}, 9, 0, black, beige, {}, {}},
            {2, "txtTempoCamp", K::Text, {98.0, 105.0, 90.0, 35.0}, 9, 0, black, beige, {}, {}},
            {2, "shpConclusioni", K::Rectangle, {1.0, 144.0, 188.0, 5.8}, 0, 0, {}, blue, blue, {}},
            {2, "titConclusioni", K::Text, {2.0, 145.0, 186.0, 4.0}, 9, B | Mid | One, white, {}, {},
             QStringLiteral("CONCLUSIONI E GIUDIZIO TECNICO")},
            {2, "shpTestoConclusioni", K::Rectangle, {1.0, 150.8, 188.0, 86.0}, 0, 0, {}, beige, beige, {}},
            {2, "txtConclusioni", K::Text, {2.0, 152.0, 186.0, 84.0}, 9, 0, black, beige, {}, {}},
            {2, "titFirma", K::Text, {111.0, 241.0, 78.0, 6.0}, 10, B | Ctr | Mid | One, black, {}, {},
             QStringLiteral("Firma del Responsabile di Laboratorio")},
            {2, "shpAvvertenze", K::Rectangle, {1.0, 243.0, 103.0, 20.0}, 0, 0, {}, {}, black, {}},
            {2, "titDatiAnalitici", K::Text, {3.0, 245.4, 100.0, 4.0}, 8, Mid | One, black, {}, {},
             QStringLiteral("I dati analitici si riferiscono esclusivamente al campione sottoposto a prova.")},
            {2, "titRiproduzione1", K::Text, {3.0, 252.4, 100.0, 4.0}, 8, Mid | One, black, {}, {},
             QStringLiteral("Il presente certificato di analisi chimica non pu\u00f2 essere riprodotto n\u00e9")},
            {2, "titRiproduzione2", K::Text, {3.0, 256.4, 100.0, 4.0}, 8, Mid | One, black, {}, {},
             QStringLiteral("integralmente n\u00e9 parzialmente senza il consenso scritto del Laboratorio.")},
            {2, "linFirma", K::Line, {111.0, 259.0, 78.0, 0.0}, 0, 0, black, {}, {}, {}},
            {2, "txtChimico", K::Text, {111.0, 260.0, 78.0, 5.0}, 9, Ctr | Mid | One, black, {}, {}, {}},
            {2, "txtOrdine", K::Text, {111.0, 265.0, 78.0, 5.0}, 9, Ctr | Mid | One, black, {}, {}, {}},
            {2, "linPiede2", K::Line, {1.0, 271.0, 188.0, 0.0}, 0, 0, black, {}, {}, {}},
            {2, "titPagina2", K::Text, {1.0, 272.0, 188.0, 5.0}, 10, I | Ctr | Mid | One, black, {}, {},
             QStringLiteral("pagina 2 di 2")},
        };
        qsizetype onPage[2] = {0, 0};
        for (const auto &e : objects) {
            ++onPage[e.page - 1];
            const Placed *p = pages[e.page - 1].find(QLatin1String(e.name));
            QVERIFY2(p, e.name);
            const render::Object &o = p->object;
            QVERIFY2(o.kind == e.kind, e.name);
            QCOMPARE(o.rect, e.rect);
            switch (e.kind) {
            case K::Picture:
                QVERIFY(!o.centred);
                continue;
            case K::Line:
                QVERIFY(!o.vertical);
                QCOMPARE(o.color, e.colour);
                continue;
            case K::Rectangle:
                QCOMPARE(o.fill, e.fill);
                QCOMPARE(o.outline, e.outline);
                continue;
            case K::Text:
                break;
            }
            QCOMPARE(o.font, QStringLiteral("Arial"));
            QCOMPARE(o.size, e.size);
            QCOMPARE(o.bold, bool(e.style & B));
            QCOMPARE(o.italic, bool(e.style & I));
            QCOMPARE(o.wrap, !(e.style & One));
            QCOMPARE(o.middle, bool(e.style & Mid));
            QCOMPARE(o.centred, bool(e.style & Ctr));
            QCOMPARE(o.color, e.colour);
            QCOMPARE(o.fill, e.fill);
            QCOMPARE(o.text, e.text);
            // A literal shows whole, on one line, inside its box.
            QCOMPARE(linesOf(pages[e.page - 1], o.name), e.text.isEmpty() ? QStringList() : QStringList{e.text});
            QVERIFY2(support::widthMm(o, e.text) <= o.rect.width() - 2 * render::kTextGap,
                     qPrintable(QStringLiteral("%1: %2 mm").arg(o.name).arg(support::widthMm(o, e.text))));
        }
        QCOMPARE(pages[0].objects.size(), onPage[0]);
        QCOMPARE(pages[1].objects.size(), onPage[1]);
        QVERIFY(!pages[0].find(QStringLiteral("txtCalce")) && !pages[1].find(QStringLiteral("txtCalce")));
    }

    // The combined lines, from a card with every field filled and from a card with none:
    // values trimmed, captions and separators with their exact spaces, kept when empty.
    void textsFromTheCard_data()
    {
        support::addTextRows({support::kDocumentHead,
                              {
                                  {"txtNumRap", "CERTIFICATO DI ANALISI CHIMICA N. txtNumRap",
                                   "CERTIFICATO DI ANALISI CHIMICA N. "},
                                  {"txtMetodi", "txtMetodi", ""},
                                  {"txtMotivazione", "txtMotivazione", ""},
                                  {"txtAllegati", "txtAllegati", ""},
                                  {"txtTempoDocu", "txtTempoDocu", ""},
                                  {"txtTempoCamp", "txtTempoCamp", ""},
                                  {"txtConclusioni", "txtConclusioni", ""},
                                  {"txtChimico", "txtChimico", ""},
                                  {"txtOrdine", "txtOrdine", ""},
                              }});
    }
    void textsFromTheCard()
    {
        QFETCH(bool, filled);
        QFETCH(QString, object);
        QFETCH(QString, text);
        const records::Values texts = certificates::sheetTexts(filled ? fullCard() : records::Values{});
        QCOMPARE(texts.text(object), text);
        QCOMPARE(texts.all().size(), 28);
    }

    // Every text reaches its object on its page; what the certificate does not print (the
    // delivered flag, the attachments) appears nowhere.
    void everyTextReachesItsPage()
    {
        const records::Values card = fullCard();
        const records::Values texts = certificates::sheetTexts(card);
        const render::Prepared pages = pagesOf(card);
        QCOMPARE(pages.size(), 2);
        const QStringList back{QStringLiteral("txtAllegati"), QStringLiteral("txtTempoDocu"),
                               QStringLiteral("txtTempoCamp"), QStringLiteral("txtConclusioni"),
                               QStringLiteral("txtChimico"), QStringLiteral("txtOrdine")};
        for (auto it = texts.all().cbegin(); it != texts.all().cend(); ++it) {
            const int page = back.contains(it.key()) ? 1 : 0;
            const Placed *p = pages[page].find(it.key());
            QVERIFY2(p && p->object.kind == render::Kind::Text, qPrintable(it.key()));
            QVERIFY2(!pages[1 - page].find(it.key()), qPrintable(it.key()));
            QCOMPARE(linesOf(pages[page], it.key()).join(u' '), it.value());
        }
        for (const PreparedPage &page : pages)
            for (const Placed &p : page.objects)
                for (const render::TextLine &l : p.lines)
                    QVERIFY2(!l.text.contains(QStringLiteral("chkConsegnato")) && !l.text.contains(QStringLiteral("lblFile"))
                                 && !l.text.contains(QStringLiteral("lblDesc")),
                             qPrintable(l.text));
    }

    // Long texts keep their line breaks, typed ("\n") or stored (CR LF), and wrap inside
    // their box; a long laboratory name stays on one line.
    void longTextsKeepTheirLines()
    {
        records::Record stored(records::certificate());
        const QString methods = QStringLiteral("Campionamento secondo la norma vigente.\r\n\r\nDeterminazione dei "
                                               "nitrati per cromatografia ionica, dei metalli per spettrometria di "
                                               "massa a plasma accoppiato induttivamente e dei parametri "
                                               "microbiologici per filtrazione su membrana.\r\nFine.\r\n");
        stored.setText(QStringLiteral("txtMetodi"), methods);
        const QString name = QStringLiteral("Laboratorio di analisi chimiche, microbiologiche e fisiche ") + QString(60, u'x');
        stored.setText(QStringLiteral("txtLaboratorio"), name);
        records::Values card = records::Values::of(stored);
        QVERIFY(card.text(QStringLiteral("txtMetodi")).contains(QStringLiteral("\r\n"))); // as stored
        card.set(QStringLiteral("txtConclusioni"), QStringLiteral("Conforme.\nNessuna osservazione."));

        const records::Values texts = certificates::sheetTexts(card);
        QCOMPARE(texts.text(QStringLiteral("txtMetodi")), text::trim(methods).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

        const render::Prepared pages = pagesOf(card);
        const QStringList lines = linesOf(pages[0], QStringLiteral("txtMetodi"));
        QVERIFY2(lines.size() >= 5, qPrintable(lines.join(u'|'))); // the long paragraph wraps
        QCOMPARE(lines[0], QStringLiteral("Campionamento secondo la norma vigente."));
        QCOMPARE(lines[1], QString());
        QVERIFY(lines[2].startsWith(QStringLiteral("Determinazione dei nitrati")));
        QCOMPARE(lines.last(), QStringLiteral("Fine."));
        QCOMPARE(linesOf(pages[1], QStringLiteral("txtConclusioni")),
                 (QStringList{QStringLiteral("Conforme."), QStringLiteral("Nessuna osservazione.")}));
        QCOMPARE(linesOf(pages[0], QStringLiteral("txtLaboratorio")), QStringList{name});
    }

    // The card's Anteprima: the values read when the user confirms, the preview at 100 %
    // with the chemist's lines at the preview's places.
    void previewThroughTheWindow()
    {
        records::Values card;
        card.set(QStringLiteral("txtNumRap"), QStringLiteral("7/2025"));
        card.set(QStringLiteral("txtChimico"), QStringLiteral("Dott.ssa Maria Rossi"));
        std::function<records::Values()> values = [&card] { return card; };

        const support::PrintWindowSeen seen = support::runPrintWindow(
            this, QStringLiteral("ok"), [&] { certificates::openPreview(nullptr, values); },
            [&] { card.set(QStringLiteral("txtNumRap"), QStringLiteral("8/2025")); }); // edited, not saved
        QCOMPARE(seen.logo, logo::defaultPicture()); // no Logo.bmp: the built-in picture
        support::expectNone();

        const QList<Outputs::Taken> taken = Outputs::taken();
        QCOMPARE(taken.size(), 1);
        QCOMPARE(taken[0].zoom, 1.0);
        QCOMPARE(taken[0].sides, render::Sides::Two); // for the preview's own print button
        QCOMPARE(taken[0].pages.size(), 2);
        QCOMPARE(linesOf(taken[0].pages[0], QStringLiteral("txtNumRap")),
                 QStringList{QStringLiteral("CERTIFICATO DI ANALISI CHIMICA N. 8/2025")});
        QCOMPARE(linesOf(taken[0].pages[1], QStringLiteral("txtChimico")),
                 QStringList{QStringLiteral("Dott.ssa Maria Rossi")});
        QCOMPARE(taken[0].pages[1].find(QStringLiteral("txtChimico"))->object.rect, QRectF(111.0, 259.4, 78.0, 5.0));
        QCOMPARE(taken[0].pages[1].find(QStringLiteral("txtOrdine"))->object.rect, QRectF(111.0, 264.4, 78.0, 5.0));

        // The engine's preview window opens at that zoom, with both pages.
        support::expectPreviewAsTaken(taken[0]);
    }

    void printAndItsFailures_data()
    {
        support::printWindowRows();
    }
    void printAndItsFailures()
    {
        int asked = 0;
        const auto values = [&asked] {
            ++asked;
            return fullCard();
        };
        const support::PrintWindowRun run = support::runPrintWindowRow(
            this, QStringLiteral("Certificato di analisi chimica"),
            [&](bool preview) { preview ? certificates::openPreview(nullptr, values) : certificates::openPrint(nullptr, values); },
            [&] { QCOMPARE(asked, 0); }); // nothing is read before the user confirms
        const bool preview = run.preview;
        QCOMPARE(run.seen.objectName, preview ? QStringLiteral("frmAnteprimaCer") : QStringLiteral("frmStampaCer"));
        QCOMPARE(run.seen.title, preview ? QStringLiteral(" Anteprima di stampa") : QStringLiteral(" Stampa certificato di analisi"));
        QCOMPARE(run.seen.action, preview ? QStringLiteral("Mostra anteprima") : QStringLiteral("Stampa"));
        QCOMPARE(asked, run.step == QLatin1String("annulla") ? 0 : 1);

        if (run.output) {
            const Outputs::Taken &taken = *run.output;
            QCOMPARE(taken.sides, render::Sides::Two);
            // Always the two pages, each with its page text; the chemist where each copy puts him.
            QCOMPARE(taken.pages.size(), 2);
            QCOMPARE(linesOf(taken.pages[0], QStringLiteral("titPagina1")), QStringList{QStringLiteral("pagina 1 di 2")});
            QCOMPARE(linesOf(taken.pages[1], QStringLiteral("titPagina2")), QStringList{QStringLiteral("pagina 2 di 2")});
            QCOMPARE(taken.pages[1].find(QStringLiteral("txtChimico"))->object.rect.top(), preview ? 259.4 : 260.0);
            QCOMPARE(taken.pages[1].find(QStringLiteral("txtOrdine"))->object.rect.top(), preview ? 264.4 : 265.0);
        }
    }

    // A long text that its box would cut is named before any output, by the caption the
    // card gives its field; Yes goes on with the cut text, No outputs nothing. A text
    // that fits, to its last line, asks nothing.
    void textsThatWouldBeCutAreAskedAbout_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("extra"); // lines beyond what the box shows
        QTest::addColumn<bool>("yes");
        for (const bool preview : {false, true}) {
            const char *kind = preview ? "preview" : "print";
            QTest::addRow("%s: methods to the last line", kind) << preview << "txtMetodi" << 0 << true;
            QTest::addRow("%s: methods one line more, Yes", kind) << preview << "txtMetodi" << 1 << true;
            QTest::addRow("%s: methods one line more, No", kind) << preview << "txtMetodi" << 1 << false;
            QTest::addRow("%s: documentation time to the last line", kind) << preview << "txtTempoDocu" << 0 << true;
            QTest::addRow("%s: documentation time one line more, No", kind) << preview << "txtTempoDocu" << 1 << false;
        }
    }
    void textsThatWouldBeCutAreAskedAbout()
    {
        QFETCH(bool, preview);
        QFETCH(QString, field);
        QFETCH(int, extra);
        QFETCH(bool, yes);
        const int room = roomOf(field);
        QVERIFY(room > 5);
        records::Values card;
        card.set(field, numberedLines(room + extra));
        Messages::queueAnswer(yes);

        if (preview) {
            TfrmAnteprimaCer window(nullptr, [&card] { return card; });
            window.show();
            QTest::mouseClick(window.btnStampa, Qt::LeftButton);
        } else {
            TfrmStampaCer window(nullptr, [&card] { return card; });
            window.show();
            QTest::mouseClick(window.btnStampa, Qt::LeftButton);
        }

        const QString caption = field == QLatin1String("txtMetodi")
                                    ? QStringLiteral("Metodi di studio, di esecuzione e di analisi seguiti")
                                    : QStringLiteral("Tempo di conservazione della documentazione");
        if (extra)
            support::expectOne(Messages::Kind::Question,
                               QStringLiteral("Attenzione: il testo dei campi seguenti \u00e8 pi\u00f9 lungo dello "
                                              "spazio che il documento gli riserva e non comparirebbe per intero:\n\n- ")
                                   + caption + QStringLiteral("\n\nSi desidera proseguire comunque?"));
        else
            support::expectNone();

        const QList<Outputs::Taken> taken = Outputs::taken();
        QCOMPARE(taken.size(), !extra || yes ? 1 : 0);
        if (!taken.isEmpty()) {
            // The box keeps its size: the certificate stays two pages, cut at the box.
            QCOMPARE(taken[0].pages.size(), 2);
            const int page = field == QLatin1String("txtMetodi") ? 0 : 1;
            QCOMPARE(linesOf(taken[0].pages[page], field).size(), room);
            QCOMPARE(linesOf(taken[0].pages[page], field).last(), QStringLiteral("riga %1").arg(room));
        }
    }

    // Every box too short for its text is named, in the order of the card; a single
    // paragraph that wraps beyond the box counts as well.
    void everyCutTextIsNamed()
    {
        records::Values card = fullCard();
        QString paragraph;
        while (paragraph.size() < 3000)
            paragraph += QStringLiteral("Il campione \u00e8 stato conservato a quattro gradi. ");
        for (const char *memo : {"txtConclusioni", "txtAllegati", "txtTempoCamp", "txtMotivazione"})
            card.set(QLatin1String(memo), paragraph);
        card.set(QStringLiteral("txtMetodi"), QStringLiteral("Breve."));

        Messages::queueAnswer(false);
        TfrmStampaCer window(nullptr, [&card] { return card; });
        window.show();
        QTest::mouseClick(window.btnStampa, Qt::LeftButton);
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Messages::Kind::Question);
        const QStringList named = shown[0].text.split(u'\n').filter(QRegularExpression(QStringLiteral("^- ")));
        QCOMPARE(named, (QStringList{QStringLiteral("- Motivazione delle scelte a base delle procedure seguite"),
                                     QStringLiteral("- Rapporti di prova e altri documenti allegati"),
                                     QStringLiteral("- Tempo di conservazione del campione di controllo"),
                                     QStringLiteral("- Conclusioni e giudizio tecnico")}));
        QVERIFY(Outputs::taken().isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestCertPrint)
#include "test_certprint.moc"
