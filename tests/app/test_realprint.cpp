// Printing on a real printer: the client card, an analysis model, a test report and a
// certificate go through the print dialog to a CUPS queue that writes PDF files. Each job
// must come out A4 portrait with its number of pages, and every page must look like the
// program's own PDF of the same document. Needs root, to start the print system and add
// the queue; skipped otherwise, with the reason.

#include "app/workspace.h"
#include "certificates/frmstampacer.h"
#include "clients/clientprint_ui.h"
#include "clients/frmclienti.h"
#include "models/frmparametri.h"
#include "models/frmstampapar.h"
#include "reports/frmstamparap.h"
#include "storage/programfolder.h"
#include "storage/records.h"
#include "support/environment.h"
#include "support/documenttexts.h"
#include "support/folderfixture.h"
#include "support/modal.h"
#include "support/pagecompare.h"
#include "ui/logo.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

#include <memory>

namespace {

const QString kQueue = QStringLiteral("TirelloPDF");

QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    return support::runTool(program, arguments, exitCode);
}

// Why the print system cannot be used here; empty when the queue is ready.
QString prepareQueue()
{
    if (geteuid() != 0)
        return QStringLiteral("the print system can only be started and given a queue as root");
    for (const char *tool : {"cupsd", "lpadmin", "lpstat", "pdfinfo", "pdftoppm"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()
            && QStandardPaths::findExecutable(QString::fromLatin1(tool), {QStringLiteral("/usr/sbin")}).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/deps.sh test installs it)").arg(QLatin1String(tool));
    if (!QFileInfo::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")))
        return QStringLiteral("the PDF printer driver is not installed (scripts/deps.sh test installs it)");
    if (!run(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("is running"))) {
        run(QStringLiteral("/usr/sbin/cupsd"), {});
        QElapsedTimer waited;
        waited.start();
        while (!run(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("is running"))) {
            if (waited.elapsed() > 20000)
                return QStringLiteral("the print system did not start");
            QThread::msleep(200);
        }
    }
    int code = 0;
    const QString added = run(QStringLiteral("lpadmin"),
                              {QStringLiteral("-p"), kQueue, QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
                               QStringLiteral("-m"), QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"),
                               QStringLiteral("-o"), QStringLiteral("PageSize=Letter"), QStringLiteral("-E")},
                              &code);
    return code == 0 ? QString() : QStringLiteral("the queue could not be added: ") + added;
}

// Where the queue's driver writes the jobs of this user.
QString outputFolder()
{
    const passwd *pw = getpwuid(geteuid());
    return QDir(QString::fromLocal8Bit(pw ? pw->pw_dir : "/root")).filePath(QStringLiteral("PDF"));
}

QSet<QString> pdfsIn(const QString &folder)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    return {names.begin(), names.end()};
}

// The file the job wrote, once the queue is empty again.
QString waitForJob(const QSet<QString> &before)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 120000) {
        const QSet<QString> now = pdfsIn(outputFolder());
        const bool queueEmpty = run(QStringLiteral("lpstat"), {QStringLiteral("-o"), kQueue}).trimmed().isEmpty();
        for (const QString &name : now - before)
            if (queueEmpty)
                return QDir(outputFolder()).filePath(name);
        QThread::msleep(250);
    }
    return {};
}

struct PdfInfo {
    int pages = 0;
    QSizeF points;
};

PdfInfo infoOf(const QString &pdf)
{
    const QString text = run(QStringLiteral("pdfinfo"), {pdf});
    PdfInfo info;
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text);
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(text);
    if (pages.hasMatch())
        info.pages = pages.captured(1).toInt();
    if (size.hasMatch())
        info.points = {size.captured(1).toDouble(), size.captured(2).toDouble()};
    return info;
}

} // namespace

class TestRealPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_whyNot = prepareQueue();
    }
    void init()
    {
        if (!m_whyNot.isEmpty())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(QStringLiteral("Real printing skipped: ") + m_whyNot));
        m_folder.setUp();
        Outputs::stopRecording(); // the real print dialog and the real printer
        Clock::setOverride(QDateTime(QDate(2026, 3, 14), QTime(9, 30, 5)));
        m_ws = Workspace::create();
    }
    void cleanup()
    {
        m_ws.reset();
        Clock::setOverride({});
        m_folder.tearDown();
    }

    void printedAsOnScreen_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("pages");
        QTest::newRow("client card") << "client" << 1;
        QTest::newRow("analysis model") << "model" << 1;
        QTest::newRow("test report") << "report" << 1;
        QTest::newRow("certificate") << "certificate" << 2;
    }
    void printedAsOnScreen()
    {
        QFETCH(QString, document);
        QFETCH(int, pages);
        const printing::Document doc = documentFor(document);

        // The program's own rendering of the same document, as its PDF writer draws it.
        const QString reference = m_folder.file(QStringLiteral("riferimento.pdf"));
        printing::pdf(doc, reference);

        const QSet<QString> before = pdfsIn(outputFolder());
        QString printer;
        support::onModal(this, [&](QDialog *modal) {
            auto *dialog = qobject_cast<QPrintDialog *>(modal);
            QVERIFY(dialog);
            // The user picks the queue among the printers the dialog lists.
            auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
            QVERIFY(printers);
            const int index = printers->findText(kQueue);
            QVERIFY(index >= 0);
            printers->setCurrentIndex(index);
            modal->accept();
            printer = dialog->printer()->printerName();
        });
        QVERIFY(printing::print(nullptr, doc));
        QCOMPARE(printer, kQueue);

        const QString printed = waitForJob(before);
        QVERIFY2(!printed.isEmpty(), "the print job wrote no file");
        const PdfInfo info = infoOf(printed);
        QCOMPARE(info.pages, pages);
        QVERIFY2(std::abs(info.points.width() - 595.3) < 1.5 && std::abs(info.points.height() - 841.9) < 1.5,
                 qPrintable(QStringLiteral("not A4 portrait: %1 x %2 pt").arg(info.points.width()).arg(info.points.height())));

        const QList<QImage> got = support::pdfPages(printed, m_folder.folder());
        const QList<QImage> want = support::pdfPages(reference, m_folder.folder());
        QCOMPARE(got.size(), pages);
        QCOMPARE(want.size(), pages);
        for (int i = 0; i < pages; ++i) {
            const double d = support::pageDifference(got[i], want[i]);
            if (d >= support::kPageTolerance) { // kept for a look at what differs
                got[i].save(QDir::temp().filePath(QStringLiteral("tirello-stampa-%1-%2.png").arg(document).arg(i + 1)));
                want[i].save(QDir::temp().filePath(QStringLiteral("tirello-pdf-%1-%2.png").arg(document).arg(i + 1)));
            }
            QVERIFY2(d < support::kPageTolerance, qPrintable(QStringLiteral("page %1 differs from the program's own drawing: "
                                                               "%2 % of the ink unmatched").arg(i + 1).arg(d * 100)));
            // The measure would see a page moved by a millimetre and a half, or a blank one.
            QVERIFY(support::measureSeesMoves(got[i], want[i]));
            qInfo("%s page %d: %.2f %% of the ink unmatched", qPrintable(document), i + 1, d * 100);
        }
        QFile::remove(printed);
    }

private:
    printing::Document documentFor(const QString &document)
    {
        static const QImage logo = logo::defaultPicture();
        if (document == QLatin1String("client")) {
            auto *card = m_ws->frmClienti;
            card->setField(QStringLiteral("txtCliente"), QStringLiteral("Caseificio Sant'Agnese di Nicolò & C."));
            card->setField(QStringLiteral("txtIndirizzoRes"), QStringLiteral("Via dei Mulini 12"));
            card->setField(QStringLiteral("txtComuneRes"), QStringLiteral("Roma"));
            card->setField(QStringLiteral("txtPartitaIva"), QStringLiteral("00743110157"));
            card->setField(QStringLiteral("txtNote"), QStringLiteral("Ritira i referti il venerdì; fattura € 120,00"));
            return clients::cardSheet(card);
        }
        if (document == QLatin1String("model")) {
            auto *card = m_ws->frmParametri;
            card->setField(QStringLiteral("txtAnalisi"), QStringLiteral("Acqua potabile - chimica di base"));
            card->setField(QStringLiteral("txtCampione"), QStringLiteral("Acqua di pozzo"));
            for (int row = 1; row <= 30; ++row) {
                const QString n = QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
                card->setField(QStringLiteral("txtParametro") + n, QStringLiteral("Parametro numero %1").arg(row));
                card->setField(QStringLiteral("txtMetodo") + n, QStringLiteral("UNI EN ISO 10304-%1").arg(row));
                card->setField(QStringLiteral("txtUM") + n, QStringLiteral("mg/l"));
                card->setField(QStringLiteral("txtLimite") + n, QString::number(row * 5));
            }
            return models::modelSheet(card);
        }
        if (document == QLatin1String("report"))
            return reports::reportSheet([] { return support::paddedCard(records::report()); }, &logo);
        return certificates::certificateSheet(PrintWindow::Output::Print,
                                              [] { return support::paddedCard(records::certificate()); }, &logo);
    }

    QString m_whyNot;
    support::FolderFixture m_folder;
    std::unique_ptr<Workspace> m_ws;
};

QTEST_MAIN(TestRealPrint)
#include "test_realprint.moc"
