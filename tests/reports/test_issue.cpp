// Test reports and certificates issued as archival PDF files from their print windows
// ("Salva PDF"): the file is the printed page, PDF/A-1b, never written over; a document is
// issued only as it is stored; a failed issue leaves nothing and says so; the mail program
// is handed the file, the subject and the client's address.

#include "certificates/frmcertificati.h"
#include "reports/frmrapporti.h"
#include "reports/issue_ui.h"
#include "storage/issued.h"
#include "storage/programfiles.h"
#include "storage/records.h"
#include "support/cardfixture.h"
#include "support/files.h"
#include "support/messages.h"
#include "support/modal.h"
#include "support/pagecompare.h"
#include "support/scratchfs.h"
#include "ui/logo.h"
#include "ui/printwindow.h"

#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

using Messages::Kind;
using settings::DocumentKind;

namespace {

const QString kClient = QStringLiteral("Caseificio Sant'Agnese di Nicol\u00f2 & C.");
const QString kLaboratory = QStringLiteral("Laboratorio Analisi Tirreno S.r.l.");

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// What both documents carry: laboratory, client, number, sample and dates.
void fillHead(CardWindow *card, const QString &number)
{
    const QList<std::pair<const char *, QString>> head{
        {"txtLaboratorio", kLaboratory},
        {"txtIndirizzoLab", QStringLiteral("Via del Porto 3")},
        {"txtCittaLab", QStringLiteral("57123 Livorno (LI)")},
        {"txtPartitaIvaLab", QStringLiteral("01234567890")},
        {"txtCodFiscLab", QStringLiteral("01234567890")},
        {"txtEmailLab", QStringLiteral("info@tirreno-lab.it")},
        {"txtTelLab", QStringLiteral("0586 123456")},
        {"txtLiberoLab", QStringLiteral("Laboratorio iscritto al n. 12 dell'elenco regionale")},
        {"txtCliente", kClient},
        {"txtIndirizzoRes", QStringLiteral("Via dei Mulini 12")},
        {"txtCapRes", QStringLiteral("00100")},
        {"txtComuneRes", QStringLiteral("Roma")},
        {"txtProvRes", QStringLiteral("RM")},
        {"txtPartitaIva", QStringLiteral("00743110157")},
        {"txtNumRap", number},
        {"txtData", QStringLiteral("14/03/2026")},
        {"txtAnalisi", QStringLiteral("Acqua potabile - chimica di base")},
        {"txtCampione", QStringLiteral("Acqua di pozzo, prelievo al rubinetto della cucina")},
        {"txtLuogoPrel", QStringLiteral("Azienda agricola, Via dei Mulini 12, Roma")},
        {"txtDataPrel", QStringLiteral("12/03/2026")},
        {"txtCura", QStringLiteral("Tecnico del laboratorio")},
        {"txtContenitore", QStringLiteral("Bottiglia sterile in vetro da 1 litro")},
        {"txtDataRic", QStringLiteral("12/03/2026")},
        {"txtOraRic", QStringLiteral("16:20")},
        {"txtDataInizio", QStringLiteral("12/03/2026")},
        {"txtDataFine", QStringLiteral("13/03/2026")},
    };
    for (const auto &[field, value] : head)
        card->setField(QString::fromLatin1(field), value);
}

void fillReport(CardWindow *card, const QString &number)
{
    fillHead(card, number);
    for (int row = 1; row <= 30; ++row) {
        card->setField(QStringLiteral("txtParametro") + two(row), QStringLiteral("Parametro numero %1").arg(row));
        card->setField(QStringLiteral("txtMetodo") + two(row), QStringLiteral("UNI EN ISO 10304-%1:2009").arg(row));
        card->setField(QStringLiteral("txtUM") + two(row), QStringLiteral("mg/l"));
        card->setField(QStringLiteral("txtRisultato") + two(row), QStringLiteral("%1,5").arg(row));
        card->setField(QStringLiteral("txtLimite") + two(row), QString::number(row * 5));
    }
    card->setField(QStringLiteral("txtOsservazioni"), QStringLiteral("Campione conforme ai limiti di legge."));
}

void fillCertificate(CardWindow *card, const QString &number)
{
    fillHead(card, number);
    card->setField(QStringLiteral("txtMetodi"), QStringLiteral("Spettrometria di massa a plasma accoppiato "
                                                               "induttivamente (ICP-MS).\nDigestione acida in "
                                                               "microonde."));
    card->setField(QStringLiteral("txtMotivazione"), QStringLiteral("Metodi accreditati per la matrice."));
    card->setField(QStringLiteral("txtAllegati"), QStringLiteral("Rapporto di prova n. 104/2026"));
    card->setField(QStringLiteral("txtTempoDocu"), QStringLiteral("Dieci anni"));
    card->setField(QStringLiteral("txtTempoCamp"), QStringLiteral("Trenta giorni"));
    card->setField(QStringLiteral("txtConclusioni"), QStringLiteral("Il campione \u00e8 conforme."));
    card->setField(QStringLiteral("txtChimico"), QStringLiteral("Dott.ssa Lucia Ferr\u00e8"));
    card->setField(QStringLiteral("txtOrdine"), QStringLiteral("Ordine dei Chimici di Livorno n. 321"));
}

// A logo of the laboratory's own, with colours and lines that show where it lands; or one
// with transparent parts (a picture with an alpha channel, put in place of Logo.bmp).
void writeLogo(const QString &folder, bool transparent)
{
    QImage logo(298, 186, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    logo.fill(transparent ? QColor(Qt::transparent) : QColor(0x1F, 0x4E, 0x79));
    QPainter p(&logo);
    p.fillRect(20, 20, 258, 60, QColor(0xE8, 0x8D, 0x14));
    p.setPen(QPen(transparent ? QColor(0x1F, 0x4E, 0x79) : QColor(Qt::white), 6));
    p.drawLine(20, 120, 278, 160);
    p.end();
    QVERIFY(logo.save(QDir(folder).filePath(programfiles::kLogo), transparent ? "PNG" : "BMP"));
}

} // namespace

class TestIssue : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Clock::setOverride(QDateTime(QDate(2026, 3, 14), QTime(9, 30, 5)));
        m_fx.setUp();
    }
    void cleanup()
    {
        m_fx.tearDown();
        Clock::setOverride({});
    }

    void issuedAsPrinted_data()
    {
        QTest::addColumn<bool>("certificate");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("transparentLogo");
        QTest::newRow("test report, 30 rows and a logo") << false << 1 << false;
        QTest::newRow("certificate, two pages, a logo with transparent parts") << true << 2 << true;
    }
    // The issued file is the printed document page for page, and an archival PDF: it
    // passes qpdf's check, embeds every font, carries the XMP packet with its PDF/A part
    // and conformance, the output intent, the title, author and subject, and nothing
    // transparent or encrypted (the transparent parts of a logo lie on white, as on paper).
    void issuedAsPrinted()
    {
        QFETCH(bool, certificate);
        QFETCH(int, pages);
        QFETCH(bool, transparentLogo);
        if (const QString missing = support::missingTool(
                {QStringLiteral("pdftoppm"), QStringLiteral("pdffonts"), QStringLiteral("pdfinfo"), QStringLiteral("qpdf")});
            !missing.isEmpty())
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed (scripts/deps.sh test installs it)")));
        writeLogo(m_fx.folder(), transparentLogo);
        const DocumentKind kind = certificate ? DocumentKind::Certificates : DocumentKind::Reports;
        const QString number = certificate ? QStringLiteral("7/2026") : QStringLiteral("104/2026");
        DocumentCard *card = openCard(kind);
        certificate ? fillCertificate(card, number) : fillReport(card, number);
        save(card);

        Messages::queueAnswer(false); // not by e-mail
        const QString path = issueFrom(card);
        const QString name = certificate ? QStringLiteral("Certificato di analisi 7-2026.pdf")
                                         : QStringLiteral("Rapporto di prova 104-2026.pdf");
        QCOMPARE(path, QDir(m_fx.folder()).filePath(QStringLiteral("Documenti_Emessi/2026/") + name));
        support::expectOne(Kind::Question, issuing::doneQuestion(kind, number, path, 0));
        QVERIFY(Mail::taken().isEmpty());

        // The printed pages, as the print window sends them to the printer.
        support::onModal(this, [](QDialog *modal) {
            QTest::mouseClick(qobject_cast<PrintWindow *>(modal)->btnStampa, Qt::LeftButton);
        });
        QTest::mouseClick(card->cmdStampa, Qt::LeftButton);
        const QList<Outputs::Taken> printed = Outputs::taken();
        QCOMPARE(printed.size(), 1);
        QCOMPARE(printed[0].kind, Outputs::Kind::Print);
        QCOMPARE(printed[0].pages.size(), pages);

        // Both drawn by the same PDF reader: the issued file, and the printed pages as the
        // program's ordinary PDF writer puts them down.
        const QString reference = m_fx.file(QStringLiteral("stampato.pdf"));
        render::exportPdf(printed[0].pages, reference, {QStringLiteral("stampato"), QString()});
        const QList<QImage> got = support::pdfPages(path, m_fx.folder());
        const QList<QImage> want = support::pdfPages(reference, m_fx.folder());
        QCOMPARE(got.size(), pages);
        QCOMPARE(want.size(), pages);
        for (int i = 0; i < pages; ++i) {
            const double d = support::pageDifference(got[i], want[i]);
            if (!qEnvironmentVariableIsEmpty("TIRELLO_KEEP_PAGES") || d >= support::kPageTolerance) {
                const QString keep = qEnvironmentVariable("TIRELLO_KEEP_PAGES", QDir::tempPath());
                got[i].save(QDir(keep).filePath(QStringLiteral("tirello-emesso-%1-%2.png").arg(pages).arg(i + 1)));
                want[i].save(QDir(keep).filePath(QStringLiteral("tirello-stampato-%1-%2.png").arg(pages).arg(i + 1)));
            }
            QVERIFY2(d < support::kPageTolerance,
                     qPrintable(QStringLiteral("page %1: %2 % of the ink unmatched").arg(i + 1).arg(d * 100)));
            QVERIFY(support::measureSeesMoves(got[i], want[i]));
        }

        int code = -1;
        const QString check = support::runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path}, &code);
        QVERIFY2(code == 0, qPrintable(check));
        // pdffonts: a heading, a rule of dashes under each column, one line per font.
        const QStringList fonts = support::runTool(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(fonts.size() > 2, qPrintable(fonts.join(u'\n')));
        QList<qsizetype> columns;
        for (const QRegularExpressionMatch &m : QRegularExpression(QStringLiteral("-+")).globalMatch(fonts[1]))
            columns.append(m.capturedStart());
        QVERIFY(fonts[0].mid(columns.value(3), 3) == u"emb");
        for (const QString &font : fonts.mid(2))
            QVERIFY2(font.mid(columns[3], 3) == u"yes", qPrintable(QStringLiteral("not embedded: ") + font));

        QHash<QString, QString> info; // pdfinfo: "Key:   value" lines
        for (const QString &line : support::runTool(QStringLiteral("pdfinfo"), {path}).split(u'\n')) {
            const qsizetype colon = line.indexOf(u':');
            if (colon > 0)
                info.insert(line.left(colon), line.mid(colon + 1).trimmed());
        }
        const QString title = issued::title(kind, number);
        QCOMPARE(info.value(QStringLiteral("Title")), title);
        QCOMPARE(info.value(QStringLiteral("Subject")), kClient);
        QCOMPARE(info.value(QStringLiteral("Author")), kLaboratory);
        QCOMPARE(info.value(QStringLiteral("Pages")), QString::number(pages));
        QCOMPARE(info.value(QStringLiteral("Encrypted")), QStringLiteral("no"));
        QCOMPARE(info.value(QStringLiteral("Metadata Stream")), QStringLiteral("yes"));

        const QByteArray bytes = support::readFile(path);
        for (const QByteArray &wanted :
             {QByteArray("<pdfaid:part>1</pdfaid:part>"), QByteArray("<pdfaid:conformance>B</pdfaid:conformance>"),
              "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" + title.toUtf8() + "</rdf:li>",
              "<dc:creator><rdf:Seq><rdf:li>" + kLaboratory.toUtf8() + "</rdf:li>",
              "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" + kClient.toHtmlEscaped().toUtf8() + "</rdf:li>",
              QByteArray("/OutputIntents"), QByteArray("GTS_PDFA1"), QByteArray("/DestOutputProfile")})
            QVERIFY2(bytes.contains(wanted), wanted.constData());
        QVERIFY(!bytes.contains("/Encrypt"));
        QVERIFY(!bytes.contains("/Transparency"));
        const QString raw = QString::fromLatin1(bytes);
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("/SMask\\s*(/?\\w+)")).globalMatch(raw))
            QCOMPARE(m.captured(1), QStringLiteral("/None"));
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("/(CA|ca)\\s+([0-9.]+)")).globalMatch(raw))
            QCOMPARE(m.captured(2).toDouble(), 1.0);
    }

    // The same number issued again is a revision: the first file keeps every byte, and the
    // register holds a line for each file with that file's SHA-256.
    void issuingAgainMakesARevision()
    {
        DocumentCard *card = openCard(DocumentKind::Reports);
        fillReport(card, QStringLiteral("104/2026"));
        save(card);
        Messages::queueAnswer(false);
        const QString first = issueFrom(card);
        Messages::taken();
        const QByteArray firstBytes = support::readFile(first);
        QVERIFY(firstBytes.startsWith("%PDF-1.4"));

        Messages::queueAnswer(false);
        const QString second = issueFrom(card);
        QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("Rapporto di prova 104-2026 rev. 1.pdf"));
        support::expectOne(Kind::Question, issuing::doneQuestion(DocumentKind::Reports, QStringLiteral("104/2026"), second, 1));
        QVERIFY(issuing::doneQuestion(DocumentKind::Reports, QStringLiteral("104/2026"), second, 1)
                    .startsWith(QStringLiteral("Rapporto di prova n. 104/2026 era gi\u00e0 stato emesso")));
        QCOMPARE(support::readFile(first), firstBytes);

        const QString folder = QFileInfo(first).absolutePath();
        const QList<QByteArray> lines = issued::lines(support::readFile(folder + u'/' + issued::kRegisterName));
        QCOMPARE(lines.size(), 2);
        for (const QByteArray &line : lines) {
            const std::optional<issued::Entry> e = issued::parseLine(line);
            QVERIFY(e);
            QCOMPARE(e->sha256, issued::sha256Hex(support::readFile(folder + u'/' + e->fileName)));
            QCOMPARE(e->client, kClient);
            QCOMPARE(e->date, QStringLiteral("14/03/2026"));
        }
    }

    // Only a document as it is stored is issued: a new card, one changed since it was
    // saved, one without a number. The user is told to save first; nothing is written.
    void issuedOnlyAsStored_data()
    {
        QTest::addColumn<bool>("certificate");
        QTest::addColumn<QString>("state");
        QTest::newRow("report never saved") << false << "new";
        QTest::newRow("report changed after saving") << false << "changed";
        QTest::newRow("report without a number") << false << "no number";
        QTest::newRow("certificate changed after saving") << true << "changed";
        QTest::newRow("certificate without a number") << true << "no number";
    }
    void issuedOnlyAsStored()
    {
        QFETCH(bool, certificate);
        QFETCH(QString, state);
        const DocumentKind kind = certificate ? DocumentKind::Certificates : DocumentKind::Reports;
        DocumentCard *card = openCard(kind);
        certificate ? fillCertificate(card, QStringLiteral("3")) : fillReport(card, QStringLiteral("3"));
        if (state == u"changed") {
            save(card);
            card->setField(QStringLiteral("txtCampione"), QStringLiteral("Altro campione"));
        } else if (state == u"no number") {
            // Stored without one by an older copy of the program, and shown from the archive.
            records::Record r(certificate ? records::certificate() : records::report());
            r.setText(QStringLiteral("txtCliente"), kClient);
            r.setText(QStringLiteral("chkConsegnato"), records::kNo);
            QVERIFY(support::writeFile(card->archivePath(), r.bytes()));
            card->cmdUltimoClick();
            QVERIFY(card->showsStoredRecord());
        }
        Messages::taken();
        issueFrom(card);
        support::expectOne(Kind::Warning, state == u"no number" ? issuing::noNumberWarning(kind)
                                                                  : issuing::saveFirstWarning(kind));
        QVERIFY(!QFileInfo::exists(m_fx.file(issued::kFolderName)));
        QVERIFY(Mail::taken().isEmpty());
    }

    // A program folder that takes no file, or a full disk: the failure message alone, no
    // file, no register line, no question about the e-mail.
    void failedIssueSaysSo_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-only folder") << true;
        QTest::newRow("full disk") << false;
    }
    void failedIssueSaysSo()
    {
        QFETCH(bool, readOnly);
        ScratchFs fs(2 * 1024 * 1024);
        if (!fs.mounted())
            QSKIP(qPrintable(fs.reason()));
        ProgramFolder::setOverride(fs.path());
        auto *card = m_fx.ws().frmRapporti;
        card->openArchive(QDir(fs.path()).filePath(QStringLiteral("2026.rdp")), TfrmRapporti::kTitlePrefix + QStringLiteral("2026"));
        QVERIFY(m_fx.open(card));
        fillReport(card, QStringLiteral("104/2026"));
        save(card);
        // An earlier issue: its file and line stay as they are.
        Messages::queueAnswer(false);
        issueFrom(card);
        Messages::taken();
        QVERIFY(readOnly ? fs.makeReadOnly() : fs.fill());
        const auto before = support::treeOf(fs.path());

        issueFrom(card);
        support::expectOne(Kind::Error, issuing::kFailed);
        QCOMPARE(support::treeOf(fs.path()), before);
        QVERIFY(Mail::taken().isEmpty());
    }

    // "Sì": the mail program gets the file, the subject and the address of the client the
    // document names (an accented name, found in the client archive); without a mail
    // program the user is told, and the file stays.
    void handedToTheMailProgram_data()
    {
        QTest::addColumn<bool>("certificate");
        QTest::addColumn<bool>("mailFails");
        QTest::newRow("test report") << false << false;
        QTest::newRow("certificate") << true << false;
        QTest::newRow("no mail program") << false << true;
    }
    void handedToTheMailProgram()
    {
        QFETCH(bool, certificate);
        QFETCH(bool, mailFails);
        records::Record client(records::client());
        client.setText(QStringLiteral("txtCliente"), kClient);
        client.setText(QStringLiteral("txtPartitaIva"), QStringLiteral("00743110157"));
        client.setText(QStringLiteral("txtEmail"), QStringLiteral("qualita@santagnese.it"));
        QVERIFY(support::writeFile(m_fx.file(programfiles::kClients), client.bytes()));

        const DocumentKind kind = certificate ? DocumentKind::Certificates : DocumentKind::Reports;
        const QString number = certificate ? QStringLiteral("7/2026") : QStringLiteral("104/2026");
        DocumentCard *card = openCard(kind);
        certificate ? fillCertificate(card, number) : fillReport(card, number);
        save(card);
        if (mailFails)
            Mail::queueFailure();
        Messages::queueAnswer(true);
        const QString path = issueFrom(card);

        const QList<Mail::Message> mails = Mail::taken();
        QCOMPARE(mails.size(), 1);
        QCOMPARE(mails[0].attachment, path);
        QCOMPARE(mails[0].subject, issued::title(kind, number));
        QCOMPARE(mails[0].to, QStringList{QStringLiteral("qualita@santagnese.it")});
        QCOMPARE(Mail::arguments(mails[0]),
                 (QStringList{QStringLiteral("--utf8"), QStringLiteral("--subject"), issued::title(kind, number),
                              QStringLiteral("--attach"), path, QStringLiteral("qualita@santagnese.it")}));
        QList<Messages::Shown> expected{{Kind::Question, issuing::doneQuestion(kind, number, path, 0)}};
        if (mailFails)
            expected.append({Kind::Warning, issuing::mailFailedWarning(path)});
        support::expectShown(expected);
        QVERIFY(QFileInfo(path).isFile());
    }

    // Where the command sits: between Annulla and Stampa in the print window the card
    // opens, named and described for screen readers; the preview has no such button.
    void commandInThePrintWindow()
    {
        DocumentCard *card = openCard(DocumentKind::Reports);
        support::onModal(this, [](QDialog *modal) {
            auto *w = qobject_cast<PrintWindow *>(modal);
            QVERIFY(w && w->btnSalvaPdf);
            QCOMPARE(w->btnSalvaPdf->text(), QStringLiteral("Salva PDF"));
            QCOMPARE(w->btnSalvaPdf->accessibleDescription(), PrintWindow::kIssueHint);
            QVERIFY(w->btnAnnulla->geometry().right() < w->btnSalvaPdf->geometry().left());
            QVERIFY(w->btnSalvaPdf->geometry().right() < w->btnStampa->geometry().left());
            QVERIFY(w->btnStampa->isDefault());
        });
        QTest::mouseClick(card->cmdStampa, Qt::LeftButton);
        support::onModal(this, [](QDialog *modal) {
            auto *w = qobject_cast<PrintWindow *>(modal);
            QVERIFY(w && !w->btnSalvaPdf);
        });
        QTest::mouseClick(card->cmdAnteprima, Qt::LeftButton);
    }

private:
    DocumentCard *openCard(DocumentKind kind)
    {
        DocumentCard *card;
        if (kind == DocumentKind::Reports) {
            card = m_fx.ws().frmRapporti;
            card->openArchive(m_fx.file(QStringLiteral("2026.rdp")), TfrmRapporti::kTitlePrefix + QStringLiteral("2026"));
        } else {
            card = m_fx.ws().frmCertificati;
            card->openArchive(m_fx.file(QStringLiteral("2026.cda")), TfrmCertificati::kTitlePrefix + QStringLiteral("2026"));
        }
        if (!m_fx.open(card))
            qWarning("the card did not come up");
        return card;
    }
    void save(DocumentCard *card)
    {
        card->cmdSalvaClick();
        const QList<Messages::Shown> shown = Messages::taken();
        QVERIFY2(shown.size() == 1 && shown[0].kind == Kind::Information, shown.isEmpty() ? "" : qPrintable(shown[0].text));
        QVERIFY(card->showsStoredRecord());
    }
    // "Salva PDF" in the card's print window; the file the register's last line names.
    QString issueFrom(DocumentCard *card)
    {
        support::onModal(this, [](QDialog *modal) {
            auto *w = qobject_cast<PrintWindow *>(modal);
            QVERIFY(w && w->btnSalvaPdf);
            QTest::mouseClick(w->btnSalvaPdf, Qt::LeftButton);
        });
        QTest::mouseClick(card->cmdStampa, Qt::LeftButton);
        [] { QVERIFY(!QApplication::activeModalWidget()); }();
        const QString folder = issued::yearFolder(ProgramFolder::path(), 2026);
        const QList<QByteArray> lines = issued::lines(support::readFile(folder + issued::kRegisterName));
        const std::optional<issued::Entry> last = lines.isEmpty() ? std::nullopt : issued::parseLine(lines.last());
        return last ? QDir::cleanPath(folder + last->fileName) : QString();
    }

    support::CardFixture m_fx;
};

QTEST_MAIN(TestIssue)
#include "test_issue.moc"
