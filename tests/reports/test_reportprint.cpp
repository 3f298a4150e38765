// The printed test report: every object of the page at its place, the texts built from
// the card as it stands, the thirty result rows, the preview and print windows with
// their failure warnings, and letters drawn whole on paper (the logo in its frame is
// tested with the other documents that print it, in test_printedlogo).

#include "reports/frmstamparap.h"
#include "reports/limits.h"
#include "reports/reportsheet.h"
#include "storage/programfolder.h"
#include "storage/settings.h"
#include "storage/records.h"
#include "support/documenttexts.h"
#include "support/messages.h"
#include "support/printwindows.h"
#include "support/sheets.h"
#include "tools/render_ui.h"
#include "ui/logo.h"
#include "ui/seams.h"

#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using render::Placed;
using render::PreparedPage;
using support::linesOf;
using support::widthMm;

namespace {

QString two(int k)
{
    return QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
}

const char *const kColumns[] = {"txtParametro", "txtMetodo", "txtUM", "txtRisultato", "txtLimite"};

// Every field of the report record, padded with blanks: the values a typed card gives.
records::Values fullCard()
{
    return support::paddedCard(records::report());
}

// A page filled through the window's own document, without any window.
PreparedPage pageOf(const records::Values &card, const QImage &logo = logo::defaultPicture())
{
    const render::Template t = printing::fill(reports::reportSheet([card] { return card; }, &logo));
    const render::Prepared pages = render::prepareForOutput(t);
    return pages.size() == 1 ? pages[0] : PreparedPage{};
}

// A card with results against their limits: out of limit in rows 4, 17 and 20 (a long
// value), not decidable in row 6, text in row 18; and remarks of about `lines` lines.
records::Values resultsCard(int lines)
{
    records::Values card;
    const struct {
        int row;
        const char *result, *limit;
    } rows[] = {{4, "62", "50"},       {5, "7,2", "6,5 - 9,5"}, {6, "< 0,6", "0,50"},
                {17, "3", "0"},        {18, "accettabile", "accettabile"},
                {20, "1.234.567,25", "1000"}};
    for (const auto &r : rows) {
        card.set(QStringLiteral("txtParametro") + two(r.row), QStringLiteral("Parametro gjpqy"));
        card.set(reports::resultField(r.row), QString::fromUtf8(r.result));
        card.set(reports::limitField(r.row), QString::fromUtf8(r.limit));
    }
    // Capitals take three lines within the field's 250 characters.
    const QString sentence = QStringLiteral("Campione trasportato in condizioni refrigerate, gjpqy (4 gradi). ");
    QString remarks;
    while (remarks.size() < (lines == 3 ? 240 : 90 * lines))
        remarks += sentence;
    card.set(QStringLiteral("txtOsservazioni"), lines == 3 ? remarks.toUpper().left(250) : remarks.trimmed());
    return card;
}

// The page as printed before the option existed: the template filled with the texts.
PreparedPage plainPageOf(const records::Values &card, const QImage &logo = logo::defaultPicture())
{
    const render::Template t =
        printing::fill(LogoPrintWindow::document(reports::kSheetTemplate, [card] { return reports::sheetTexts(card); }, &logo));
    return render::prepareForOutput(t).value(0);
}

// A part of a sheet (millimetres of its printable area) drawn as on paper.
QImage drawnPart(const PreparedPage &page, const QRectF &mm, double dpi)
{
    const double dpmm = dpi / 25.4;
    QImage image(qCeil(mm.width() * dpmm), qCeil(mm.height() * dpmm), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-(page.margin + mm.left()) * dpmm, -(page.margin + mm.top()) * dpmm);
    render::paint(painter, page);
    return image;
}

void writeHighlight(const char *value)
{
    QFile ini(settings::filePath());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(QByteArray("[Stampa Rapporti]\r\nEvidenzia risultati fuori limite=") + value + "\r\n");
}

} // namespace

class TestReportPrint : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        ProgramFolder::setOverride(m_dir->path());
        Clock::setOverride(QDateTime(QDate(2025, 2, 28), QTime(17, 45, 9)));
        Messages::startRecording();
        Outputs::startRecording();
    }
    void cleanup()
    {
        Outputs::stopRecording();
        Messages::stopRecording();
        Clock::setOverride({});
        ProgramFolder::setOverride({});
    }

    // Every fixed object of the page: kind, place, font, shading, alignment, wrapping and
    // its literal text, spaces included.
    void pageLayoutInMillimetres()
    {
        const render::Prepared pages = render::prepareForOutput(render::Template::load(reports::kSheetTemplate));
        QCOMPARE(pages.size(), 1);
        const PreparedPage &page = pages[0];
        QCOMPARE(page.orientation, render::Orientation::Portrait);
        QCOMPARE(page.margin, 10.0);
        QCOMPARE(page.paper(), QSizeF(210, 297));

        using K = render::Kind;
        // one: no word wrap; mid: vertically centred; ctr: horizontally centred.
        const struct {
            const char *name;
            K kind;
            QRectF rect;
            double size;
            bool bold, one, mid, ctr;
            const char *fill;
            QString text;
        } objects[] = {
            {"imgLogo", K::Picture, {1.0, 1.0, 69.0, 39.0}, 0, false, false, false, false, "", {}},
            {"txtLaboratorio", K::Text, {75.0, 1.0, 115.0, 6.0}, 14, false, true, true, false, "", {}},
            {"txtIndirizzoLab", K::Text, {75.0, 7.6, 115.0, 4.0}, 8, false, true, false, false, "", {}},
            {"txtFiscale", K::Text, {75.0, 12.2, 115.0, 4.0}, 8, false, true, false, false, "", {}},
            {"txtEmail", K::Text, {75.0, 16.8, 115.0, 4.0}, 8, false, true, false, false, "", {}},
            {"txtLibero", K::Text, {75.0, 21.4, 115.0, 4.0}, 8, false, true, false, false, "", {}},
            {"shpNumFatt", K::Rectangle, {75.0, 27.0, 114.0, 13.0}, 0, false, false, false, false, "Lavender", {}},
            {"txtNumRap", K::Text, {78.0, 28.5, 108.0, 4.0}, 9, true, true, false, false, "", {}},
            {"txtData", K::Text, {78.0, 34.4, 108.0, 4.0}, 9, false, true, false, false, "", {}},
            {"txtAnalisi", K::Text, {1.0, 42.8, 188.0, 4.4}, 9, false, true, false, true, "Lavender", {}},
            {"Memo5", K::Text, {1.0, 49.0, 26.0, 4.0}, 8, false, false, false, false, "", QStringLiteral("COMMITTENTE:")},
            {"txtCliente", K::Text, {34.0, 49.0, 155.0, 4.0}, 8, false, true, false, false, "", {}},
            {"txtIndirizzoCli", K::Text, {34.0, 53.0, 155.0, 4.0}, 8, false, true, false, false, "", {}},
            {"txtFiscaleCli", K::Text, {34.0, 57.0, 155.0, 4.0}, 8, false, true, false, false, "", {}},
            {"txtCampione", K::Text, {1.0, 62.0, 188.0, 11.0}, 9, false, false, true, false, "Lavender", {}},
            {"Memo6", K::Text, {1.0, 74.0, 40.0, 3.0}, 8, false, false, false, false, "", QStringLiteral("Luogo prelievo:")},
            {"txtLuogoPrel", K::Text, {49.0, 74.0, 95.0, 3.0}, 8, false, true, false, false, "", {}},
            {"txtDataPrel", K::Text, {145.0, 74.0, 44.0, 3.0}, 8, false, true, false, false, "", {}},
            {"Memo7", K::Text, {1.0, 78.0, 40.0, 3.0}, 8, false, false, false, false, "",
             QStringLiteral("Campionamento a cura di:")},
            {"txtCura", K::Text, {49.0, 78.0, 140.0, 3.0}, 8, false, true, false, false, "", {}},
            {"Memo8", K::Text, {1.0, 82.0, 40.0, 3.0}, 8, false, false, false, false, "",
             QStringLiteral("Contenitore utilizzato:")},
            {"txtContenitore", K::Text, {49.0, 82.0, 140.0, 3.0}, 8, false, true, false, false, "", {}},
            {"Line1", K::Line, {1.0, 86.0, 188.0, 0.0}, 0, false, false, false, false, "", {}},
            {"txtDataRic", K::Text, {1.0, 87.0, 44.0, 3.0}, 8, false, true, false, false, "", {}},
            {"txtOraRic", K::Text, {49.0, 87.0, 44.0, 3.0}, 8, false, true, false, false, "", {}},
            {"txtDataInizio", K::Text, {97.0, 87.0, 44.0, 3.0}, 8, false, true, false, false, "", {}},
            {"txtDataFine", K::Text, {145.0, 87.0, 44.0, 3.0}, 8, false, true, false, false, "", {}},
            {"Shape1", K::Rectangle, {1.0, 91.0, 188.0, 134.0}, 0, false, false, false, false, "White", {}},
            {"Memo9", K::Text, {2.0, 92.0, 51.0, 4.0}, 8, false, false, false, true, "Lavender", QStringLiteral("PARAMETRO")},
            {"Memo10", K::Text, {54.0, 92.0, 72.0, 4.0}, 8, false, false, false, true, "Lavender",
             QStringLiteral("METODO DI PROVA")},
            {"Memo14", K::Text, {127.0, 92.0, 20.0, 4.0}, 8, false, false, false, true, "Lavender", QStringLiteral("U.M.")},
            {"Memo12", K::Text, {148.0, 92.0, 20.0, 4.0}, 8, false, false, false, true, "Lavender",
             QStringLiteral("RISULTATO")},
            {"Memo13", K::Text, {169.0, 92.0, 19.0, 4.0}, 8, false, false, false, true, "Lavender", QStringLiteral("LIMITE")},
            {"Line2", K::Line, {53.4, 91.0, 0.0, 134.0}, 0, false, false, false, false, "", {}},
            {"Line3", K::Line, {126.4, 91.0, 0.0, 134.0}, 0, false, false, false, false, "", {}},
            {"Line4", K::Line, {147.4, 91.0, 0.0, 134.0}, 0, false, false, false, false, "", {}},
            {"Line5", K::Line, {168.4, 91.0, 0.0, 134.0}, 0, false, false, false, false, "", {}},
            {"Shape21", K::Rectangle, {1.0, 227.0, 188.0, 5.8}, 0, false, false, false, false, "Lavender", {}},
            {"titAnnotazioni", K::Text, {2.0, 228.0, 185.8, 4.2}, 9, false, false, false, true, "",
             QStringLiteral("OSSERVAZIONI")},
            {"Shape22", K::Rectangle, {1.0, 233.0, 188.0, 13.0}, 0, false, false, false, false, "", {}},
            {"txtOsservazioni", K::Text, {2.0, 234.0, 185.9, 11.0}, 9, false, false, true, false, "", {}},
            {"Shape18", K::Rectangle, {1.0, 249.0, 103.0, 20.0}, 0, false, false, false, false, "", {}},
            {"Memo2", K::Text, {3.0, 251.4, 100.0, 4.0}, 8, false, true, false, false, "",
             QStringLiteral("I dati analitici si riferiscono esclusivamente al campione sottoposto a prova.")},
            {"Memo3", K::Text, {3.0, 258.4, 100.0, 4.0}, 8, false, true, false, false, "",
             QStringLiteral("Il presente rapporto di prova non pu\u00f2 essere riprodotto n\u00e9 integralmente")},
            {"Memo4", K::Text, {3.0, 262.4, 100.0, 4.0}, 8, false, true, false, false, "",
             QStringLiteral("n\u00e9 parzialmente senza il consenso scritto del Laboratorio.")},
            // 80 mm wide from 111 would end 1 mm inside the right margin: it ends at its edge.
            {"titFirmaCliente", K::Text, {111.0, 250.0, 79.0, 5.0}, 9, false, false, false, false, "",
             QStringLiteral("FIRMA DEL RESPONSABILE DI LABORATORIO")},
            {"Line11", K::Line, {111.0, 269.0, 78.0, 0.0}, 0, false, false, false, false, "", {}},
            {"titPrivacy", K::Text, {2.0, 271.0, 186.0, 3.8}, 7, false, true, false, false, "",
             QStringLiteral("I dati personali del committente saranno trattati nel rispetto della normativa sulla "
                            "privacy esclusivamente per l'erogazione del servizio e non saranno")},
            // 3.8 mm high from 274 would end 0.8 mm inside the bottom margin; its one line is 3.0 mm.
            {"Memo1", K::Text, {2.0, 274.0, 186.0, 3.0}, 7, false, true, false, false, "",
             QStringLiteral("forniti a terzi o utilizzati per l'invio di pubblicit\u00e0.")},
        };
        for (const auto &e : objects) {
            const Placed *p = page.find(QLatin1String(e.name));
            QVERIFY2(p, e.name);
            const render::Object &o = p->object;
            QVERIFY2(o.kind == e.kind, e.name);
            QCOMPARE(o.rect, e.rect);
            if (e.kind == K::Line)
                QCOMPARE(o.vertical, e.rect.width() == 0);
            if (e.kind == K::Rectangle) {
                QCOMPARE(o.fill, QLatin1String(e.fill));
                QCOMPARE(o.outline, QStringLiteral("Black"));
            }
            if (e.kind == K::Picture)
                QVERIFY(!o.centred);
            if (e.kind != K::Text)
                continue;
            QCOMPARE(o.font, QStringLiteral("Arial"));
            QCOMPARE(o.color, QStringLiteral("Black"));
            QCOMPARE(o.size, e.size);
            QCOMPARE(o.bold, e.bold);
            QCOMPARE(o.italic, false);
            QCOMPARE(o.wrap, !e.one);
            QCOMPARE(o.middle, e.mid);
            QCOMPARE(o.centred, e.ctr);
            QCOMPARE(o.fill, QLatin1String(e.fill));
            QCOMPARE(o.text, e.text);
            // A literal text shows whole, on one line, in its box.
            QCOMPARE(linesOf(page, o.name), e.text.isEmpty() ? QStringList() : QStringList{e.text});
            QVERIFY2(widthMm(o, e.text) <= o.rect.width() - 2 * render::kTextGap,
                     qPrintable(QStringLiteral("%1: %2 mm").arg(o.name).arg(widthMm(o, e.text))));
        }

        // Nothing else on the page but the 150 result cells; no print stamp.
        QCOMPARE(page.objects.size(), qsizetype(std::size(objects)) + 150);
        QVERIFY(!page.find(QStringLiteral("txtCalce")));
    }

    // The thirty rows, written once in the template, land in their boxes: five cells a
    // row 4.2 mm apart, each filled with the card cell of the same name.
    void resultCellsLandInTheirBoxes()
    {
        records::Values card;
        for (int k = 1; k <= 30; ++k)
            for (const char *c : kColumns)
                card.set(QLatin1String(c) + two(k), QStringLiteral(" %1 riga %2 ").arg(QLatin1String(c + 3)).arg(k));
        const PreparedPage page = pageOf(card);

        const struct {
            const char *column;
            double left, width;
            bool centred;
        } cells[] = {{"txtParametro", 2.0, 51.0, false}, {"txtMetodo", 54.0, 72.0, false},
                     {"txtUM", 127.0, 20.0, true},         {"txtRisultato", 148.0, 20.0, true},
                     {"txtLimite", 169.0, 20.0, true}};
        for (int k = 1; k <= 30; ++k) {
            for (const auto &c : cells) {
                const QString name = QLatin1String(c.column) + two(k);
                const Placed *p = page.find(name);
                QVERIFY2(p, qPrintable(name));
                QCOMPARE(p->object.rect, QRectF(c.left, 98.0 + 4.2 * (k - 1), c.width, 3.0));
                QCOMPARE(p->object.size, 8.0);
                QCOMPARE(p->object.centred, c.centred);
                QVERIFY(!p->object.wrap && !p->object.middle);
                QCOMPARE(linesOf(page, name),
                         QStringList{QStringLiteral("%1 riga %2").arg(QLatin1String(c.column + 3)).arg(k)});
            }
        }
        QCOMPARE(page.find(QStringLiteral("txtLimite30"))->object.rect.top(), 219.8);
        QVERIFY(!page.find(QStringLiteral("txtParametro31")) && !page.find(QStringLiteral("txtParametro00")));
    }

    // The combined lines, from a card with every field filled and from a card with none:
    // values trimmed, captions and separators with their exact spaces, kept when empty.
    void textsFromTheCard_data()
    {
        support::addTextRows({support::kDocumentHead,
                              {
                                  {"txtNumRap", "RAPPORTO DI PROVA N. txtNumRap", "RAPPORTO DI PROVA N. "},
                                  {"txtParametro01", "txtParametro01", ""},
                                  {"txtMetodo16", "txtMetodo16", ""},
                                  {"txtUM30", "txtUM30", ""},
                                  {"txtRisultato17", "txtRisultato17", ""},
                                  {"txtLimite02", "txtLimite02", ""},
                                  {"txtOsservazioni", "txtOsservazioni", ""},
                              }});
    }
    void textsFromTheCard()
    {
        QFETCH(bool, filled);
        QFETCH(QString, object);
        QFETCH(QString, text);
        const records::Values texts = reports::sheetTexts(filled ? fullCard() : records::Values{});
        QCOMPARE(texts.text(object), text);
    }

    // Every text the core builds names an object of the page and reaches it; the head
    // of the laboratory and the delivered flag are printed nowhere.
    void everyTextReachesThePage()
    {
        const records::Values card = fullCard();
        const records::Values texts = reports::sheetTexts(card);
        QCOMPARE(texts.all().size(), 20 + 150 + 1);
        const PreparedPage page = pageOf(card);
        for (auto it = texts.all().cbegin(); it != texts.all().cend(); ++it) {
            const Placed *p = page.find(it.key());
            QVERIFY2(p && p->object.kind == render::Kind::Text, qPrintable(it.key()));
            QCOMPARE(linesOf(page, it.key()).join(u' '), it.value());
        }
        for (const Placed &p : page.objects)
            for (const render::TextLine &l : p.lines)
                QVERIFY2(!l.text.contains(QStringLiteral("txtResponsabile")) && !l.text.contains(QStringLiteral("chkConsegnato"))
                             && !l.text.contains(QStringLiteral("lblFile")),
                         qPrintable(l.text));
    }

    // A long remark wraps inside its box; a long laboratory name stays on one line.
    void longTextsWrapOrNot()
    {
        records::Values card;
        const QString name = QStringLiteral("Laboratorio di analisi chimiche, microbiologiche e fisiche ") + QString(80, u'x');
        const QString remark = QStringLiteral("Il campione risulta conforme ai limiti di legge per tutti i parametri "
                                              "ricercati; si consiglia di ripetere il prelievo fra sei mesi per "
                                              "confermare l'andamento dei nitrati e della conducibilit\u00e0.");
        card.set(QStringLiteral("txtLaboratorio"), name);
        card.set(QStringLiteral("txtOsservazioni"), remark);
        const PreparedPage page = pageOf(card);
        QCOMPARE(linesOf(page, QStringLiteral("txtLaboratorio")), QStringList{name});
        const Placed *p = page.find(QStringLiteral("txtOsservazioni"));
        QCOMPARE(p->lines.size(), 2);
        QCOMPARE(linesOf(page, QStringLiteral("txtOsservazioni")).join(u' '), remark);
        for (const render::TextLine &l : p->lines) {
            QVERIFY(l.top >= p->object.rect.top());
            QVERIFY(l.top + p->pitch <= p->object.rect.bottom());
        }
    }

    // The card's Anteprima: the window with its texts, the preview at 100 %, the values
    // read when the user confirms, not when the window opens.
    void previewThroughTheWindow()
    {
        records::Values card;
        card.set(QStringLiteral("txtNumRap"), QStringLiteral("12/2025"));
        std::function<records::Values()> values = [&card] { return card; };

        const support::PrintWindowSeen seen = support::runPrintWindow(
            this, QStringLiteral("ok"), [&] { reports::openPreview(nullptr, values); },
            [&] { card.set(QStringLiteral("txtNumRap"), QStringLiteral("13/2025")); }); // edited, not saved
        QCOMPARE(seen.objectName, QStringLiteral("frmAnteprimaRap"));
        QCOMPARE(seen.title, QStringLiteral(" Anteprima di stampa"));
        QCOMPARE(seen.action, QStringLiteral("Mostra anteprima"));
        QCOMPARE(seen.logo, logo::defaultPicture());
        support::expectNone();

        const QList<Outputs::Taken> taken = Outputs::taken();
        QCOMPARE(taken.size(), 1);
        QCOMPARE(taken[0].kind, Outputs::Kind::Preview);
        QCOMPARE(taken[0].title, QStringLiteral("Rapporto di prova"));
        QCOMPARE(taken[0].zoom, 1.0);
        QCOMPARE(taken[0].pages.size(), 1);
        QCOMPARE(linesOf(taken[0].pages[0], QStringLiteral("txtNumRap")),
                 QStringList{QStringLiteral("RAPPORTO DI PROVA N. 13/2025")});

        // The engine's preview window opens at that zoom.
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
            return records::Values{};
        };
        const support::PrintWindowRun run = support::runPrintWindowRow(
            this, QStringLiteral("Rapporto di prova"),
            [&](bool preview) { preview ? reports::openPreview(nullptr, values) : reports::openPrint(nullptr, values); },
            [&] { QCOMPARE(asked, 0); }); // nothing is read before the user confirms
        QCOMPARE(run.seen.title,
                 run.preview ? QStringLiteral(" Anteprima di stampa") : QStringLiteral(" Stampa rapporto di prova"));
        QCOMPARE(run.seen.action, run.preview ? QStringLiteral("Mostra anteprima") : QStringLiteral("Stampa"));
        QCOMPARE(asked, run.step == QLatin1String("annulla") ? 0 : 1);
    }

    // With the printing option off, missing, or on for a card without results out of
    // limit, the page is the one printed before the option existed, object for object.
    void highlightOffPrintsAsBefore_data()
    {
        QTest::addColumn<QByteArray>("option"); // empty: no settings file
        QTest::addColumn<bool>("outOfLimit");
        QTest::newRow("no settings file") << QByteArray() << true;
        QTest::newRow("No") << QByteArray("No") << true;
        QTest::newRow("anything but S\u00ec") << QByteArray("si") << true;
        QTest::newRow("S\u00ec, nothing out of limit") << QByteArray("S\xec") << false;
    }
    void highlightOffPrintsAsBefore()
    {
        QFETCH(QByteArray, option);
        QFETCH(bool, outOfLimit);
        if (!option.isEmpty())
            writeHighlight(option.constData());
        records::Values card = resultsCard(2);
        if (!outOfLimit)
            for (int row : {4, 17, 20})
                card.set(reports::resultField(row), QStringLiteral("0"));
        const PreparedPage page = pageOf(card), before = plainPageOf(card);
        QCOMPARE(page.objects.size(), before.objects.size());
        for (qsizetype i = 0; i < page.objects.size(); ++i) {
            const Placed &p = page.objects[i], &b = before.objects[i];
            QCOMPARE(p.object.name, b.object.name);
            QCOMPARE(p.object.rect, b.object.rect);
            QCOMPARE(p.object.bold, b.object.bold);
            QCOMPARE(linesOf(page, p.object.name), linesOf(before, b.object.name));
        }
        QCOMPARE(QFile::exists(settings::filePath()), !option.isEmpty()); // reading made no file
    }

    // With the option on, a result out of its limit prints bold with its mark, a long one
    // with as much of the mark as its cell has room for; one line in 7 points explains
    // the mark in the remarks box under its text, or just under the box when the remarks
    // fill it. Nothing else changes place or text, and the note's ink falls on blank paper.
    void highlightOnMarksTheResults_data()
    {
        QTest::addColumn<int>("remarkLines");
        QTest::addColumn<bool>("inBox");
        QTest::newRow("no remarks") << 0 << true;
        QTest::newRow("one line of remarks") << 1 << true;
        QTest::newRow("two lines") << 2 << true;
        QTest::newRow("three lines: the box is full") << 3 << false;
    }
    void highlightOnMarksTheResults()
    {
        QFETCH(int, remarkLines);
        QFETCH(bool, inBox);
        writeHighlight("S\xec");
        const records::Values card = resultsCard(remarkLines);
        const PreparedPage page = pageOf(card), before = plainPageOf(card);
        QCOMPARE(linesOf(page, QStringLiteral("txtOsservazioni")).size(), remarkLines);

        // Every object of the page as before, in its place; the marked cells bold.
        QCOMPARE(page.objects.size(), before.objects.size() + 1);
        const QStringList marked{reports::resultField(4), reports::resultField(17), reports::resultField(20)};
        for (qsizetype i = 0; i < before.objects.size(); ++i) {
            const Placed &p = page.objects[i], &b = before.objects[i];
            QCOMPARE(p.object.name, b.object.name);
            QCOMPARE(p.object.rect, b.object.rect);
            QCOMPARE(p.object.bold, b.object.bold || marked.contains(p.object.name));
            if (!marked.contains(p.object.name))
                QCOMPARE(linesOf(page, p.object.name), linesOf(before, b.object.name));
        }
        QCOMPARE(linesOf(page, reports::resultField(4)), QStringList{QStringLiteral("62 (*)")});
        QCOMPARE(linesOf(page, reports::resultField(17)), QStringList{QStringLiteral("3 (*)")});
        // Too long for the whole mark: the value whole, with a shorter one.
        const Placed *wide = page.find(reports::resultField(20));
        const QString printed = wide->lines.value(0).text;
        QVERIFY2(printed.startsWith(QStringLiteral("1.234.567,25")) && printed.endsWith(u'*') && printed.size() < 16,
                 qPrintable(printed));
        for (const QString &name : marked) {
            const Placed *p = page.find(name);
            QVERIFY2(widthMm(p->object, p->lines.value(0).text) <= p->object.rect.width() - 2 * render::kTextGap,
                     qPrintable(name));
        }

        // The note: one line in 7 points, whole, where there is room for it.
        const Placed &note = page.objects.last();
        QCOMPARE(note.object.name, reports::kOutOfLimitNoteObject);
        QCOMPARE(note.object.size, 7.0);
        QVERIFY(!note.object.bold && !note.object.wrap);
        QCOMPARE(linesOf(page, note.object.name), QStringList{reports::kOutOfLimitNote});
        QVERIFY(widthMm(note.object, reports::kOutOfLimitNote) <= note.object.rect.width() - 2 * render::kTextGap);
        const QRectF box = page.find(QStringLiteral("Shape22"))->object.rect;
        const QRectF below = page.find(QStringLiteral("Shape18"))->object.rect;
        QCOMPARE(box.contains(note.object.rect), inBox);
        if (!inBox)
            QVERIFY(note.object.rect.top() >= box.bottom() - 0.3 && note.object.rect.bottom() <= below.top());

        // On paper at 600 dpi the note only darkens what was blank: it touches neither
        // the remarks nor the frames.
        PreparedPage without = page;
        without.objects.removeLast();
        const QRectF area(0, 225, 190, 25);
        drawnPart(page, area, 600); // the glyphs drawn once, so that both pictures take them alike
        const QImage with = drawnPart(page, area, 600), plain = drawnPart(without, area, 600);
        int changed = 0, overInk = 0;
        for (int y = 0; y < with.height(); ++y) {
            const QRgb *a = reinterpret_cast<const QRgb *>(with.constScanLine(y));
            const QRgb *b = reinterpret_cast<const QRgb *>(plain.constScanLine(y));
            for (int x = 0; x < with.width(); ++x) {
                if (a[x] == b[x])
                    continue;
                ++changed;
                if (qGray(b[x]) < 250)
                    ++overInk;
            }
        }
        QVERIFY(changed > 1000);
        QCOMPARE(overInk, 0);
    }

    // All thirty rows filled with words that reach below the line: on paper at 600 dpi
    // each cell shows its letters whole, tails of g, j, p, q, y included, and nothing of
    // a row reaches the next.
    void printedCellsKeepTheirDescenders()
    {
        records::Values card = fullCard();
        for (int k = 1; k <= 30; ++k)
            for (const char *c : kColumns)
                card.set(QLatin1String(c) + two(k), QStringLiteral("gjpqy"));
        const PreparedPage page = pageOf(card);
        const double dpi = 600;
        const double dpmm = dpi / 25.4;
        const QImage sheet = render::paintImage(page, dpi);

        // The sheet's pixels of an area given in millimetres of the printable area.
        auto pixels = [&](const QRectF &mm) {
            return QRect(qRound((10 + mm.left()) * dpmm), qRound((10 + mm.top()) * dpmm), qRound(mm.width() * dpmm),
                         qRound(mm.height() * dpmm));
        };
        // The lowest row with ink in the part r of an image that starts at origin.
        auto lowestInk = [](const QImage &image, const QRect &r, const QPoint &origin) {
            int lowest = -1;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (qGray(image.pixel(x - origin.x(), y - origin.y())) < 160)
                        lowest = y;
            return lowest;
        };
        for (int k : {1, 2, 15, 16, 29, 30}) {
            for (const char *c : kColumns) {
                const Placed *p = page.find(QLatin1String(c) + two(k));
                QVERIFY(p && p->lines.size() == 1);
                const QRectF box = p->object.rect;
                // From the top of the cell down to just above the next row.
                const QRect area = pixels(QRectF(box.left() + 0.3, box.top() - 0.5, box.width() - 0.6, 4.2 - 0.2));

                // The same line drawn alone, without any clipping: where its ink really ends.
                QImage alone(area.size(), QImage::Format_RGB32);
                alone.setDotsPerMeterX(sheet.dotsPerMeterX());
                alone.setDotsPerMeterY(sheet.dotsPerMeterY());
                alone.fill(Qt::white);
                {
                    QPainter painter(&alone);
                    painter.setRenderHint(QPainter::TextAntialiasing);
                    QFont font(p->object.font);
                    font.setPointSizeF(p->object.size);
                    painter.setFont(font);
                    painter.translate(-area.left() + 10 * dpmm, -area.top() + 10 * dpmm);
                    const QRectF slot((box.left() + render::kTextGap) * dpmm, p->lines[0].top * dpmm,
                                      (box.width() - 2 * render::kTextGap) * dpmm, p->pitch * dpmm);
                    painter.drawText(slot, (p->object.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter,
                                     p->lines[0].text);
                }
                const int expected = lowestInk(alone, area, area.topLeft());
                const int printed = lowestInk(sheet, area, QPoint(0, 0));
                const double boxBottom = (10 + box.bottom()) * dpmm;
                const QString where = QStringLiteral("%1%2: ink ends at %3 px, whole letters at %4 px, box at %5 px")
                                          .arg(QLatin1String(c), two(k))
                                          .arg(printed)
                                          .arg(expected)
                                          .arg(boxBottom);
                // The tails reach below the 3 mm box: cutting at the box would lose them.
                QVERIFY2(expected > boxBottom + 2, qPrintable(where));
                QVERIFY2(qAbs(printed - expected) <= 1, qPrintable(where));
            }
        }
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestReportPrint)
#include "test_reportprint.moc"
