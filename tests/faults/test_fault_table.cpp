// Every way the program writes a file, under every way a write can fail: a full file
// system, a read-only folder, a folder where the file should be, and a disk that gives
// out part way through the write. In each case the window says it failed and never that
// it succeeded, and every byte already in the program folder (archives, settings,
// password, earlier exports, PDF, logo and attachments) stays as it was. The row without
// a fault runs the same steps to show that they do write, and that they change nothing
// but the one file they are for.

#include "app/frmpassword.h"
#include "app/workspace.h"
#include "certificates/frmcertificati.h"
#include "certificates/frmexpcertificati.h"
#include "clients/clientprint_ui.h"
#include "clients/frmclienti.h"
#include "clients/frmexpclienti.h"
#include "models/frmexpparametri.h"
#include "models/frmparametri.h"
#include "models/modelsearch.h"
#include "reports/frmexprapporti.h"
#include "reports/frmnumerazione.h"
#include "reports/frmrapporti.h"
#include "storage/attachments.h"
#include "storage/crypt.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/settings.h"
#include "storage/writethrough.h"
#include "tools/render_ui.h"
#include "ui/frmallegacartella.h"
#include "ui/frmlogo.h"
#include "ui/logo.h"
#include "ui/seams.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "support/environment.h"
#include "support/faildevice.h"
#include "support/files.h"
#include "support/scratchfs.h"

#include <memory>
#include <vector>

using Messages::Kind;
using records::Record;

namespace Messages {
inline bool operator==(const Shown &a, const Shown &b)
{
    return a.kind == b.kind && a.text == b.text;
}
} // namespace Messages

namespace {

enum class Fault { None, FullDisk, ReadOnlyFolder, FolderInPlace, FailingDevice };

const QString kYear = QStringLiteral("2025");
const QString kReports = QStringLiteral("2025.rdp");
const QString kCertificates = QStringLiteral("2025.cda");
const QString kAttached = QStringLiteral("nuovo.pdf"); // the file the attachment row copies in

// The folder as support::treeOf gives it, without the full disk's filler.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> all = support::treeOf(folder);
    all.remove(QStringLiteral(".filler"));
    return all;
}

// A record of the layout with every mandatory field of any card filled with the tag.
Record sample(const records::Layout &layout, const QString &tag)
{
    Record r(layout);
    for (const char *name : {"txtLaboratorio", "txtCliente", "txtNumRap", "txtAnalisi", "txtCampione"})
        r.setText(QString::fromLatin1(name), tag);
    r.setText(QStringLiteral("txtData"), QStringLiteral("01/02/2025"));
    return r;
}

// The field every row of a card types into: the client's name, or the analysis name on
// the model card.
QString typedField(const records::Layout &layout)
{
    return layout.indexOf(QStringLiteral("txtCliente")) >= 0 ? QStringLiteral("txtCliente")
                                                             : QStringLiteral("txtAnalisi");
}

// What a program folder in use holds: two records in each archive, the settings, the
// password, an earlier export of each archive, the client PDF, a logo and an attachment.
bool seed(const QString &folder, QString *why)
{
    const auto need = [why](bool ok, const char *what) {
        if (!ok)
            *why = QString::fromLatin1(what);
        return ok;
    };
    const QDir dir(folder);
    try {
        for (const auto &[name, layout] : std::initializer_list<std::pair<QString, const records::Layout *>>{
                 {TfrmClienti::kArchiveName, &records::client()},
                 {models::kArchiveName, &records::model()},
                 {kReports, &records::report()},
                 {kCertificates, &records::certificate()}}) {
            archive::append(dir.filePath(name), sample(*layout, QStringLiteral("Primo")).bytes());
            archive::append(dir.filePath(name), sample(*layout, QStringLiteral("Secondo")).bytes());
        }
        settings::Laboratory lab;
        lab.denominazione = QStringLiteral("Laboratorio Rossi");
        lab.responsabile = QStringLiteral("Dott. Verdi");
        lab.chimico = QStringLiteral("Dott.ssa Neri");
        const QString ini = dir.filePath(settings::kFileName);
        settings::writeLaboratory(ini, settings::DocumentKind::Reports, lab);
        settings::writeLaboratory(ini, settings::DocumentKind::Certificates, lab);
        settings::writeNumbering(ini, settings::DocumentKind::Reports, {QStringLiteral("10"), true});
        settings::writeNumbering(ini, settings::DocumentKind::Certificates, {QStringLiteral("20"), false});
        password::writeStored(dir.filePath(password::kFileName), password::kFirstPassword);
    } catch (const std::exception &e) {
        *why = QString::fromLocal8Bit(e.what());
        return false;
    }
    for (const char *name : {"Clienti.xls", "Modelli_Analisi.xls", "Rapporti_di_Prova.xls",
                             "Certificati_Analisi_Chimica.xls"})
        if (!need(support::writeFile(dir.filePath(QString::fromLatin1(name)), "esportazione precedente"), name))
            return false;
    QImage old(9, 5, QImage::Format_RGB32);
    old.fill(Qt::magenta);
    return need(support::writeFile(dir.filePath(clients::kSheetPdf), "%PDF-1.4 scheda precedente"), "pdf")
        && need(old.save(dir.filePath(logo::kFileName), "BMP"), "logo")
        && need(dir.mkdir(attachments::kFolderName), "attachment folder")
        && need(support::writeFile(dir.filePath(attachments::kFolderName + QStringLiteral("/vecchio.pdf")),
                                   "allegato precedente"),
                "attachment");
}

// What the failing device did, kept when it is gone.
struct Gauge {
    int made = 0;
    bool ranOut = false;
    qint64 taken = 0;
};

class GaugedDevice : public FailDevice {
public:
    GaugedDevice(qint64 room, QIODevice *through, Gauge &gauge) : FailDevice(room, through), m_gauge(gauge)
    {
        ++m_gauge.made;
    }
    ~GaugedDevice() override
    {
        m_gauge.ranOut = m_gauge.ranOut || failed();
        m_gauge.taken += taken().size();
    }

private:
    Gauge &m_gauge;
};

// One row's windows: the work windows when the row needs them, and windows of its own.
class Row {
public:
    explicit Row(QString elsewhere) : m_elsewhere(std::move(elsewhere)) {}
    ~Row()
    {
        m_windows.clear();
        m_ws.reset();
    }

    Workspace &ws()
    {
        if (!m_ws)
            m_ws = Workspace::create();
        return *m_ws;
    }
    template <class W>
    W *own(W *window)
    {
        m_windows.emplace_back(window);
        return window;
    }
    QString elsewhere(const QString &name) const { return m_elsewhere + u'/' + name; }

private:
    QString m_elsewhere;
    std::unique_ptr<Workspace> m_ws;
    std::vector<std::unique_ptr<QWidget>> m_windows;
};

// The last user action of a row, ready to run, and what the window shows afterwards.
struct Step {
    std::function<void()> act;
    std::function<bool()> done;  // the window shows the write as done (null: only its message says)
    std::function<bool()> always; // holds whether the write worked or not (null: nothing more)
};

struct WritePath {
    const char *name;
    QString target;    // the one file it writes, under the program folder
    qint64 room;       // the bytes the failing device takes before it gives out
    bool needsRoom;    // false: the write goes over bytes already there, and a full disk allows it
    Messages::Shown failure;
    std::optional<Messages::Shown> success;
    std::function<Step(Row &)> prepare; // opens the window and does all but the last action
    // Where the message names the cause: its text for each fault (null: `failure` always).
    std::function<QString(Fault)> failureText = {};
};

bool shows(QWidget *w)
{
    w->show();
    return QTest::qWaitForWindowExposed(w);
}

// ---- The write paths ---------------------------------------------------------------------

// Salva on a card: a new record appended, or the second record edited and saved in place.
Step saveCard(CardWindow *card, const QString &archiveName, const QString &title, bool overwrite)
{
    const QString archive = ProgramFolder::file(archiveName);
    if (auto *document = qobject_cast<DocumentCard *>(card))
        document->openArchive(archive, title);
    if (!shows(card))
        return {};
    const records::Layout &layout = card->layout();
    if (overwrite)
        card->showRecord(Record(layout, archive::readAt(archive, layout.size(), 2)), 2);
    else {
        card->loadRecord(sample(layout, QStringLiteral("Terzo")));
        card->lblPosizione->clear();
    }
    const QString field = typedField(layout);
    const QString typed = QStringLiteral("Modificato a mano");
    card->setField(field, typed);
    auto *salva = card->findChild<QToolButton *>(QStringLiteral("cmdSalva"));
    if (!salva)
        return {};
    // An edited record keeps its position either way: only the message tells.
    std::function<bool()> done;
    if (!overwrite)
        done = [card] { return card->lblPosizione->text() == u"3"; };
    return {[salva] { QTest::mouseClick(salva, Qt::LeftButton); }, done,
            [card, field, typed] { return card->values().text(field) == typed; }}; // nothing typed is lost
}

template <class Card>
WritePath cardPath(const char *name, Card *Workspace::*card, const QString &archiveName, bool overwrite,
                   Kind failureKind)
{
    const int size = (archiveName == TfrmClienti::kArchiveName ? records::client()
                      : archiveName == models::kArchiveName    ? records::model()
                      : archiveName == kReports                ? records::report()
                                                               : records::certificate())
                         .size();
    return {name,
            archiveName,
            size / 2,
            !overwrite,
            {failureKind, cardTexts::kArchiveAccess},
            Messages::Shown{Kind::Information, overwrite ? cardTexts::kSavedChanges : cardTexts::kInserted},
            [=](Row &row) {
                const QString title = archiveName == kReports ? TfrmRapporti::kTitlePrefix + kYear
                                                              : TfrmCertificati::kTitlePrefix + kYear;
                return saveCard(row.ws().*card, archiveName, title, overwrite);
            }};
}

template <class Window, class... Args>
WritePath exportPath(const char *name, const char *file, Args... args)
{
    return {name,
            QString::fromLatin1(file),
            500,
            true,
            {Kind::Plain, exportTexts::kFailed},
            Messages::Shown{Kind::Question, exportTexts::kAskOpen},
            [=](Row &row) -> Step {
                auto *w = row.own(new Window(nullptr, args()...));
                if (!shows(w))
                    return {};
                return {[w] {
                            Messages::queueAnswer(true);  // export now
                            Messages::queueAnswer(false); // do not open the file
                            QTest::mouseClick(w->cmdEsporta, Qt::LeftButton);
                        },
                        {},
                        [w] { return w->isVisible() && w->model()->rowCount(QModelIndex()) == 2; }};
            }};
}

QString reportArchive()
{
    return ProgramFolder::file(kReports);
}
QString certificateArchive()
{
    return ProgramFolder::file(kCertificates);
}

const QList<WritePath> &writePaths()
{
    static const QList<WritePath> paths = [] {
        QList<WritePath> p;
        p << cardPath("client appended", &Workspace::frmClienti, TfrmClienti::kArchiveName, false, Kind::Error)
          << cardPath("client edited", &Workspace::frmClienti, TfrmClienti::kArchiveName, true, Kind::Error)
          << cardPath("model appended", &Workspace::frmParametri, models::kArchiveName, false, Kind::Error)
          << cardPath("model edited", &Workspace::frmParametri, models::kArchiveName, true, Kind::Error)
          << cardPath("report appended", &Workspace::frmRapporti, kReports, false, Kind::Error)
          << cardPath("report edited", &Workspace::frmRapporti, kReports, true, Kind::Error)
          << cardPath("certificate appended", &Workspace::frmCertificati, kCertificates, false, Kind::Plain)
          << cardPath("certificate edited", &Workspace::frmCertificati, kCertificates, true, Kind::Plain);

        p << WritePath{"numbering settings", settings::kFileName, 100, true,
                       {Kind::Error, TfrmNumerazione::kWriteFailed}, std::nullopt,
                       [](Row &row) -> Step {
                           auto *w = row.own(new TfrmNumerazione(nullptr));
                           w->lblMemory->setText(TfrmNumerazione::kModeCertificates);
                           if (!shows(w))
                               return {};
                           w->txtInizio->setText(QStringLiteral("250"));
                           return {[w] { QTest::mouseClick(w->btnApplica, Qt::LeftButton); },
                                   [w] { return w->result() == QDialog::Accepted && !w->isVisible(); },
                                   [w] { return w->txtInizio->text() == u"250"; }};
                       }};
        // The laboratory block goes back to the settings file when the card closes.
        p << WritePath{"laboratory settings", settings::kFileName, 100, true,
                       {Kind::Warning, DocumentCard::kLaboratoryNotSaved}, std::nullopt,
                       [](Row &row) -> Step {
                           TfrmRapporti *card = row.ws().frmRapporti;
                           card->openArchive(reportArchive(), TfrmRapporti::kTitlePrefix + kYear);
                           if (!shows(card))
                               return {};
                           card->setField(QStringLiteral("txtLaboratorio"), QStringLiteral("Laboratorio Bianchi"));
                           return {[card] { card->close(); }, {}, [card] { return !card->isVisible(); }};
                       }};
        p << WritePath{"password change", password::kFileName, 10, true,
                       {Kind::Plain, passwordTexts::kChangeError}, Messages::Shown{Kind::Plain, passwordTexts::kChanged},
                       [](Row &row) -> Step {
                           TfrmCambiaPassword *w = row.ws().frmCambiaPassword;
                           if (!shows(w))
                               return {};
                           w->txtPasswordOld->setText(QStringLiteral("benvenutonuovo"));
                           w->txtPasswordNew->setText(QStringLiteral("laboratorio"));
                           w->txtConferma->setText(QStringLiteral("laboratorio"));
                           return {[w] { QTest::mouseClick(w->cmdOK, Qt::LeftButton); },
                                   [w] { return !w->isVisible(); },
                                   {}};
                       }};
        p << exportPath<TfrmExpClienti>("clients export", "Clienti.xls")
          << exportPath<TfrmExpParametri>("models export", "Modelli_Analisi.xls")
          << exportPath<TfrmExpRapporti>("reports export", "Rapporti_di_Prova.xls", reportArchive)
          << exportPath<TfrmExpCertificati>("certificates export", "Certificati_Analisi_Chimica.xls",
                                            certificateArchive);
        p << WritePath{"client card PDF", clients::kSheetPdf, 2000, true,
                       {Kind::Error, QStringLiteral("Impossibile scrivere il file PDF \"%1\".")},
                       Messages::Shown{Kind::Question, clients::kPdfDone},
                       [](Row &row) -> Step {
                           TfrmClienti *card = row.ws().frmClienti;
                           if (!shows(card))
                               return {};
                           card->setField(QStringLiteral("txtCliente"), QStringLiteral("Rossi Mario"));
                           return {[card] {
                                       Messages::queueAnswer(false); // do not open the file
                                       QTest::mouseClick(card->cmdPDF, Qt::LeftButton);
                                   },
                                   {},
                                   {}};
                       }};
        p << WritePath{"logo", logo::kFileName, 4096, true, {Kind::Warning, TfrmLogo::kSaveFailed}, std::nullopt,
                       [](Row &row) -> Step {
                           auto *w = row.own(new TfrmLogo(nullptr));
                           if (!shows(w))
                               return {};
                           QTest::mouseClick(w->imgEuro, Qt::LeftButton); // the built-in picture
                           return {[w] { QTest::mouseClick(w->btnApplica, Qt::LeftButton); },
                                   [w] { return w->result() == QDialog::Accepted && !w->isVisible(); },
                                   [w] { return w->picture() == logo::defaultPicture(); }};
                       }};
        p << WritePath{"attachment copy", attachments::kFolderName + u'/' + kAttached, 20000, true,
                       {Kind::Warning, {}}, std::nullopt,
                       [](Row &row) -> Step {
                           const QString source = row.elsewhere(kAttached);
                           if (!support::writeFile(source, QByteArray(64 * 1024, 'a')))
                               return {};
                           auto *w = row.own(new TfrmAllegaCartella(nullptr, nullptr));
                           if (!shows(w))
                               return {};
                           w->txtFile[0]->setText(QStringLiteral("vecchio.pdf"));
                           return {[w, source] {
                                       FileDialogs::queueAnswer(source);
                                       Messages::queueAnswer(true); // replace the file of that name
                                       QTest::mouseClick(w->btnSfoglia[0], Qt::LeftButton);
                                   },
                                   [w] { return w->txtFile[0]->text() == kAttached; },
                                   [w] { return w->isVisible(); }};
                       },
                       [](Fault fault) {
                           using W = TfrmAllegaCartella;
                           const QString cause = fault == Fault::FullDisk         ? W::kCauseDiskFull
                                                 : fault == Fault::ReadOnlyFolder ? W::kCauseNoPermission
                                                                                  : W::kCauseUnknown;
                           return W::kCopyFailed.arg(kAttached, cause);
                       }};
        return p;
    }();
    return paths;
}

// Questions some paths ask before they write: neither success nor failure.
bool askedBeforeWriting(const Messages::Shown &m)
{
    return m.kind == Kind::Question
        && (m.text == exportTexts::kAskExport || m.text == TfrmAllegaCartella::kOverwrite);
}

QString describe(const QList<Messages::Shown> &shown)
{
    QStringList lines;
    for (const Messages::Shown &m : shown)
        lines.append(QStringLiteral("[%1] %2").arg(int(m.kind)).arg(m.text.left(70)));
    return lines.isEmpty() ? QStringLiteral("(no message)") : lines.join(QStringLiteral(" | "));
}

QString describe(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after)
{
    QStringList changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (!after.contains(it.key()))
            changed.append(it.key() + QStringLiteral(" gone"));
        else if (after.value(it.key()) != it.value())
            changed.append(it.key() + QStringLiteral(" changed"));
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key()))
            changed.append(it.key() + QStringLiteral(" added"));
    return changed.join(QStringLiteral(", "));
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestFaultTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Clock::setOverride(QDateTime(QDate(2025, 3, 14), QTime(9, 30, 0)));
        m_clock.start();
    }
    void cleanupTestCase()
    {
        Clock::setOverride({});
        qInfo("%lld rows in %lld ms", m_rows, m_clock.elapsed());
    }
    void init()
    {
        Messages::startRecording();
        Shell::startRecording();
        Outputs::startRecording();
        FileDialogs::startRecording();
    }
    void cleanup()
    {
        WriteThrough::setOverride({});
        FileDialogs::stopRecording();
        Outputs::stopRecording();
        Shell::stopRecording();
        Messages::stopRecording();
        ProgramFolder::setOverride({});
    }

    void everyWriteUnderEveryFault_data()
    {
        QTest::addColumn<int>("path");
        QTest::addColumn<Fault>("fault");
        const std::pair<Fault, const char *> faults[] = {{Fault::None, "no fault"},
                                                         {Fault::FullDisk, "full file system"},
                                                         {Fault::ReadOnlyFolder, "read-only folder"},
                                                         {Fault::FolderInPlace, "a folder in the file's place"},
                                                         {Fault::FailingDevice, "disk gives out part way"}};
        for (int i = 0; i < writePaths().size(); ++i)
            for (const auto &[fault, name] : faults)
                QTest::addRow("%s, %s", writePaths()[i].name, name) << i << fault;
    }
    void everyWriteUnderEveryFault()
    {
        QFETCH(int, path);
        QFETCH(Fault, fault);
        const WritePath &p = writePaths()[path];
        ++m_rows;

        // A file system of its own, so it can be filled or made read-only; the rows
        // that need neither run in a plain temporary folder when mounting is not allowed.
        ScratchFs fs(4 * 1024 * 1024);
        if (!fs.mounted() && (fault == Fault::FullDisk || fault == Fault::ReadOnlyFolder))
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        QTemporaryDir plain, elsewhere;
        const QString folder = fs.mounted() ? fs.path() : plain.path();
        ProgramFolder::setOverride(folder);
        QString why;
        QVERIFY2(seed(folder, &why), qPrintable(why));
        const QString target = ProgramFolder::file(p.target);

        Row row(elsewhere.path());
        const Step step = p.prepare(row);
        QVERIFY2(step.act, "the window did not come up");
        QVERIFY2(Messages::taken().isEmpty(), "a message before the last action");

        if (fault == Fault::FolderInPlace) {
            QFile::remove(target);
            QVERIFY(QDir().mkpath(target));
            QVERIFY(support::writeFile(target + QStringLiteral("/dentro.txt"), "resta"));
        }
        const QMap<QString, QByteArray> before = snapshot(folder);
        Gauge gauge;
        switch (fault) {
        case Fault::FullDisk:
            QVERIFY(fs.fill());
            break;
        case Fault::ReadOnlyFolder:
            QVERIFY(makeFolderReadOnly(fs, folder));
            break;
        case Fault::FailingDevice:
            WriteThrough::setOverride([room = p.room, &gauge](QIODevice &file) {
                return std::make_unique<GaugedDevice>(room, &file, gauge);
            });
            break;
        default:
            break;
        }

        step.act();
        WriteThrough::setOverride({});
        fs.unfill();
        QList<Messages::Shown> shown = Messages::taken();
        shown.removeIf(askedBeforeWriting);
        const QMap<QString, QByteArray> after = snapshot(folder);

        if (step.always)
            QVERIFY2(step.always(), "the window lost what the user gave it");
        const bool mustWork = fault == Fault::None || (fault == Fault::FullDisk && !p.needsRoom);
        if (mustWork) {
            // Said as done (or silently done, where the window says nothing), and only the
            // path's own file changed.
            QList<Messages::Shown> expected;
            if (p.success)
                expected.append(*p.success);
            QVERIFY2(shown == expected, qPrintable(describe(shown)));
            if (step.done)
                QVERIFY(step.done());
            QVERIFY2(after.value(p.target) != before.value(p.target), "the file was not written");
            QMap<QString, QByteArray> others = after, othersBefore = before;
            others.remove(p.target);
            othersBefore.remove(p.target);
            QVERIFY2(others == othersBefore, qPrintable(describe(othersBefore, others)));
            if (fault == Fault::None)
                QVERIFY2(after.value(p.target).size() > p.room, "the failing device would not fail part way");
            return;
        }

        // Said as failed, never as done, and not one byte of the folder changed.
        Messages::Shown failure = p.failure;
        if (p.failureText)
            failure.text = p.failureText(fault);
        if (failure.text.contains(u"%1"))
            failure.text = failure.text.arg(target);
        QVERIFY2(shown == QList<Messages::Shown>{failure}, qPrintable(describe(shown)));
        if (step.done)
            QVERIFY2(!step.done(), "the window shows the write as done");
        QVERIFY2(after == before, qPrintable(describe(before, after)));
        if (fault == Fault::FailingDevice) {
            // The write really began and ran out of room part way.
            QVERIFY(gauge.made > 0);
            QVERIFY(gauge.ranOut);
            QVERIFY(gauge.taken > 0);
        }
    }

private:
    QElapsedTimer m_clock;
    qint64 m_rows = 0;
};

QTEST_MAIN(TestFaultTable)
#include "test_fault_table.moc"
