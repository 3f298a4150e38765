// The rendering engine: templates as data, layout in millimetres, band splitting, the
// summary listing, pictures, the preview window and PDF files.

#include "ui/seams.h"
#include "storage/programfolder.h"
#include "ui/listing.h"
#include "tools/render_ui.h"
#include "support/environment.h"
#include "support/scratchfs.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFontMetricsF>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

using namespace render;

namespace {

// A small page with one object of every kind.
const QByteArray kFixture = R"({
  "name": "Prova",
  "pages": [ { "objects": [
    { "name": "txtUna", "kind": "text", "left": 10, "top": 20, "width": 30, "height": 6, "size": 10, "wrap": false },
    { "name": "txtMolte", "kind": "text", "left": 50, "top": 20, "width": 40, "height": 9, "size": 10 },
    { "name": "txtMezzo", "kind": "text", "left": 10, "top": 40, "width": 60, "height": 10, "size": 10,
      "align": "centre", "valign": "middle", "wrap": false },
    { "name": "imgLogo", "kind": "picture", "left": 1, "top": 1, "width": 69, "height": 39 },
    { "name": "shpBox", "kind": "rectangle", "left": 0, "top": 100, "width": 20, "height": 10, "fill": "Lavender" },
    { "name": "linRiga", "kind": "line", "left": 0, "top": 120, "width": 50 }
  ] } ]
})";

// Rows written once with repeat entries: named, unnamed, down and across.
const QByteArray kRows = R"({ "name": "Righe", "pages": [ { "objects": [
  { "name": "titTesta", "kind": "text", "left": 1, "top": 1, "width": 20, "height": 4 },
  { "repeat": 12, "down": 4.2, "objects": [
    { "name": "txtA##", "kind": "text", "left": 2, "top": 98, "width": 51, "height": 3, "size": 8,
      "wrap": false, "align": "centre" },
    { "name": "shpB###x", "kind": "rectangle", "left": 54, "top": 98, "width": 72, "height": 3 },
    { "kind": "line", "left": 2, "top": 101.5, "width": 124 } ] },
  { "repeat": 3, "across": 10.1, "down": 0.5, "objects": [
    { "name": "imgC#", "kind": "picture", "left": 150, "top": 1, "width": 9, "height": 9 } ] }
] } ] })";

#define ROW R"("objects": [ { "name": "txtA##", "kind": "text", "width": 3, "height": 3 } ])"
const std::pair<const char *, const char *> kBadRepeats[] = {
    {"no count", R"({ "down": 4, )" ROW " }"},
    {"count zero", R"({ "repeat": 0, )" ROW " }"},
    {"count not whole", R"({ "repeat": 2.5, )" ROW " }"},
    {"count as text", R"({ "repeat": "30", )" ROW " }"},
    {"negative step", R"({ "repeat": 2, "down": -4, )" ROW " }"},
    {"unknown key", R"({ "repeat": 2, "dwon": 4, )" ROW " }"},
    {"no objects", R"({ "repeat": 2, "down": 4, "objects": [] })"},
    {"a name without #", R"({ "repeat": 2, "objects": [ { "name": "txtA", "kind": "text" } ] })"},
    {"a bad object inside", R"({ "repeat": 2, "objects": [ { "name": "txtA#", "wdth": 3 } ] })"},
};
#undef ROW

QString numbered(int i)
{
    return QStringLiteral("Riga %1 [DATE] <b>grassetto</b> ").arg(i, 3, 10, QLatin1Char('0')) + QString(20, u'.');
}

// Lines of a placed text box that lie on the sheet, in order.
QStringList textOf(const Placed *p)
{
    QStringList out;
    if (p)
        for (const TextLine &l : p->lines)
            out.append(l.text);
    return out;
}

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Sheets that say which they are: "Foglio 1", "Foglio 2", ...
Prepared numberedSheets(int n)
{
    Prepared pages;
    for (int i = 1; i <= n; ++i) {
        Template t = Template::fromJson(kFixture, QStringLiteral("prova"));
        t.setText(QStringLiteral("txtMezzo"), QStringLiteral("Foglio %1").arg(i));
        pages += prepareForOutput(t);
    }
    return pages;
}

// The numbers of the sheets of a printed PDF, in order ("1213").
QString sheetsIn(const QString &pdf)
{
    QString out;
    static const QRegularExpression sheet(QStringLiteral("Foglio (\\d+)"));
    const QString text = run(tool("pdftotext"), {pdf, QStringLiteral("-")});
    for (const QString &page : text.split(u'\f'))
        if (const QRegularExpressionMatch m = sheet.match(page); m.hasMatch())
            out += m.captured(1);
    return out;
}

} // namespace

class TestRender : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Messages::startRecording();
        Outputs::startRecording();
        Clock::setOverride(QDateTime(QDate(2024, 3, 5), QTime(9, 7, 5)));
    }
    void cleanup()
    {
        Messages::stopRecording();
        Outputs::stopRecording();
        Clock::setOverride({});
    }

    // Every template compiled in reads, and says only what can be drawn: known colours,
    // unique names, objects inside the printable area.
    void builtInTemplatesAreSound()
    {
        QStringList names;
        for (QDirIterator it(QStringLiteral(":/templates")); it.hasNext();)
            names.append(QFileInfo(it.next()).completeBaseName());
        QVERIFY(names.contains(QStringLiteral("listing")));
        for (const QString &name : names) {
            const Template t = Template::load(name);
            auto check = [&](const Object &o, const QSizeF &room) {
                const QString where = name + u'/' + o.name;
                for (const QString &c : {o.color, o.fill, o.outline})
                    QVERIFY2(c.isEmpty() || QColor::isValidColorName(c), qPrintable(where + u' ' + c));
                QVERIFY2(o.rect.right() <= room.width() + 1e-9, qPrintable(where));
                QVERIFY2(room.height() == 0 || o.rect.bottom() <= room.height() + 1e-9, qPrintable(where));
            };
            for (const Page &p : t.pages) {
                for (const Object &o : p.objects)
                    check(o, p.printable());
                for (const Band &b : p.bands)
                    for (const Object &o : b.objects)
                        check(o, QSizeF(p.printable().width(), 0));
            }
        }
    }

    // Rows of alike objects written once: each copy a step further down (or across),
    // numbered in its name with as many digits as the name has '#'.
    void repeatedRowsAreWrittenOnce()
    {
        const Template t = Template::fromJson(kRows, QStringLiteral("righe"));
        const QList<Object> &objects = t.pages[0].objects;
        QCOMPARE(objects.size(), 1 + 12 * 3 + 3);
        QCOMPARE(objects[0].name, QStringLiteral("titTesta"));
        for (int k = 1; k <= 12; ++k) {
            const Object &a = t.object(QStringLiteral("txtA%1").arg(k, 2, 10, QLatin1Char('0')));
            QCOMPARE(a.rect, QRectF(2, 98 + 4.2 * (k - 1), 51, 3));
            QCOMPARE(a.size, 8.0);
            QVERIFY(!a.wrap && a.centred);
            const Object &b = t.object(QStringLiteral("shpB%1x").arg(k, 3, 10, QLatin1Char('0')));
            QCOMPARE(b.kind, Kind::Rectangle);
            QCOMPARE(b.rect, QRectF(54, 98 + 4.2 * (k - 1), 72, 3));
            QCOMPARE(objects[1 + 3 * (k - 1) + 2].rect.top(), 101.5 + 4.2 * (k - 1)); // the unnamed line
        }
        // Sums of steps land exactly on the millimetre the template means.
        QCOMPARE(t.object(QStringLiteral("txtA12")).rect.top(), 144.2);
        QCOMPARE(t.object(QStringLiteral("imgC3")).rect, QRectF(170.2, 2, 9, 9));
        QVERIFY_THROWS_EXCEPTION(RenderError, t.object(QStringLiteral("txtA13")));
    }

    void malformedRepeatsFail_data()
    {
        QTest::addColumn<QByteArray>("repeat");
        for (const auto &[tag, json] : kBadRepeats)
            QTest::newRow(tag) << QByteArray(json);
    }
    void malformedRepeatsFail()
    {
        QFETCH(QByteArray, repeat);
        // The "no count" entry is no repeat at all: an object with unknown keys.
        const QByteArray json = "{ \"name\": \"Righe\", \"pages\": [ { \"objects\": [ " + repeat + " ] } ] }";
        QVERIFY_THROWS_EXCEPTION(RenderError, Template::fromJson(json, QStringLiteral("righe")));
    }

    // Templates that the reader once took and that never finished laying out (a margin
    // leaving no printable area, a band of a billion millimetres) or that asked for
    // millions of objects through repeats inside repeats: refused when read, with the
    // Italian message; the largest accepted values still lay out.
    void oversizedTemplatesFail_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("margin beyond the sheet") << QByteArray(R"({ "margin": 150, "bands": [ { "name": "b", "height": 10 } ] })");
        QTest::newRow("margin leaving a sliver") << QByteArray(R"({ "margin": 104.99, "bands": [ { "name": "b", "height": 10 } ] })");
        QTest::newRow("band of a billion mm") << QByteArray(R"({ "bands": [ { "name": "b", "height": 1e9 } ] })");
        QTest::newRow("band of ten metres") << QByteArray(R"({ "bands": [ { "name": "b", "height": 10000 } ] })");
        QTest::newRow("object far away") << QByteArray(R"({ "objects": [ { "name": "t", "top": 1e300 } ] })");
        QTest::newRow("font of a kilometre") << QByteArray(R"({ "objects": [ { "name": "t", "size": 1e7 } ] })");
        QTest::newRow("repeats inside repeats")
            << QByteArray(R"({ "objects": [ { "repeat": 1000, "objects": [ { "repeat": 1000, "objects": [ { "kind": "line" } ] } ] } ] })");
        QTest::newRow("many repeats side by side")
            << QByteArray(R"({ "objects": [ { "repeat": 400, "objects": [ { "repeat": 10, "objects": [ { "kind": "line" } ] } ] },)"
                          R"( { "repeat": 400, "objects": [ { "repeat": 10, "objects": [ { "kind": "line" } ] } ] },)"
                          R"( { "repeat": 1, "objects": [ { "kind": "line" } ] } ] })");
    }
    void oversizedTemplatesFail()
    {
        QFETCH(QByteArray, page);
        const QByteArray json = R"({ "name": "Grande", "pages": [ )" + page + " ] }";
        try {
            Template::fromJson(json, QStringLiteral("grande"));
            QFAIL("the template was read");
        } catch (const RenderError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Il modello di stampa \"grande\" non \u00e8 valido")),
                     qPrintable(e.message()));
        }
    }
    void largestAcceptedTemplateLaysOut()
    {
        const Template t = Template::fromJson(
            R"({ "name": "Grande", "pages": [ { "orientation": "landscape", "margin": 50, "objects": [)"
            R"( { "repeat": 1000, "down": 1000, "objects": [ { "repeat": 4, "objects": [ { "kind": "line" } ] } ] } ],)"
            R"( "bands": [ { "name": "b", "height": 1000, "objects": [ { "name": "t", "height": 1000, "size": 1000 } ] } ] } ] })",
            QStringLiteral("grande"));
        QCOMPARE(t.pages[0].objects.size(), 4000);
        // A metre of band on sheets with 110 mm of printable height.
        QCOMPARE(prepare(t).size(), 10);
    }

    // A box does not grow: its first line always shows, each further line when the middle
    // of its slot is still inside the box; a shown line is drawn whole, cut by the box at
    // its sides only.
    void linesShownAreDrawnWhole_data()
    {
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("lines");
        const double pitch = pointsToMm(10 * 1.2);
        QTest::newRow("two lines and a sliver: two") << 2 * pitch + 0.4 << 2;
        QTest::newRow("just under the third line's middle: two") << 2.5 * pitch - 0.01 << 2;
        QTest::newRow("the third line's middle inside: three") << 2.5 * pitch + 0.01 << 3;
        QTest::newRow("one line taller than the box: one") << 1.5 << 1;
    }
    void linesShownAreDrawnWhole()
    {
        QFETCH(double, height);
        QFETCH(int, lines);
        Template t = Template::fromJson(kFixture, QStringLiteral("prova"));
        t.setHeight(QStringLiteral("txtMolte"), height);
        t.setText(QStringLiteral("txtMolte"), QStringLiteral("gjpqy\ngjpqy\ngjpqy\ngjpqy"));
        const PreparedPage page = prepareForOutput(t).first();
        const Placed *box = page.find(QStringLiteral("txtMolte"));
        QCOMPARE(box->lines.size(), lines);

        // The ink of the last shown line ends where its letters end, below the box when
        // the line is taller than what is left of it.
        const double dpi = 300, dpmm = dpi / 25.4;
        const QImage image = paintImage(page, dpi);
        int lowest = -1;
        for (int y = qRound((10 + 20) * dpmm); y < qRound((10 + 20 + 4 * 4.3) * dpmm); ++y)
            for (int x = qRound((10 + 51) * dpmm); x < qRound((10 + 89) * dpmm); ++x)
                if (qGray(image.pixel(x, y)) < 160)
                    lowest = y;
        const double lastSlotBottom = (10 + box->lines.last().top + box->pitch) * dpmm;
        const double descent = QFontMetricsF(QFont(QStringLiteral("Arial"), 10), &image).descent();
        QVERIFY2(lowest > lastSlotBottom - 2 * descent && lowest <= lastSlotBottom,
                 qPrintable(QStringLiteral("ink to %1 px, last slot ends at %2 px").arg(lowest).arg(lastSlotBottom)));
    }

    void malformedTemplatesAndMissingNamesFail()
    {
        QVERIFY_THROWS_EXCEPTION(RenderError, Template::fromJson("{ \"pages\": [ { \"objects\": [ "
                                                                 "{ \"name\": \"a\", \"kind\": \"text\", \"wdth\": 3 } ] } ] }",
                                                                 QStringLiteral("prova")));
        QVERIFY_THROWS_EXCEPTION(RenderError, Template::fromJson("{ \"pages\": [ { \"objects\": [ "
                                                                 "{ \"name\": \"a\" }, { \"name\": \"a\" } ] } ] }",
                                                                 QStringLiteral("prova")));
        QVERIFY_THROWS_EXCEPTION(RenderError, Template::load(QStringLiteral("inesistente")));

        Template t = Template::fromJson(kFixture, QStringLiteral("prova"));
        try {
            t.setText(QStringLiteral("txtNessuno"), QStringLiteral("x"));
            QFAIL("a missing object must fail");
        } catch (const RenderError &e) {
            QVERIFY(e.message().contains(QStringLiteral("txtNessuno")));
        }
        QVERIFY_THROWS_EXCEPTION(RenderError, t.setText(QStringLiteral("shpBox"), QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(RenderError, t.setHeight(QStringLiteral("linRiga"), 3));
    }

    // Objects land where the template puts them and never grow; text is taken literally;
    // one-line boxes stay on one line, wrapping boxes wrap within their width.
    void layoutKeepsGeometryAndText()
    {
        Template t = Template::fromJson(kFixture, QStringLiteral("prova"));
        const QString longText = QStringLiteral("[DATE] <b>non grassetto</b> ") + QString(200, u'x');
        t.setText(QStringLiteral("txtUna"), longText);
        t.setText(QStringLiteral("txtMolte"), QStringLiteral("uno due tre quattro cinque sei sette otto nove dieci "
                                                             "undici dodici tredici quattordici quindici sedici"));
        t.setText(QStringLiteral("txtMezzo"), QStringLiteral("centro"));
        const Prepared pages = prepareForOutput(t);
        QCOMPARE(pages.size(), 1);
        const PreparedPage &page = pages.first();
        QCOMPARE(page.paper(), QSizeF(210, 297));

        const struct {
            const char *name;
            QRectF rect;
        } where[] = {
            {"txtUna", {10, 20, 30, 6}},  {"txtMolte", {50, 20, 40, 9}}, {"txtMezzo", {10, 40, 60, 10}},
            {"imgLogo", {1, 1, 69, 39}},  {"shpBox", {0, 100, 20, 10}},  {"linRiga", {0, 120, 50, 0}},
        };
        for (const auto &w : where) {
            const Placed *p = page.find(QString::fromLatin1(w.name));
            QVERIFY2(p, w.name);
            QCOMPARE(p->object.rect, w.rect);
            QCOMPARE(p->clip, w.rect);
        }

        QCOMPARE(textOf(page.find(QStringLiteral("txtUna"))), QStringList{longText});

        const Placed *many = page.find(QStringLiteral("txtMolte"));
        QVERIFY(many->lines.size() >= 2);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(10);
        QImage device(1, 1, QImage::Format_RGB32);
        device.setDotsPerMeterX(qRound(1200 / 0.0254));
        device.setDotsPerMeterY(qRound(1200 / 0.0254));
        const QFontMetricsF metrics(font, &device);
        for (const TextLine &l : many->lines) {
            QVERIFY(metrics.horizontalAdvance(l.text) / 1200 * 25.4 <= 40 - 2 * kTextGap + 0.01);
            QVERIFY(l.top < 20 + 9); // nothing below the box
        }
        QVERIFY(textOf(many).join(u' ').startsWith(QStringLiteral("uno due tre")));

        const Placed *middle = page.find(QStringLiteral("txtMezzo"));
        QCOMPARE(middle->lines.size(), 1);
        QCOMPARE(middle->lines[0].top + middle->pitch / 2, 45.0);
    }

    // Drawn text stays inside its box, and the printable area starts 10 mm from the corner.
    void drawingIsClippedAndOffsetByTheMargin()
    {
        Template t = Template::fromJson(kFixture, QStringLiteral("prova"));
        t.setText(QStringLiteral("txtUna"), QString(80, u'W'));
        const QImage image = paintImage(prepareForOutput(t).first(), 150);
        const double dpmm = 150 / 25.4;
        auto ink = [&](double xmm, double ymm, double wmm, double hmm) {
            int dark = 0;
            for (int y = qRound((ymm + 10) * dpmm); y < qRound((ymm + 10 + hmm) * dpmm); ++y)
                for (int x = qRound((xmm + 10) * dpmm); x < qRound((xmm + 10 + wmm) * dpmm); ++x)
                    dark += qGray(image.pixel(x, y)) < 128;
            return dark;
        };
        QVERIFY(ink(10, 20, 30, 6) > 50);        // the box is full of W
        QCOMPARE(ink(40.5, 18, 60, 10), 0);     // nothing right of it
        QCOMPARE(ink(10, 26.5, 30, 3), 0);      // nor below it
        QVERIFY(ink(0, 119.5, 50, 1) > 0);      // the line at 120 mm
        QCOMPARE(ink(0, 121, 50, 3), 0);
    }

    void picturesFitTheirBox_data()
    {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<QRectF>("expected");
        const QRectF box(1, 1, 69, 39);
        QTest::newRow("wide logo shrinks to the width") << QSizeF(2000, 200) << false << QRectF(1, 1, 69, 6.9);
        QTest::newRow("tall logo fills the height") << QSizeF(100, 390) << false << QRectF(1, 1, 10, 39);
        QTest::newRow("default picture") << QSizeF(298, 186) << false << QRectF(1, 1, 39.0 * 298 / 186, 39);
        QTest::newRow("2 x 2 white grows to a square") << QSizeF(2, 2) << false << QRectF(1, 1, 39, 39);
        QTest::newRow("centred") << QSizeF(100, 100) << true << QRectF(1 + 15, 1, 39, 39);
    }
    void picturesFitTheirBox()
    {
        QFETCH(QSizeF, picture);
        QFETCH(bool, centred);
        QFETCH(QRectF, expected);
        const QRectF got = fitPicture(QRectF(1, 1, 69, 39), picture, centred);
        QVERIFY2(qAbs(got.left() - expected.left()) < 1e-9 && qAbs(got.top() - expected.top()) < 1e-9
                     && qAbs(got.width() - expected.width()) < 1e-9 && qAbs(got.height() - expected.height()) < 1e-9,
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(got.left()).arg(got.top()).arg(got.width()).arg(got.height())));
    }

    // The listing: title on the first sheet only, every line exactly once and in order,
    // never below the printable area, the stamp once after the last line.
    void listingSplitsAcrossSheets_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("sheets");
        QTest::newRow("empty") << 0 << 1;
        QTest::newRow("one line") << 1 << 1;
        QTest::newRow("bar still on the first sheet") << 50 << 1;
        QTest::newRow("first sheet full, bar on the next") << 53 << 2;
        QTest::newRow("one line over") << 54 << 2;
        QTest::newRow("200 lines") << 200 << 4;
    }
    void listingSplitsAcrossSheets()
    {
        QFETCH(int, count);
        QFETCH(int, sheets);
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines.append(numbered(i));
        const QString title = QStringLiteral("Riepilogo clienti");
        listing::print(nullptr, title, lines);

        const QList<Outputs::Taken> taken = Outputs::taken();
        QCOMPARE(taken.size(), 1);
        QCOMPARE(taken[0].kind, Outputs::Kind::Print);
        QCOMPARE(taken[0].title, title);
        const Prepared &pages = taken[0].pages;
        QCOMPARE(pages.size(), sheets);

        QStringList printed;
        double lastBottom = 8; // the data band starts under the title band
        int lastSheet = 0;
        for (int s = 0; s < pages.size(); ++s) {
            const PreparedPage &page = pages[s];
            QCOMPARE(page.orientation, Orientation::Landscape);
            QCOMPARE(page.paper(), QSizeF(297, 210));
            const Placed *head = page.find(QStringLiteral("txtTitolo"));
            QCOMPARE(head != nullptr, s == 0);
            if (head) {
                QCOMPARE(head->object.rect, QRectF(2, 1, 273, 5));
                QCOMPARE(textOf(head), QStringList{title});
            }
            for (const Placed &p : page.objects) {
                if (p.object.name != u"txtRiepilogo")
                    continue;
                QCOMPARE(p.object.rect.left(), 3.0);
                for (const TextLine &l : p.lines) {
                    QVERIFY(l.top + p.pitch <= 190 + 1e-9);
                    QVERIFY(l.top >= (s == 0 ? 8.0 : 0.0) - 1e-9);
                    printed.append(l.text);
                    lastBottom = l.top + p.pitch;
                    lastSheet = s;
                }
            }
            const Placed *stamp = page.find(QStringLiteral("txtPagina"));
            QCOMPARE(stamp != nullptr, s == pages.size() - 1);
            if (stamp) {
                QCOMPARE(textOf(stamp), QStringList{QStringLiteral("Stampa eseguita in data 05/03/2024 alle ore 09:07:05")});
                QVERIFY(lastSheet < s || stamp->object.rect.top() >= lastBottom - 1e-9);
                QVERIFY(stamp->object.rect.bottom() <= 190 + 1e-9);
            }
        }
        QCOMPARE(printed, lines);
        if (count == 0) // the bar follows the title after the empty band of 10 units
            QCOMPARE(pages[0].find(QStringLiteral("txtPagina"))->object.rect.top(), 8 + unitsToMm(10) + 2);
        QVERIFY(Messages::taken().isEmpty());
    }

    void listingCancelledOrLongLinesStayWhole()
    {
        Outputs::queuePrintAnswer(false);
        listing::print(nullptr, QStringLiteral("Riepilogo"), {QStringLiteral("a")});
        QVERIFY(Outputs::taken().isEmpty());
        QVERIFY(Messages::taken().isEmpty()); // cancelling is not a failure

        const QString wide = QString(400, u'#');
        listing::print(nullptr, QStringLiteral("Riepilogo"), {wide, QStringLiteral("dopo\r\nspezzata")});
        const Prepared pages = Outputs::taken().value(0).pages;
        QCOMPARE(textOf(pages.value(0).find(QStringLiteral("txtRiepilogo"))),
                 (QStringList{wide, QStringLiteral("dopo  spezzata")}));
    }

    // Boxes that would leave text off the sheet are named, in template order, with the
    // same line breaking and box heights as the sheets: a 9 mm box of 10 pt shows two
    // lines. Blank lines left off lose nothing.
    void boxesThatCutTheirText_data()
    {
        QTest::addColumn<QString>("one");  // txtUna: 6 mm high, no wrap
        QTest::addColumn<QString>("many"); // txtMolte: 9 mm high, wraps at 40 mm
        QTest::addColumn<QStringList>("cut");
        const QString words = QStringLiteral("parole che vanno a capo nel riquadro stretto ");
        QTest::newRow("empty") << QString() << QString() << QStringList();
        QTest::newRow("two lines fit") << QStringLiteral("una") << QStringLiteral("a\nb") << QStringList();
        QTest::newRow("a third line is cut") << QString() << QStringLiteral("a\r\nb\r\nc") << QStringList{"txtMolte"};
        QTest::newRow("only blanks below") << QString() << QStringLiteral("a\nb\n \n\t") << QStringList();
        QTest::newRow("a paragraph wraps beyond") << QString() << words.repeated(2) << QStringList{"txtMolte"};
        QTest::newRow("a paragraph wraps to fit") << QString() << words.left(30) << QStringList();
        QTest::newRow("a second line of a one-line box") << QStringLiteral("a\nb") << QString() << QStringList{"txtUna"};
        QTest::newRow("a long line of a one-line box stays") << QString(200, u'x') << QString() << QStringList();
        QTest::newRow("both, in template order") << QStringLiteral("a\nb") << QStringLiteral("a\nb\nc")
                                                 << QStringList{"txtUna", "txtMolte"};
    }
    void boxesThatCutTheirText()
    {
        QFETCH(QString, one);
        QFETCH(QString, many);
        QFETCH(QStringList, cut);
        Template t = Template::fromJson(kFixture, QStringLiteral("prova"));
        t.setText(QStringLiteral("txtUna"), one);
        t.setText(QStringLiteral("txtMolte"), many);
        QCOMPARE(cutBoxes(t, fontLineBreaker()), cut);

        // What is named is exactly what the sheet leaves off.
        const PreparedPage page = prepareForOutput(t).first();
        for (const char *name : {"txtUna", "txtMolte"}) {
            const QString shown = textOf(page.find(QLatin1String(name))).join(u' ');
            const QString all = t.object(QLatin1String(name)).text;
            const QString whole = QString(all).replace(u'\r', u' ').replace(u'\n', u' ').simplified();
            QCOMPARE(shown.simplified() == whole, !cut.contains(QLatin1String(name)));
        }
    }

    // The print dialog proposes both faces, long edge, only for a two-sided document on
    // a printer that offers it; otherwise the printer keeps its own setting.
    void twoSidedDocumentsProposeBothFaces_data()
    {
        QTest::addColumn<int>("sides");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("supported");
        QTest::addColumn<int>("proposed");
        using P = QPrinter;
        const QList<int> both{P::DuplexNone, P::DuplexAuto, P::DuplexLongSide, P::DuplexShortSide};
        QTest::newRow("two-sided, printer with both faces") << int(Sides::Two) << int(P::DuplexNone) << both
                                                            << int(P::DuplexLongSide);
        QTest::newRow("two-sided, short edge only") << int(Sides::Two) << int(P::DuplexNone)
                                                    << QList<int>{P::DuplexNone, P::DuplexShortSide}
                                                    << int(P::DuplexNone);
        QTest::newRow("two-sided, one face only") << int(Sides::Two) << int(P::DuplexNone) << QList<int>{P::DuplexNone}
                                                  << int(P::DuplexNone);
        QTest::newRow("two-sided, no printer") << int(Sides::Two) << int(P::DuplexNone) << QList<int>{}
                                               << int(P::DuplexNone);
        QTest::newRow("one-sided keeps the printer's") << int(Sides::One) << int(P::DuplexShortSide) << both
                                                       << int(P::DuplexShortSide);
    }
    void twoSidedDocumentsProposeBothFaces()
    {
        QFETCH(int, sides);
        QFETCH(int, current);
        QFETCH(QList<int>, supported);
        QFETCH(int, proposed);
        QList<QPrinter::DuplexMode> modes;
        for (int m : supported)
            modes.append(QPrinter::DuplexMode(m));
        QCOMPARE(proposedDuplex(Sides(sides), QPrinter::DuplexMode(current), modes), QPrinter::DuplexMode(proposed));
    }

    // The preview offers print, zoom, paging, full screen and close, but nothing that
    // changes the document.
    void previewWindowHasNoEditingCommands()
    {
        Template t = Template::fromJson(kFixture, QStringLiteral("prova"));
        Prepared pages = prepareForOutput(t);
        pages.append(pages.first());
        PreviewWindow window(nullptr, pages, QStringLiteral("Prova"));
        QStringList visible;
        for (QAction *a : window.findChild<QToolBar *>()->actions())
            if (a->isVisible() && !a->isSeparator())
                visible.append(a->text());
        auto qt = [](const char *s) { return QCoreApplication::translate("QPrintPreviewDialog", s); };
        QVERIFY(visible.contains(qt("Print")));
        QVERIFY(visible.contains(qt("Zoom in")));
        QVERIFY(visible.contains(QStringLiteral("Schermo intero")));
        QVERIFY(visible.contains(QStringLiteral("Chiudi")));
        for (const char *editing : {"Portrait", "Landscape", "Page setup"})
            QVERIFY2(!visible.contains(qt(editing)), editing);
        auto *view = window.findChild<QPrintPreviewWidget *>();
        view->updatePreview();
        QCOMPARE(view->pageCount(), 2);
        QVERIFY(window.failure().isEmpty());
    }

    // What the print dialog leaves on the printer decides what comes out: the range of
    // sheets, the copies, collated or not. A PDF printer makes no copies itself, as many
    // drivers do not, so the program makes them.
    void printerGetsTheChosenSheetsAndCopies_data()
    {
        QTest::addColumn<int>("from"); // 0: every sheet
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("collate");
        QTest::addColumn<QString>("sheets"); // the sheets printed, in order
        QTest::newRow("all") << 0 << 0 << 1 << true << "123";
        QTest::newRow("range 2-3") << 2 << 3 << 1 << true << "23";
        QTest::newRow("sheet 2, two copies") << 2 << 2 << 2 << true << "22";
        QTest::newRow("all, two copies collated") << 0 << 0 << 2 << true << "123123";
        QTest::newRow("all, two copies not collated") << 0 << 0 << 2 << false << "112233";
    }
    void printerGetsTheChosenSheetsAndCopies()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, copies);
        QFETCH(bool, collate);
        QFETCH(QString, sheets);
        if (tool("pdftotext").isEmpty())
            TIRELLO_ENVIRONMENT_MISSING("poppler-utils not installed: the printed sheets cannot be read back");
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("stampa.pdf")));
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        printer.setCopyCount(copies);
        printer.setCollateCopies(collate);
        printSheets(printer, numberedSheets(3));
        QCOMPARE(sheetsIn(printer.outputFileName()), sheets);
    }

    // The preview's own print command, the way the manual recommends printing: the sheets
    // reach the printer; a printer that fails leaves its reason for the window to show.
    void previewPrintsAndKeepsTheFailure()
    {
        if (tool("pdftotext").isEmpty())
            TIRELLO_ENVIRONMENT_MISSING("poppler-utils not installed: the printed sheets cannot be read back");
        QTemporaryDir dir;
        PreviewWindow window(nullptr, numberedSheets(2), QStringLiteral("Prova"));
        window.printer()->setOutputFormat(QPrinter::PdfFormat);
        window.printer()->setOutputFileName(dir.filePath(QStringLiteral("anteprima.pdf")));
        window.findChild<QPrintPreviewWidget *>()->print();
        QVERIFY(window.failure().isEmpty());
        QCOMPARE(sheetsIn(window.printer()->outputFileName()), QStringLiteral("12"));

        PreviewWindow broken(nullptr, numberedSheets(2), QStringLiteral("Prova"));
        broken.printer()->setOutputFormat(QPrinter::PdfFormat);
        broken.printer()->setOutputFileName(dir.filePath(QStringLiteral("manca/anteprima.pdf")));
        broken.findChild<QPrintPreviewWidget *>()->print();
        QVERIFY2(broken.failure().startsWith(QStringLiteral("Impossibile avviare la stampa")),
                 qPrintable(broken.failure()));
    }

    // PDF: written without a question, replacing the old file, with its properties and
    // the text as typed.
    void pdfHasPropertiesAndLiteralText()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("prova.pdf"));
        Template t = Template::fromJson(kFixture, QStringLiteral("prova"));
        t.setText(QStringLiteral("txtMezzo"), QStringLiteral("[DATE] <b>x</b>"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'z'));
        old.close();

        exportPdf(prepareForOutput(t), path, {QStringLiteral("Prova titolo"), QStringLiteral("Prova oggetto")});
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(!bytes.contains("zzzz"));
        const QByteArray info = bytes.mid(bytes.lastIndexOf(" 0 obj\n<<\n/Title"));
        for (const char *field : {"/Title (Prova titolo)", "/Subject (Prova oggetto)", "/Author (Tirello)",
                                  "/Creator (Tirello)"})
            QVERIFY2(info.contains(field), field);

        if (tool("pdfinfo").isEmpty() || tool("pdftotext").isEmpty())
            TIRELLO_ENVIRONMENT_MISSING("poppler-utils not installed: properties checked in the bytes only");
        const QString props = run(tool("pdfinfo"), {path});
        for (const char *line : {"Title:           Prova titolo", "Subject:         Prova oggetto",
                                 "Author:          Tirello", "Creator:         Tirello", "Pages:           1",
                                 "(A4)"})
            QVERIFY2(props.contains(QLatin1String(line)), qPrintable(props));
        QVERIFY(run(tool("pdftotext"), {path, QStringLiteral("-")}).contains(QStringLiteral("[DATE] <b>x</b>")));
    }

    void pdfThatCannotBeWrittenFails()
    {
        QTemporaryDir dir;
        const Prepared pages = prepareForOutput(Template::fromJson(kFixture, QStringLiteral("prova")));
        QVERIFY_THROWS_EXCEPTION(RenderError, exportPdf(pages, dir.path(), {}));
        QVERIFY_THROWS_EXCEPTION(RenderError,
                                 exportPdf(pages, dir.filePath(QStringLiteral("manca/prova.pdf")), {}));
    }

    // A full disk or a read-only folder: the old PDF keeps every byte, nothing is left
    // beside it, and the failure is reported.
    void pdfOnAFullOrReadOnlyDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("full disk") << false;
        QTest::newRow("read-only folder") << true;
    }
    void pdfOnAFullOrReadOnlyDiskKeepsTheOldFile()
    {
        QFETCH(bool, readOnly);
        ScratchFs fs;
        QTemporaryDir plain;
        if (!fs.mounted() && !readOnly)
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString folder = fs.mounted() ? fs.path() : plain.path();
        const QString path = QDir(folder).filePath(QStringLiteral("Cliente.pdf"));
        const Prepared pages = prepareForOutput(Template::fromJson(kFixture, QStringLiteral("prova")));
        exportPdf(pages, path, {QStringLiteral("Prima")});
        const auto before = folderContents(folder);
        const auto restore = qScopeGuard([&] { restoreFolder(folder); });
        if (readOnly && !makeFolderReadOnly(fs, folder))
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(QStringLiteral("no read-only folder here: ") + fs.reason()));
        if (!readOnly)
            QVERIFY(fs.fill());
        QVERIFY_THROWS_EXCEPTION(RenderError, exportPdf(pages, path, {QStringLiteral("Dopo")}));
        QCOMPARE(folderContents(folder), before);
    }
};

QTEST_MAIN(TestRender)
#include "test_render.moc"
