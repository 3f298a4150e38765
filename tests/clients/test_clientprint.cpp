// The client card's sheet: what goes where, preview and print, "Cliente.pdf" with its
// question and shell open.

#include "ui/seams.h"
#include "app/workspace.h"
#include "clients/clientprint_ui.h"
#include "clients/frmclienti.h"
#include "storage/programfolder.h"
#include "tools/render_ui.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include "support/environment.h"
#include <QtTest>

using Messages::Kind;
using render::Placed;
using render::PreparedPage;

namespace {

const QString kStamp = QStringLiteral("Stampa eseguita in data 28/02/2025 alle ore 17:45:09");

QString pdfText(const QString &path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString only(const PreparedPage &page, const QString &name)
{
    const Placed *p = page.find(name);
    if (!p)
        return QStringLiteral("<missing %1>").arg(name);
    QStringList lines;
    for (const render::TextLine &l : p->lines)
        lines.append(l.text);
    return lines.join(u'|');
}

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

class TestClientPrint : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        ProgramFolder::setOverride(m_dir->path());
        Clock::setOverride(QDateTime(QDate(2025, 2, 28), QTime(17, 45, 9)));
        Messages::startRecording();
        Shell::startRecording();
        Outputs::startRecording();
        m_ws = Workspace::create();
    }
    void cleanup()
    {
        m_ws.reset();
        Outputs::stopRecording();
        Shell::stopRecording();
        Messages::stopRecording();
        Clock::setOverride({});
        ProgramFolder::setOverride({});
    }

    // A typed, unsaved card: every row at its place with its caption and value.
    void previewShowsTheRowsAsTyped()
    {
        fill({{"txtCliente", "  Rossi Mario  "},
              {"txtDataNasc", "01/02/1970"},
              {"txtComuneNasc", "Roma"},
              {"txtComuneRes", "Milano"},
              {"txtCapRes", "20100"},
              {"txtCivile", "Coniugato"},
              {"txtCarta", "4111111111111111"},
              {"txtScadeCarta", "12/27"},
              {"txtNote", "[DATE] <b>" + std::string(200, 'n')}});
        card()->txtProvNasc->setCurrentText(QStringLiteral("RM"));
        card()->txtProvRes->setCurrentText(QStringLiteral("MI"));
        clients::previewCard(card());

        const PreparedPage page = single(Outputs::Kind::Preview);
        QCOMPARE(page.orientation, render::Orientation::Portrait);
        QCOMPARE(only(page, QStringLiteral("txtTitolo")), QStringLiteral("SCHEDA ANAGRAFICA CLIENTE"));
        QCOMPARE(only(page, QStringLiteral("txtCalce")), kStamp);
        const struct {
            int row;
            const char *caption;
            QString value;
        } rows[] = {
            {1, "Cognome e nome:", QStringLiteral("Rossi Mario")},
            {2, "Data di nascita:", QStringLiteral("01/02/1970")},
            {3, "Comune di nascita:", QStringLiteral("Roma RM")},
            {7, "Comune di residenza:", QStringLiteral("Milano MI")},
            {8, "Modalit\u00e0 pagamento:", QString()},
            {16, "Carta di credito:", QStringLiteral("N. 4111111111111111  -  Scadenza: 12/27")},
            {24, "Note:", QStringLiteral("[DATE] <b>") + QString(200, u'n')}, // one line, as typed
        };
        for (const auto &r : rows) {
            QCOMPARE(only(page, QStringLiteral("titCampo") + two(r.row)), QString::fromUtf8(r.caption));
            QCOMPARE(only(page, QStringLiteral("txtCampo") + two(r.row)), r.value);
        }
        // Postcode and marital status are not printed anywhere.
        for (const Placed &p : page.objects)
            for (const render::TextLine &l : p.lines)
                QVERIFY(!l.text.contains(QStringLiteral("20100")) && !l.text.contains(QStringLiteral("Coniugato")));
        QVERIFY(!QFile::exists(ProgramFolder::file(TfrmClienti::kArchiveName)));
    }

    void sheetGeometryInMillimetres()
    {
        clients::printCard(card());
        const PreparedPage page = single(Outputs::Kind::Print);
        const struct {
            QString name;
            QRectF rect;
        } where[] = {
            {QStringLiteral("imgLogo"), {3, 3, 17, 13}},       {QStringLiteral("txtTitolo"), {23, 3, 165, 9}},
            {QStringLiteral("linSepara01"), {23, 16, 165, 0}}, {QStringLiteral("titCampo01"), {3, 24, 52, 6}},
            {QStringLiteral("txtCampo01"), {60, 24, 128, 6}},  {QStringLiteral("titCampo24"), {3, 254, 52, 6}},
            {QStringLiteral("txtCampo24"), {60, 254, 128, 6}}, {QStringLiteral("linSepara02"), {3, 265, 185, 0}},
            {QStringLiteral("txtCalce"), {3, 269, 185, 6}},
        };
        for (const auto &w : where) {
            const Placed *p = page.find(w.name);
            QVERIFY2(p, qPrintable(w.name));
            QCOMPARE(p->object.rect, w.rect);
        }
        // An empty card: 24 captions, row 16 with its fixed words, empty values elsewhere.
        QCOMPARE(only(page, QStringLiteral("txtCampo16")), QStringLiteral("N.   -  Scadenza: "));
        QCOMPARE(only(page, QStringLiteral("txtCampo01")), QString());
        for (int n = 1; n <= 24; ++n)
            QVERIFY(!only(page, QStringLiteral("titCampo") + two(n)).isEmpty());

        Outputs::queuePrintAnswer(false); // cancelled: nothing printed, nothing said
        clients::printCard(card());
        QVERIFY(Outputs::taken().isEmpty());
        QVERIFY(Messages::taken().isEmpty());
    }

    // "Cliente.pdf" is replaced by every export; the question follows, and Yes opens the
    // quoted path.
    void pdfReplacedThenOpenedOnYes()
    {
        const QString path = ProgramFolder::file(QStringLiteral("Cliente.pdf"));
        fill({{"txtCliente", "Primo Cliente"}});
        Messages::queueAnswer(false);
        clients::pdfCard(card());
        QVERIFY(QFile::exists(path));
        QCOMPARE(Messages::taken().size(), 1);
        QVERIFY(Shell::taken().isEmpty());

        fill({{"txtCliente", "Secondo Cliente"}});
        Messages::queueAnswer(true);
        clients::pdfCard(card());
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Kind::Question);
        QCOMPARE(shown[0].text, QStringLiteral("L'esportazione della scheda in PDF \u00e8 terminata con successo."
                                               "\r\n\r\nSi vuole aprire il file?"));
        QCOMPARE(Shell::taken(), QStringList{u'"' + path + u'"'});

        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        for (const char *field : {"/Title (Scheda informativa)", "/Subject (Scheda informativa)", "/Author (Tirello)"})
            QVERIFY2(bytes.contains(field), field);
        QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("Cliente*")}, QDir::Files), QStringList{QStringLiteral("Cliente.pdf")});

        const QString text = pdfText(path);
        if (text.isEmpty())
            TIRELLO_ENVIRONMENT_MISSING("pdftotext not installed: content of the sheet not checked");
        QVERIFY(text.contains(QStringLiteral("Secondo Cliente")));
        QVERIFY(!text.contains(QStringLiteral("Primo Cliente")));
        QVERIFY(text.contains(QStringLiteral("SCHEDA ANAGRAFICA CLIENTE")));
        QVERIFY(text.contains(kStamp));
    }

    // A file that cannot be written is reported, never announced as a success.
    void pdfFailureIsReportedNotAskedAbout()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Cliente.pdf")));
        clients::pdfCard(card());
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Kind::Error);
        QVERIFY(shown[0].text.contains(QStringLiteral("Cliente.pdf")));
        QVERIFY(Shell::taken().isEmpty());
    }

private:
    TfrmClienti *card() const { return m_ws->frmClienti; }

    void fill(std::initializer_list<std::pair<const char *, std::string>> values)
    {
        for (const auto &[name, value] : values)
            card()->edit(QString::fromLatin1(name))->setText(QString::fromStdString(value));
    }

    // The one sheet of the one output taken, of the given kind and with the sheet's title.
    PreparedPage single(Outputs::Kind kind)
    {
        const QList<Outputs::Taken> taken = Outputs::taken();
        const bool ok = taken.size() == 1 && taken[0].kind == kind && taken[0].pages.size() == 1
            && taken[0].title == QStringLiteral("Scheda informativa");
        QTest::qVerify(ok, "one output of one sheet", "", __FILE__, __LINE__);
        return ok ? taken[0].pages[0] : PreparedPage{};
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Workspace> m_ws;
};

QTEST_MAIN(TestClientPrint)
#include "test_clientprint.moc"
