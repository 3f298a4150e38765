// The client card driven as a user would: fields, Salva, arrows, Duplica, typing rules.

#include "app/frmavvio.h"
#include "ui/seams.h"
#include "app/workspace.h"
#include "clients/frmclienti.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/sharelock.h"
#include "storage/writethrough.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "support/cardfixture.h"
#include "support/faildevice.h"
#include "support/messages.h"

using Messages::Kind;
using records::Record;

class TestClienti : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_fx.setUp();
        QVERIFY(m_fx.open(card()));
    }
    void cleanup() { m_fx.tearDown(); }

    void opensOnAnEmptyNewCard()
    {
        QCOMPARE(card()->windowTitle(), QStringLiteral(" Tirello - Anagrafica clienti"));
        QCOMPARE(card()->panInfo->text(), cardTexts::kReady);
        appendClient(QStringLiteral("Rossi Mario"));
        click(card()->cmdPrimo);
        QCOMPARE(field("txtCliente")->text(), QStringLiteral("Rossi Mario"));
        // Leaving and entering again shows the card reset, not as it was left.
        QVERIFY(card()->close());
        QVERIFY(m_fx.ws().frmAvvio->isVisible());
        QTest::mouseClick(m_fx.ws().frmAvvio->btnApp[0], Qt::LeftButton);
        QVERIFY(card()->isVisible());
        QVERIFY(field("txtCliente")->text().isEmpty());
        QVERIFY(card()->lblPosizione->text().isEmpty());
        QCOMPARE(card()->focusWidget(), field("txtCliente"));
    }

    void saveWithoutNameWarnsAndTouchesNothing()
    {
        field("txtNote")->setText(QStringLiteral("solo note"));
        click(card()->cmdSalva);
        support::expectOne(Kind::Warning, TfrmClienti::kNameMissing);
        QCOMPARE(card()->focusWidget(), field("txtCliente"));
        QVERIFY(!QFile::exists(archive()));
    }

    // The window shows its one fixed message, and the cause goes to the program's logging
    // category, so that a lock held by another station and a disk that gives out half way
    // can be told apart.
    void saveFailureKeepsItsCause_data()
    {
        QTest::addColumn<bool>("lockHeld");
        QTest::addColumn<QString>("cause");
        QTest::newRow("lock held by another station") << true << "lock not had";
        QTest::newRow("short write") << false << "write failed";
    }
    void saveFailureKeepsItsCause()
    {
        QFETCH(bool, lockHeld);
        QFETCH(QString, cause);
        static QStringList logged;
        logged.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("tirello.warning=true"));
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context,
                                                                    const QString &message) {
            if (QLatin1String(context.category) == QLatin1String("tirello"))
                logged << message;
        });
        const sharelock::Timings timings = sharelock::timings();
        const auto restore = qScopeGuard([&] {
            qInstallMessageHandler(previous);
            QLoggingCategory::setFilterRules(QString());
            WriteThrough::setOverride({});
            sharelock::setTimings(timings);
        });
        if (lockHeld) {
            sharelock::Timings quick;
            quick.wait = std::chrono::milliseconds(300);
            sharelock::setTimings(quick);
            QFile lock(archive() + QStringLiteral(".lock"));
            QVERIFY(lock.open(QIODevice::WriteOnly));
        } else {
            WriteThrough::setOverride([](QIODevice &file) { return std::make_unique<FailDevice>(100, &file); });
        }
        field("txtCliente")->setText(QStringLiteral("Rossi Mario"));
        click(card()->cmdSalva);
        support::expectOne(Kind::Error, cardTexts::kArchiveAccess);
        QCOMPARE(QFileInfo(archive()).size(), 0);
        QVERIFY2(logged.join(u'\n').contains(cause), qPrintable(logged.join(u'\n')));
    }

    void saveAppendsThenOverwrites()
    {
        appendClient(QStringLiteral("Primo"));
        appendClient(QStringLiteral("Secondo"));
        field("txtCliente")->setFocus();
        QTest::keyClicks(field("txtCliente"), QString(60, u'B'));
        field("txtNote")->setText(QStringLiteral("   con spazi   "));
        QTest::mouseClick(card()->chkRicontatta, Qt::LeftButton, {}, QPoint(8, 11));
        QVERIFY(card()->chkRicontatta->isChecked());
        click(card()->cmdSalva);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("3"));

        QByteArray bytes = fileBytes();
        QCOMPARE(bytes.size(), 3 * 3392);
        const QByteArray third = bytes.mid(2 * 3392);
        QCOMPARE(third.left(51), QByteArray(1, char(50)) + QByteArray(50, 'B'));
        QCOMPARE(third.mid(1632, 10), QByteArray("\x09" "con spazi"));
        QCOMPARE(third.mid(1883, 3), QByteArray("\x02\x53\xEC"));

        // A second save overwrites the same record.
        card()->chkRicontatta->setChecked(false);
        field("txtCliente")->setText(QStringLiteral("Bianchi Anna"));
        click(card()->cmdSalva);
        support::expectOne(Kind::Information, cardTexts::kSavedChanges);
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("3"));
        bytes = fileBytes();
        QCOMPARE(bytes.size(), 3 * 3392);
        QCOMPARE(bytes.mid(2 * 3392 + 1883, 3), QByteArray("\x02No"));
        QCOMPARE(Record(records::client(), bytes.mid(2 * 3392, 3392)).text(QStringLiteral("txtCliente")),
                 QStringLiteral("Bianchi Anna"));
    }

    void browsing()
    {
        for (const char *name : {"Uno", "Due", "Tre"})
            appendClient(QString::fromLatin1(name));
        // From a new card both Previous and Next show the first record.
        click(card()->cmdIndietro);
        expectShown("Uno", "1");
        click(card()->cmdNuovo);
        click(card()->cmdAvanti);
        expectShown("Uno", "1");
        click(card()->cmdIndietro); // on the first: nothing
        expectShown("Uno", "1");
        click(card()->cmdAvanti);
        expectShown("Due", "2");
        click(card()->cmdUltimo);
        expectShown("Tre", "3");
        field("txtCliente")->setText(QStringLiteral("modifica non salvata"));
        click(card()->cmdAvanti); // on the last: nothing, the edit stays
        QCOMPARE(field("txtCliente")->text(), QStringLiteral("modifica non salvata"));
        click(card()->cmdIndietro);
        expectShown("Due", "2");
        click(card()->cmdPrimo);
        expectShown("Uno", "1");
        QVERIFY(Messages::taken().isEmpty());
    }

    void emptyOrMissingArchive_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("first") << "cmdPrimo";
        QTest::newRow("last") << "cmdUltimo";
        QTest::newRow("previous") << "cmdIndietro";
        QTest::newRow("next") << "cmdAvanti";
    }
    void emptyOrMissingArchive()
    {
        QFETCH(QString, command);
        click(card()->findChild<QToolButton *>(command));
        support::expectOne(Kind::Information, cardTexts::kEmptyArchive);
        QVERIFY(QFile::exists(archive()));
        QVERIFY(card()->lblPosizione->text().isEmpty());
    }

    void flagOtherThanYesOrNoLeavesTheBox()
    {
        Record r(records::client());
        r.setText(QStringLiteral("txtCliente"), QStringLiteral("Senza flag")); // flag bytes all zero
        archive::append(archive(), r.bytes());
        card()->chkRicontatta->setChecked(true);
        click(card()->cmdPrimo);
        QVERIFY(card()->chkRicontatta->isChecked());
    }

    void duplicate()
    {
        click(card()->cmdDuplica); // a new card cannot be duplicated
        support::expectOne(Kind::Warning, cardTexts::kDuplicateNeedsStored);

        Record r(records::client());
        r.setText(QStringLiteral("txtCliente"), QStringLiteral("Verdi Luca"));
        r.setText(QStringLiteral("txtComuneRes"), QStringLiteral("Pisa"));
        r.setText(QStringLiteral("lblFile01"), QStringLiteral("contratto.pdf"));
        r.setText(QStringLiteral("lblDesc01"), QStringLiteral("Contratto"));
        r.setText(QStringLiteral("chkRicontatta"), records::kNo);
        archive::append(archive(), r.bytes());
        click(card()->cmdPrimo);
        QCOMPARE(card()->values().text(QStringLiteral("lblFile01")), QStringLiteral("contratto.pdf"));
        click(card()->cmdDuplica);
        support::expectOne(Kind::Information, cardTexts::kDuplicated);
        QVERIFY(card()->lblPosizione->text().isEmpty());
        QVERIFY(card()->values().text(QStringLiteral("lblFile01")).isEmpty() && card()->values().text(QStringLiteral("lblDesc01")).isEmpty());
        QCOMPARE(card()->focusWidget(), field("txtCliente"));
        click(card()->cmdSalva);
        support::expectOne(Kind::Information, cardTexts::kInserted);
        const Record copy(records::client(), archive::readAt(archive(), 3392, 2));
        QCOMPARE(copy.text(QStringLiteral("txtComuneRes")), QStringLiteral("Pisa"));
        QCOMPARE(copy.text(QStringLiteral("lblFile01")), QString());
        QCOMPARE(archive::readAt(archive(), 3392, 1), r.bytes()); // the original is untouched
    }

    void archiveFailureShowsTheAccessMessage()
    {
        QVERIFY(QDir(m_fx.folder()).mkdir(TfrmClienti::kArchiveName));
        for (QToolButton *b : {card()->cmdPrimo, card()->cmdAvanti}) {
            click(b);
            support::expectOne(Kind::Error, cardTexts::kArchiveAccess);
        }
        field("txtCliente")->setText(QStringLiteral("Rossi"));
        click(card()->cmdSalva);
        support::expectOne(Kind::Error, cardTexts::kArchiveAccess);
        QCOMPARE(field("txtCliente")->text(), QStringLiteral("Rossi")); // nothing typed is lost
        // A position that is not a number is a failed cycle too.
        QVERIFY(QDir(m_fx.folder()).rmdir(TfrmClienti::kArchiveName));
        card()->lblPosizione->setText(QStringLiteral("x"));
        click(card()->cmdSalva);
        support::expectOne(Kind::Error, cardTexts::kArchiveAccess);
    }

    void typingRules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("province") << "txtProvRes" << " m i " << "MI";
        QTest::newRow("province birth") << "txtProvNasc" << "rm" << "RM";
        QTest::newRow("sex") << "txtSesso" << "f" << "F";
        QTest::newRow("postcode") << "txtCapRes" << "56a2" << "56A2";
        QTest::newRow("tax code") << "txtCodFisc" << " rss mra " << "RSSMRA";
        QTest::newRow("iban") << "txtIban" << "it60 x" << "IT60X";
        QTest::newRow("pec") << "txtFax" << " a@b.it " << "a@b.it";
        QTest::newRow("card digits") << "txtCarta" << "4111-1111 abc" << "41111111";
        QTest::newRow("vat digits") << "txtPartitaIva" << "IT 012.345" << "012345";
        QTest::newRow("free text") << "txtDataNasc" << " 1 gennaio " << " 1 gennaio ";
    }
    void typingRules()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QWidget *w = card()->findChild<QWidget *>(name);
        w->setFocus();
        QTest::keyClicks(w, typed);
        QCOMPARE(w->property("currentText").isValid() ? w->property("currentText").toString()
                                                      : qobject_cast<QLineEdit *>(w)->text(),
                 shown);
    }

    void digitsOnlyKeepsEditingKeys()
    {
        QLineEdit *e = field("txtCarta");
        e->setFocus();
        QTest::keyClicks(e, QStringLiteral("123"));
        QTest::keyClick(e, Qt::Key_Left);
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClick(e, Qt::Key_Home); // not an editing key: swallowed
        QTest::keyClick(e, Qt::Key_Delete);
        QCOMPARE(e->text(), QStringLiteral("1"));
    }

    void emailTrimmedOnLeaving()
    {
        field("txtEmail")->setText(QStringLiteral("  a@b.it  "));
        field("txtEmail")->setFocus();
        field("txtCliente")->setFocus();
        QCOMPARE(field("txtEmail")->text(), QStringLiteral("a@b.it"));
    }

    void enterChainSkipsTheCheckBoxAndWraps()
    {
        field("txtQuestioni")->setFocus();
        QTest::keyClick(card()->focusWidget(), Qt::Key_Return);
        QCOMPARE(card()->focusWidget(), field("txtNote"));
        QTest::keyClick(card()->focusWidget(), Qt::Key_Return);
        QCOMPARE(card()->focusWidget(), field("txtCliente"));
        // The whole ring: 29 fields, back where it started.
        QSet<QWidget *> seen;
        for (int i = 0; i < 29; ++i) {
            seen.insert(card()->focusWidget());
            QTest::keyClick(card()->focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(card()->focusWidget(), field("txtCliente"));
        QCOMPARE(seen.size(), 29);
        QVERIFY(!seen.contains(card()->chkRicontatta));
    }

    void hintsFollowTheMouse()
    {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(card()->cmdSalva, &enter);
        QCOMPARE(card()->panInfo->text(), QStringLiteral("Salva la scheda corrente."));
        QCOMPARE(card()->cmdSalva->accessibleDescription(), QStringLiteral("Salva la scheda corrente."));
        QTest::mouseMove(card()->panel(), QPoint(5, 600));
        QVERIFY(card()->panInfo->text().isEmpty());
        QCOMPARE(field("txtCliente")->accessibleName(), QStringLiteral("Cognome e nome o ragione sociale:"));
        QCOMPARE(card()->txtProvRes->count(), 112);
        QCOMPARE(field("txtEstremi")->maxLength(), 250);
    }

    void emailButtonOpensTheMailProgram()
    {
        click(card()->btnEmail);
        field("txtEmail")->setText(QStringLiteral(" info@lab.it "));
        click(card()->btnEmail);
        QCOMPARE(Shell::taken(), (QStringList{QStringLiteral("\"mailto:\""), QStringLiteral("\"mailto:info@lab.it\"")}));
    }

    void taxCodeOfDigitsOpensTheVatCheck_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("window");
        QTest::newRow("digits") << "01234567890" << "frmPartitaIva";
        QTest::newRow("letters") << "RSSMRA85T10A562S" << "frmCodFisc";
        QTest::newRow("empty") << "" << "frmCodFisc";
    }
    void taxCodeOfDigitsOpensTheVatCheck()
    {
        QFETCH(QString, code);
        QFETCH(QString, window);
        field("txtCodFisc")->setText(code);
        QString opened;
        QTimer::singleShot(0, this, [&opened] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal) {
                opened = modal->objectName();
                modal->close();
            }
        });
        click(card()->btnCodFisc);
        QCOMPARE(opened, window);
    }

private:
    TfrmClienti *card() const { return m_fx.ws().frmClienti; }
    QLineEdit *field(const char *name) const { return card()->edit(QString::fromLatin1(name)); }
    QString archive() const { return m_fx.file(TfrmClienti::kArchiveName); }
    QByteArray fileBytes() const
    {
        QFile f(archive());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void appendClient(const QString &name)
    {
        Record r(records::client());
        r.setText(QStringLiteral("txtCliente"), name);
        r.setText(QStringLiteral("chkRicontatta"), records::kNo);
        archive::append(archive(), r.bytes());
    }
    static void click(QToolButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    void expectShown(const char *name, const char *position)
    {
        QCOMPARE(field("txtCliente")->text(), QString::fromLatin1(name));
        QCOMPARE(card()->lblPosizione->text(), QString::fromLatin1(position));
    }

    support::CardFixture m_fx;
};

QTEST_MAIN(TestClienti)
#include "test_clienti.moc"
