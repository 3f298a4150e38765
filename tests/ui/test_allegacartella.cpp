// The attachment window: its controls and tab order, "Sfoglia..." copying into the folder
// beside the program (the overwrite question, copies that fail, names a record cannot
// hold, progress and cancelling of a long copy), "Apri" through the shell, the eraser,
// "Applica e chiudi" and "Annulla", and the hand-over from each card down to the bytes
// of the six fields after the card's next save.

#include "clients/frmclienti.h"
#include "models/frmparametri.h"
#include "certificates/frmcertificati.h"
#include "reports/frmrapporti.h"
#include "storage/attachments.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"
#include "ui/frmallegacartella.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "support/environment.h"
#include "support/cardfixture.h"
#include "support/fieldtarget.h"
#include "support/files.h"
#include "support/messages.h"
#include "support/modal.h"
#include "support/scratchfs.h"

using Messages::Kind;
using W = TfrmAllegaCartella;

using support::readFile;
using support::writeFile;

namespace {

QStringList sixFields()
{
    QStringList names;
    for (int n = 0; n < W::kSlots; ++n)
        names << W::fileField(n);
    for (int n = 0; n < W::kSlots; ++n)
        names << W::descField(n);
    return names;
}

} // namespace

class TestAllegaCartella : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_fx.setUp();
        FileDialogs::startRecording();
        m_elsewhere.reset(new QTemporaryDir);
    }
    void cleanup()
    {
        W::progressDelay = 500;
        FileDialogs::stopRecording();
        m_fx.tearDown();
    }

    // ---- The window on its own -------------------------------------------------------

    void controlsAndTabOrder()
    {
        W w(nullptr, nullptr);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.objectName(), QStringLiteral("frmAllegaCartella"));
        QCOMPARE(w.windowTitle(), QStringLiteral(" Allega file"));
        QCOMPARE(w.size(), QSize(634, 534));
        QVERIFY(!(w.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
        QVERIFY(w.lblMemory->isHidden());

        QList<QWidget *> expectedTabs;
        for (int n = 0; n < W::kSlots; ++n) {
            const QString nn = QStringLiteral("0%1").arg(n + 1);
            const QString ordinal = QStringLiteral("%1\u00b0").arg(n + 1);
            QCOMPARE(w.txtFile[n]->objectName(), "txtFile" + nn);
            QCOMPARE(w.txtDesc[n]->objectName(), "txtDesc" + nn);
            QCOMPARE(w.btnSfoglia[n]->objectName(), "btnSfoglia" + nn);
            QCOMPARE(w.btnApri[n]->objectName(), "btnApri" + nn);
            QCOMPARE(w.imgCancella[n]->objectName(), "imgCancella" + nn);
            QCOMPARE(w.txtFile[n]->accessibleName(), QStringLiteral("Nome %1 file allegato:").arg(ordinal));
            QCOMPARE(w.txtDesc[n]->accessibleName(), QStringLiteral("Descrizione %1 file allegato:").arg(ordinal));
            QCOMPARE(w.btnSfoglia[n]->text(), QStringLiteral("Sfoglia..."));
            QCOMPARE(w.btnApri[n]->text(), QStringLiteral("Apri"));
            QCOMPARE(w.imgCancella[n]->size(), QSize(22, 22));
            QVERIFY(!w.imgCancella[n]->icon().isNull());
            QVERIFY(!w.imgCancella[n]->accessibleName().isEmpty());
            QVERIFY(w.txtFile[n]->isReadOnly());
            QVERIFY(!w.txtDesc[n]->isReadOnly());
            QVERIFY(!w.btnApri[n]->isEnabled());
            expectedTabs << w.txtFile[n] << w.btnSfoglia[n] << w.btnApri[n] << w.txtDesc[n];
            // The eraser right of the name.
            QVERIFY(w.imgCancella[n]->geometry().left() > w.txtFile[n]->geometry().right());
        }
        QCOMPARE(w.btnAnnulla->text(), QStringLiteral("Annulla"));
        QCOMPARE(w.btnApplica->text(), QStringLiteral("Applica e chiudi"));
        expectedTabs << w.btnApplica << w.btnAnnulla;

        // Apri takes the focus only when it has a name to open.
        for (int n = 0; n < W::kSlots; ++n)
            w.txtFile[n]->setText(QStringLiteral("a.pdf"));
        QCOMPARE(QApplication::focusWidget(), w.txtFile[0]);
        QList<QWidget *> visited{QApplication::focusWidget()};
        for (qsizetype i = 1; i < expectedTabs.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited, expectedTabs);

        // A description has no limit of its own here.
        w.txtDesc[0]->setText(QString(400, u'd'));
        QCOMPARE(w.txtDesc[0]->text().size(), 400);
    }

    // The file dialog's title and filter; cancelling it changes nothing.
    void fileDialogCancelled()
    {
        W w(nullptr, nullptr);
        w.txtFile[1]->setText(QStringLiteral("vecchio.pdf"));
        QTest::mouseClick(w.btnSfoglia[1], Qt::LeftButton);
        const QList<FileDialogs::Asked> asked = FileDialogs::taken();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].caption, QStringLiteral("Selezionare il file da allegare:"));
        QCOMPARE(asked[0].filter, QStringLiteral("Tutti i file (*.*)"));
        QCOMPARE(w.txtFile[1]->text(), QStringLiteral("vecchio.pdf"));
        QVERIFY(!QFileInfo::exists(attachments::folder()));
        support::expectNone();
    }

    // The real dialog reads "Tutti i file (*.*)" and lists every file, also those whose
    // names have no dot.
    void everyFileListed()
    {
        FileDialogs::stopRecording();
        QVERIFY(writeFile(m_elsewhere->filePath(QStringLiteral("LEGGIMI")), "x"));
        bool ran = false;
        support::onModal(this, [&](QDialog *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QVERIFY(combo);
            QCOMPARE(combo->count(), 1);
            QCOMPARE(combo->currentText(), QStringLiteral("Tutti i file (*.*)"));
            auto *model = dialog->findChild<QFileSystemModel *>();
            QVERIFY(model);
            const QModelIndex folder = model->index(m_elsewhere->path());
            QTRY_COMPARE(model->rowCount(folder), 1);
            QCOMPARE(model->index(0, 0, folder).data().toString(), QStringLiteral("LEGGIMI"));
            ran = true;
        });
        QVERIFY(FileDialogs::openFile(nullptr, W::kDialogTitle, m_elsewhere->path(), W::kDialogFilter).isEmpty());
        QVERIFY(ran);
    }

    // Sfoglia copies into the folder, which it makes; Apri hands the copy's full path,
    // in quotation marks, to the shell.
    void browseCopiesAndApriOpens()
    {
        const QByteArray bytes("%PDF-1.4 referto");
        const QString source = m_elsewhere->filePath(QStringLiteral("referto analisi.pdf"));
        QVERIFY(writeFile(source, bytes));
        W w(nullptr, nullptr);
        FileDialogs::queueAnswer(source);
        QTest::mouseClick(w.btnSfoglia[1], Qt::LeftButton);
        support::expectNone();
        QCOMPARE(w.txtFile[1]->text(), QStringLiteral("referto analisi.pdf"));
        QVERIFY(w.btnApri[1]->isEnabled());
        QVERIFY(!w.btnApri[0]->isEnabled() && !w.btnApri[2]->isEnabled());
        const QString copy = m_fx.file(QStringLiteral("Documenti_Allegati/referto analisi.pdf"));
        QCOMPARE(readFile(copy), bytes);

        QTest::mouseClick(w.btnApri[1], Qt::LeftButton);
        QCOMPARE(Shell::taken(), QStringList{u'"' + copy + u'"'});
        support::expectNone();
    }

    // A file of that name in the folder: Yes replaces it, No keeps it and the slot names
    // it. Choosing the folder's own copy asks too and leaves it whole.
    void overwriteQuestion_data()
    {
        QTest::addColumn<bool>("ownCopy");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("Yes replaces") << false << true << QByteArray("nuovo");
        QTest::newRow("No keeps the file there") << false << false << QByteArray("vecchio");
        QTest::newRow("the folder's own copy, Yes") << true << true << QByteArray("vecchio");
    }
    void overwriteQuestion()
    {
        QFETCH(bool, ownCopy);
        QFETCH(bool, yes);
        QFETCH(QByteArray, kept);
        QVERIFY(QDir(m_fx.folder()).mkdir(attachments::kFolderName));
        const QString copy = attachments::pathOf(QStringLiteral("referto.pdf"));
        QVERIFY(writeFile(copy, "vecchio"));
        const QString source = m_elsewhere->filePath(QStringLiteral("referto.pdf"));
        QVERIFY(writeFile(source, "nuovo"));

        W w(nullptr, nullptr);
        w.txtFile[0]->setText(QStringLiteral("altro.pdf"));
        FileDialogs::queueAnswer(ownCopy ? copy : source);
        Messages::queueAnswer(yes);
        QTest::mouseClick(w.btnSfoglia[0], Qt::LeftButton);
        support::expectOne(Kind::Question, QStringLiteral("Attenzione: nella cartella dei documenti allegati \u00e8 "
                                                          "presente un file con lo stesso nome.\r\n\r\n"
                                                          "Si vuole sovrascrivere il file esistente?"));
        QCOMPARE(w.txtFile[0]->text(), QStringLiteral("referto.pdf"));
        QCOMPARE(readFile(copy), kept);
        QCOMPARE(QDir(attachments::folder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("referto.pdf")});
    }

    // A copy that cannot be made is said with its cause, and the slot keeps the name it
    // had: it never names a file that is not in the folder. The folder keeps every byte.
    void copyFailureKeepsTheSlot_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("cause");
        QTest::newRow("read-only program folder") << "readOnlyProgram" << W::kCauseNoPermission;
        QTest::newRow("read-only attachment folder") << "readOnlyAttachments" << W::kCauseNoPermission;
        QTest::newRow("a file in the folder's place") << "fileForFolder" << W::kCauseUnknown;
        QTest::newRow("full disk") << "fullDisk" << W::kCauseDiskFull;
        QTest::newRow("source unreadable") << "sourceGone" << W::kCauseSource;
    }
    void copyFailureKeepsTheSlot()
    {
        QFETCH(QString, failure);
        QFETCH(QString, cause);
        ScratchFs fs(256 * 1024);
        const bool needsScratch = failure != u"fileForFolder" && failure != u"sourceGone";
        if (needsScratch && !fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString program = needsScratch ? fs.path() : m_fx.folder();
        ProgramFolder::setOverride(program);
        const QString source = m_elsewhere->filePath(QStringLiteral("grande.bin"));
        QVERIFY(writeFile(source, QByteArray(128 * 1024, 'g')));
        if (failure != u"readOnlyProgram") {
            if (failure == u"fileForFolder") {
                QVERIFY(writeFile(program + u'/' + attachments::kFolderName, "non sono una cartella"));
            } else {
                QVERIFY(QDir(program).mkdir(attachments::kFolderName));
                QVERIFY(writeFile(attachments::pathOf(QStringLiteral("vecchio.pdf")), "vecchio"));
            }
        }
        if (failure.startsWith(u"readOnly"))
            QVERIFY(fs.makeReadOnly());
        if (failure == u"fullDisk")
            QVERIFY(fs.fill());
        if (failure == u"sourceGone")
            QVERIFY(QFile::remove(source));
        const auto before = folderContents(program);
        const auto attachedBefore = folderContents(attachments::folder());

        W w(nullptr, nullptr);
        w.txtFile[2]->setText(QStringLiteral("vecchio.pdf"));
        FileDialogs::queueAnswer(source);
        QTest::mouseClick(w.btnSfoglia[2], Qt::LeftButton);
        support::expectOne(Kind::Warning, W::kCopyFailed.arg(QStringLiteral("grande.bin"), cause));
        QCOMPARE(w.txtFile[2]->text(), QStringLiteral("vecchio.pdf"));
        QCOMPARE(folderContents(program), before);
        QCOMPARE(folderContents(attachments::folder()), attachedBefore);
    }

    // A chosen file whose name the record cannot hold as it is: said, nothing copied.
    void unstorableNameRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Greek letter") << "\u03a9mega.pdf";
        QTest::newRow("longer than the field") << QString(247, u'r') + ".pdf";
        QTest::newRow("a Windows folder separator") << "cartella\\referto.pdf";
    }
    void unstorableNameRefused()
    {
        QFETCH(QString, name);
        const QString source = m_elsewhere->filePath(name);
        QVERIFY(writeFile(source, "dati"));
        W w(nullptr, nullptr);
        w.txtFile[0]->setText(QStringLiteral("vecchio.pdf"));
        FileDialogs::queueAnswer(source);
        QTest::mouseClick(w.btnSfoglia[0], Qt::LeftButton);
        support::expectOne(Kind::Warning, W::kNotStorable.arg(name));
        QCOMPARE(w.txtFile[0]->text(), QStringLiteral("vecchio.pdf"));
        QVERIFY(QDir(attachments::folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    // Apri on a name that climbs out of the folder, or whose copy is not in the folder:
    // said, and nothing goes to the shell, even where such a file exists. A path is
    // looked for by its last part in the folder only, never where it points.
    void apriRefusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("looked"); // empty: refused as unsafe
        QTest::newRow("missing") << "sparito.pdf" << "sparito.pdf";
        QTest::newRow("a folder of that name") << "cartella.pdf" << "cartella.pdf";
        QTest::newRow("parent folder") << "../Clienti.pro" << "";
        QTest::newRow("Windows path climbing out") << "C:\\Tirello\\Documenti_Allegati\\..\\Clienti.pro" << "";
        QTest::newRow("sub-folder") << "sotto/referto.pdf" << "referto.pdf";
        QTest::newRow("absolute") << "/etc/hostname" << "hostname";
        QTest::newRow("Windows path") << "C:\\Documenti\\referto.pdf" << "referto.pdf";
        QTest::newRow("a device") << "C:\\Tirello\\NUL" << "";
        QTest::newRow("dot dot") << ".." << "";
    }
    void apriRefusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, looked);
        const bool unsafe = looked.isEmpty();
        QVERIFY(QDir(m_fx.folder()).mkpath(attachments::kFolderName + QStringLiteral("/sotto")));
        QVERIFY(QDir(attachments::folder()).mkdir(QStringLiteral("cartella.pdf")));
        QVERIFY(writeFile(attachments::folder() + QStringLiteral("sotto/referto.pdf"), "dati"));
        QVERIFY(writeFile(m_fx.file(QStringLiteral("Clienti.pro")), "archivio"));

        W w(nullptr, nullptr);
        w.txtFile[1]->setText(u' ' + name + u' ');
        QVERIFY(w.btnApri[1]->isEnabled());
        QTest::mouseClick(w.btnApri[1], Qt::LeftButton);
        support::expectOne(Kind::Warning, unsafe ? W::kUnsafeName.arg(name) : W::kMissing.arg(looked));
        QVERIFY(Shell::taken().isEmpty());
    }

    // The longest name a record holds (250 characters) is copied like any other: the
    // copy's temporary name stays within the file system's limit.
    void longestStorableNameIsCopied()
    {
        const QString name = QString(246, u'n') + QStringLiteral(".pdf");
        const QString source = m_elsewhere->filePath(name);
        QVERIFY(writeFile(source, "referto lungo"));
        W w(nullptr, nullptr);
        FileDialogs::queueAnswer(source);
        QTest::mouseClick(w.btnSfoglia[0], Qt::LeftButton);
        QVERIFY(Messages::taken().isEmpty());
        QCOMPARE(w.txtFile[0]->text(), name);
        QCOMPARE(readFile(attachments::pathOf(name)), QByteArray("referto lungo"));
        QCOMPARE(QDir(attachments::folder()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    // An older archive's attachment, stored as a whole path, opens the copy of that name
    // in the folder; the slot keeps the name as the record holds it.
    void olderFullPathOpensTheFolderCopy()
    {
        QVERIFY(QDir(m_fx.folder()).mkpath(attachments::kFolderName));
        QVERIFY(writeFile(attachments::folder() + QStringLiteral("Verbale.pdf"), "verbale"));
        const QString stored = QStringLiteral("C:\\Tirello\\Documenti_Allegati\\Verbale.pdf");
        W w(nullptr, nullptr);
        w.txtFile[0]->setText(stored);
        QTest::mouseClick(w.btnApri[0], Qt::LeftButton);
        QVERIFY(Messages::taken().isEmpty());
        QCOMPARE(Shell::taken(), QStringList{u'"' + attachments::folder() + QStringLiteral("Verbale.pdf\"")});
        QCOMPARE(w.txtFile[0]->text(), stored);
    }

    // A copy that takes a while shows its progress; cancelling it leaves no file and
    // the slot as it was. Left alone it ends with the whole copy.
    void longCopyShowsProgressAndCancels()
    {
        W::progressDelay = 0;
        const QByteArray bytes(3 * 1024 * 1024 + 5, 'p');
        const QString source = m_elsewhere->filePath(QStringLiteral("video.mp4"));
        QVERIFY(writeFile(source, bytes));
        W w(nullptr, nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.txtFile[0]->setText(QStringLiteral("vecchio.pdf"));

        for (const bool cancel : {true, false}) {
            bool seen = false;
            QTimer::singleShot(0, &w, [&] {
                auto *progress = w.findChild<QProgressDialog *>();
                QVERIFY(progress && progress->isVisible());
                QCOMPARE(progress->labelText(), W::kCopying.arg(QStringLiteral("video.mp4")));
                QVERIFY(progress->value() > 0 && progress->value() < progress->maximum());
                seen = true;
                if (cancel)
                    progress->cancel();
            });
            FileDialogs::queueAnswer(source);
            w.btnSfogliaClick(0);
            QVERIFY(seen);
            support::expectNone();
            if (cancel) {
                QCOMPARE(w.txtFile[0]->text(), QStringLiteral("vecchio.pdf"));
                QVERIFY(QDir(attachments::folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
            } else {
                QCOMPARE(w.txtFile[0]->text(), QStringLiteral("video.mp4"));
                QVERIFY(readFile(attachments::pathOf(QStringLiteral("video.mp4"))) == bytes);
            }
        }
        QVERIFY(!w.findChild<QProgressDialog *>());
    }

    // "Applica e chiudi" writes the six texts, trimmed, into the caller for the four
    // tags; "Annulla" and an unknown tag write nothing. The window closes in each case.
    void applyAndCancel_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("apply");
        QTest::addColumn<bool>("writes");
        for (const char *tag : {"clienti", "parametri", "rapporti", "certificati"})
            QTest::addRow("apply, %s", tag) << tag << true << true;
        QTest::newRow("Annulla") << "clienti" << false << false;
        QTest::newRow("unknown tag") << "calendario" << true << false;
    }
    void applyAndCancel()
    {
        QFETCH(QString, tag);
        QFETCH(bool, apply);
        QFETCH(bool, writes);
        support::EditsTarget card(sixFields(), QStringLiteral("prima"));
        W w(nullptr, &card);
        w.lblMemory->setText(tag);
        w.show();
        w.txtFile[0]->setText(QStringLiteral("  uno.pdf "));
        w.txtFile[2]->setText(QStringLiteral("tre.pdf"));
        w.txtDesc[1]->setFocus();
        QTest::keyClicks(w.txtDesc[1], QStringLiteral("  Descrizione con spazi  "));
        QTest::mouseClick(apply ? w.btnApplica : w.btnAnnulla, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), apply ? int(QDialog::Accepted) : int(QDialog::Rejected));

        using Call = std::pair<QString, QString>;
        const QList<Call> expected{{"lblFile01", "uno.pdf"}, {"lblFile02", ""},
                                   {"lblFile03", "tre.pdf"}, {"lblDesc01", ""},
                                   {"lblDesc02", "Descrizione con spazi"}, {"lblDesc03", ""}};
        QCOMPARE(card.calls, writes ? expected : QList<Call>{});
    }

    // ---- Hand-over from the cards, and the record after the next save ------------------

    void cardHandOverAndSave_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::newRow("client card") << "clienti";
        QTest::newRow("model card") << "parametri";
        QTest::newRow("test report card") << "rapporti";
        QTest::newRow("certificate card") << "certificati";
    }
    void cardHandOverAndSave()
    {
        QFETCH(QString, tag);
        CardWindow *card = openCard(tag);
        QVERIFY(card);
        const QStringList six = sixFields();
        const QStringList shown{"  contratto.pdf ", "", "vecchio.pdf", " Contratto firmato ", "rimane", ""};
        for (int i = 0; i < six.size(); ++i)
            card->setField(six[i], shown[i]);
        const QString source = m_elsewhere->filePath(QStringLiteral("nuovo referto.pdf"));
        QVERIFY(writeFile(source, "referto"));
        const QString longDesc = QString(240, u'l') + QStringLiteral(" e oltre la fine");

        bool ran = false;
        support::onModal(this, [&](QDialog *modal) {
            auto *w = qobject_cast<W *>(modal);
            QVERIFY(w);
            QCOMPARE(w->parentWidget(), static_cast<QWidget *>(card));
            QCOMPARE(w->lblMemory->text(), tag);
            const QStringList names{w->txtFile[0]->text(), w->txtFile[1]->text(), w->txtFile[2]->text()};
            const QStringList descs{w->txtDesc[0]->text(), w->txtDesc[1]->text(), w->txtDesc[2]->text()};
            QCOMPARE(names, (QStringList{"contratto.pdf", "", "vecchio.pdf"}));
            QCOMPARE(descs, (QStringList{"Contratto firmato", "rimane", ""}));
            QVERIFY(w->btnApri[0]->isEnabled() && !w->btnApri[1]->isEnabled() && w->btnApri[2]->isEnabled());

            // The eraser empties the name and nothing else.
            QTest::mouseClick(w->imgCancella[0], Qt::LeftButton);
            QVERIFY(w->txtFile[0]->text().isEmpty() && !w->btnApri[0]->isEnabled());
            QCOMPARE(w->txtDesc[0]->text(), QStringLiteral("Contratto firmato"));
            FileDialogs::queueAnswer(source);
            QTest::mouseClick(w->btnSfoglia[1], Qt::LeftButton);
            w->txtDesc[1]->setText(longDesc);
            w->txtDesc[2]->setFocus();
            QTest::keyClicks(w->txtDesc[2], QStringLiteral("  Referto n\u00b0 7  "));
            QTest::mouseClick(w->btnApplica, Qt::LeftButton);
            ran = true;
        });
        QTest::mouseClick(card->findChild<QToolButton *>(QStringLiteral("cmdFile")), Qt::LeftButton);
        QVERIFY(ran);
        support::expectNone();
        QCOMPARE(readFile(attachments::pathOf(QStringLiteral("nuovo referto.pdf"))), QByteArray("referto"));

        // Nothing is stored before Salva; then the six fields hold exactly these bytes.
        QVERIFY(!QFile::exists(card->archivePath()) || QFileInfo(card->archivePath()).size() == 0);
        QTest::mouseClick(card->findChild<QToolButton *>(QStringLiteral("cmdSalva")), Qt::LeftButton);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        const QByteArray record = readFile(card->archivePath());
        QCOMPARE(record.size(), card->layout().size());
        const QList<QByteArray> stored{"", "nuovo referto.pdf", "vecchio.pdf", "Contratto firmato",
                                       text::toCp1252(longDesc.left(250)), "Referto n\xb0 7"};
        for (int i = 0; i < six.size(); ++i) {
            const records::Field *f = card->layout().find(six[i]);
            QVERIFY(f);
            // A length byte first, or (certificates) the text ended by zeros.
            const QByteArray text = card->layout().encoding() == records::Encoding::ZeroText
                                        ? stored[i]
                                        : char(stored[i].size()) + stored[i];
            const QByteArray expected = text.leftJustified(f->capacity + 1, '\0');
            QCOMPARE(record.mid(f->offset, f->capacity + 1), expected);
        }
    }

private:
    // The card of a tag on screen as a new card with its mandatory fields filled.
    CardWindow *openCard(const QString &tag)
    {
        CardWindow *card = nullptr;
        QStringList mandatory;
        if (tag == u"clienti") {
            card = m_fx.ws().frmClienti;
            mandatory << "txtCliente";
        } else if (tag == u"parametri") {
            card = m_fx.ws().frmParametri;
            mandatory << "txtAnalisi" << "txtCampione";
        } else {
            const bool reports = tag == u"rapporti";
            DocumentCard *document = reports ? static_cast<DocumentCard *>(m_fx.ws().frmRapporti)
                                             : static_cast<DocumentCard *>(m_fx.ws().frmCertificati);
            document->openArchive(m_fx.file(reports ? QStringLiteral("2025.rdp") : QStringLiteral("2025.cda")),
                                  QStringLiteral(" 2025"));
            for (const DocumentCard::Mandatory &m : document->mandatoryFields())
                mandatory << QString::fromLatin1(m.field);
            card = document;
        }
        if (!m_fx.open(card))
            return nullptr;
        for (const QString &name : mandatory)
            card->setField(name, QStringLiteral("Dato %1").arg(name));
        return card;
    }

    support::CardFixture m_fx;
    std::unique_ptr<QTemporaryDir> m_elsewhere;
};

QTEST_MAIN(TestAllegaCartella)
#include "test_allegacartella.moc"
