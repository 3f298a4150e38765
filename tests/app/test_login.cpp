// The login, change-password and launcher windows driven as a user would.

#include "storage/crypt.h"
#include "app/frmavvio.h"
#include "app/frmpassword.h"
#include "ui/seams.h"
#include "app/workspace.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "support/environment.h"
#include "support/scratchfs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace passwordTexts;
using Messages::Kind;

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        ProgramFolder::setOverride(m_dir->path());
        password::writeStored(passwordFile(), password::kFirstPassword);
        Messages::startRecording();
        Shell::startRecording();
        m_ends = 0;
        setEndHandler([this] { ++m_ends; });
        m_ws = Workspace::create();
        m_ws->start();
        QVERIFY(QTest::qWaitForWindowExposed(login()));
    }
    void cleanup()
    {
        m_ws.reset();
        setEndHandler({});
        Messages::stopRecording();
        Shell::stopRecording();
        ProgramFolder::setOverride({});
    }

    void startUpCreatesTheModelArchive()
    {
        const QFileInfo models(m_dir->filePath(QStringLiteral("Parametri_Chimici.pro")));
        QVERIFY(models.exists());
        QCOMPARE(models.size(), 0);
        QCOMPARE(login()->windowTitle(), QStringLiteral(" Tirello - Autenticazione"));
        QCOMPARE(login()->txtPassword->accessibleName(), QStringLiteral("Immetti la password e premi OK."));
        QVERIFY(!login()->txtPassword->isReadOnly() && login()->txtPassword->echoMode() == QLineEdit::Password);
    }

    void firstPasswordInAnyCaseAndBlanks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("lower") << "benvenutonuovo";
        QTest::newRow("mixed with blanks") << "  BenVenutoNUOVO  ";
    }
    void firstPasswordInAnyCaseAndBlanks()
    {
        QFETCH(QString, typed);
        QVERIFY(!login()->cmdOK->isEnabled());
        QTest::keyClicks(login()->txtPassword, typed);
        QVERIFY(login()->cmdOK->isEnabled());
        QTest::keyClick(login()->txtPassword, Qt::Key_Return);
        QVERIFY(Messages::taken().isEmpty());
        QVERIFY(m_ws->frmAvvio->isVisible());
        QVERIFY(!login()->isVisible());
    }

    void blankPasswordCannotBeSubmitted()
    {
        QTest::keyClicks(login()->txtPassword, QStringLiteral("   "));
        QVERIFY(!login()->cmdOK->isEnabled());
        QTest::keyClick(login()->txtPassword, Qt::Key_Return);
        QVERIFY(Messages::taken().isEmpty());
        QVERIFY(login()->isVisible());
    }

    void wrongOrUnreadablePassword_data()
    {
        QTest::addColumn<QString>("stored"); // "-" removes the file
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("emptied");
        QTest::newRow("wrong") << "" << kWrong << true;
        QTest::newRow("no password file") << "-" << kWrong << true;
        QTest::newRow("not hexadecimal") << "12ZZ" << kReadError << false;
        // A file that is there but cannot be read is not a missing one.
        QTest::newRow("folder in its place") << "<folder>" << kReadError << false;
        QTest::newRow("no read permission") << "<no read>" << kReadError << false;
    }
    void wrongOrUnreadablePassword()
    {
        QFETCH(QString, stored);
        QFETCH(QString, message);
        QFETCH(bool, emptied);
        if (stored == u"-") {
            QFile::remove(passwordFile());
        } else if (stored.startsWith(u'<')) {
            if (!makeUnreadable(stored))
                QSKIP("the password file cannot be made unreadable here (running as root)");
        } else if (!stored.isEmpty()) {
            ini::write(passwordFile(), QStringLiteral("Accesso"), QStringLiteral("Valore"), stored);
        }
        const QString typed = stored.isEmpty() ? QStringLiteral("sbagliata") : QStringLiteral("benvenutonuovo");
        QTest::keyClicks(login()->txtPassword, typed);
        QTest::mouseClick(login()->cmdOK, Qt::LeftButton);
        const auto shown = Messages::taken();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Kind::Plain);
        QCOMPARE(shown[0].text, message);
        QCOMPARE(login()->txtPassword->text().isEmpty(), emptied);
        QVERIFY(login()->isVisible());
        QVERIFY(!m_ws->frmAvvio->isVisible());
        if (emptied)
            QCOMPARE(login()->focusWidget(), login()->txtPassword);
    }

    void exitEndsTheProgram()
    {
        QTest::mouseClick(login()->cmdEsci, Qt::LeftButton);
        QCOMPARE(m_ends, 1);
    }

    void changeWindowRules()
    {
        TfrmCambiaPassword *w = openChange();
        QCOMPARE(w->windowTitle(), QStringLiteral(" Cambia password"));
        QCOMPARE(w->focusWidget(), w->txtPasswordOld);
        QVERIFY(!w->cmdOK->isEnabled());
        QTest::keyClicks(w->txtPasswordOld, QStringLiteral("a"));
        QTest::keyClicks(w->txtPasswordNew, QStringLiteral("b"));
        QTest::keyClicks(w->txtConferma, QStringLiteral("  "));
        QVERIFY(!w->cmdOK->isEnabled());
        QTest::keyClicks(w->txtConferma, QStringLiteral("c"));
        QVERIFY(w->cmdOK->isEnabled());
        // Enter moves round the ring and never presses OK.
        w->txtPasswordOld->setFocus();
        QTest::keyClick(w->txtPasswordOld, Qt::Key_Return);
        QCOMPARE(w->focusWidget(), w->txtPasswordNew);
        QTest::keyClick(w->txtPasswordNew, Qt::Key_Return);
        QCOMPARE(w->focusWidget(), w->txtConferma);
        QTest::keyClick(w->txtConferma, Qt::Key_Return);
        QCOMPARE(w->focusWidget(), w->txtPasswordOld);
        QVERIFY(Messages::taken().isEmpty());
        // Chiudi brings back an empty login window.
        login()->txtPassword->setText(QStringLiteral("resto"));
        QTest::mouseClick(w->cmdEsci, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QVERIFY(login()->isVisible());
        QVERIFY(login()->txtPassword->text().isEmpty());
        // Shown again, it starts empty.
        w = openChange();
        QVERIFY(w->txtPasswordOld->text().isEmpty() && w->txtConferma->text().isEmpty());
    }

    void changeRefusals_data()
    {
        QTest::addColumn<QString>("oldPw");
        QTest::addColumn<QString>("newPw");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("old wrong") << "vecchia" << "nuova" << "nuova" << kOldWrong << "txtPasswordOld";
        QTest::newRow("confirmation differs in case") << "benvenutonuovo" << "nuova" << "Nuova" << kNotConfirmed
                                                      << "txtPasswordNew";
        QTest::newRow("beyond what can be stored") << "benvenutonuovo" << "euro\u20ac" << "euro\u20ac"
                                                   << kNotStorable << "txtPasswordNew";
        QTest::newRow("too long") << "benvenutonuovo" << QString(256, u'x') << QString(256, u'x') << kNotStorable
                                  << "txtPasswordNew";
    }
    void changeRefusals()
    {
        QFETCH(QString, oldPw);
        QFETCH(QString, newPw);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const QByteArray before = fileBytes();
        TfrmCambiaPassword *w = openChange();
        w->txtPasswordOld->setText(oldPw);
        w->txtPasswordNew->setText(newPw);
        w->txtConferma->setText(confirm);
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        const auto shown = Messages::taken();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Kind::Plain);
        QCOMPARE(shown[0].text, message);
        QVERIFY(w->isVisible());
        QCOMPARE(w->focusWidget()->objectName(), focus);
        QVERIFY(qobject_cast<QLineEdit *>(w->focusWidget())->text().isEmpty());
        QCOMPARE(fileBytes(), before);
    }

    void changeWithUnreadableValue_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("not hexadecimal") << "XX";
        QTest::newRow("folder in its place") << "<folder>";
        QTest::newRow("no read permission") << "<no read>";
    }
    void changeWithUnreadableValue()
    {
        QFETCH(QString, stored);
        if (stored.startsWith(u'<')) {
            if (!makeUnreadable(stored))
                QSKIP("the password file cannot be made unreadable here (running as root)");
        } else {
            ini::write(passwordFile(), QStringLiteral("Accesso"), QStringLiteral("Valore"), stored);
        }
        TfrmCambiaPassword *w = openChange();
        w->txtPasswordOld->setText(QStringLiteral("a"));
        w->txtPasswordNew->setText(QStringLiteral("b"));
        w->txtConferma->setText(QStringLiteral("b"));
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        QCOMPARE(Messages::taken().value(0).text, kChangeError);
        QVERIFY(w->isVisible());
    }

    // The new password cannot be stored: the change error, and the old password file
    // keeps every byte (a short file renamed into place would lock everybody out).
    void changeThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("full disk") << "full";
        QTest::newRow("read-only folder") << "folder";
        QTest::newRow("read-only file") << "file";
    }
    void changeThatCannotBeWritten()
    {
        QFETCH(QString, why);
        ScratchFs fs;
        if (why == u"full" && !fs.mounted())
            TIRELLO_ENVIRONMENT_MISSING(qPrintable(fs.reason()));
        const QString folder = fs.mounted() ? fs.path() : m_dir->path();
        ProgramFolder::setOverride(folder);
        password::writeStored(passwordFile(), password::kFirstPassword);
        const auto before = folderContents(folder);
        const auto restore = qScopeGuard([&] {
            restoreFolder(folder);
            QFile::setPermissions(passwordFile(), QFile::ReadOwner | QFile::WriteOwner);
            ProgramFolder::setOverride(m_dir->path());
        });
        if (why == u"full") {
            QVERIFY(fs.fill());
        } else if (why == u"folder") {
            if (!makeFolderReadOnly(fs, folder))
                TIRELLO_ENVIRONMENT_MISSING(qPrintable(QStringLiteral("no read-only folder here: ") + fs.reason()));
        } else {
            QVERIFY(QFile::setPermissions(passwordFile(), QFile::ReadOwner));
            if (QFile(passwordFile()).open(QIODevice::WriteOnly | QIODevice::Append))
                QSKIP("read-only files can still be written here (running as root)");
        }
        TfrmCambiaPassword *w = openChange();
        w->txtPasswordOld->setText(QStringLiteral("benvenutonuovo"));
        w->txtPasswordNew->setText(QStringLiteral("nuova"));
        w->txtConferma->setText(QStringLiteral("nuova"));
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        const auto shown = Messages::taken();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, kChangeError);
        QVERIFY(w->isVisible());
        QCOMPARE(folderContents(folder), before);
    }

    void successfulChangeThenLogin()
    {
        TfrmCambiaPassword *w = openChange();
        QTest::keyClicks(w->txtPasswordOld, QStringLiteral("BENVENUTONUOVO"));
        QTest::keyClicks(w->txtPasswordNew, QStringLiteral(" laboratorio1 "));
        QTest::keyClicks(w->txtConferma, QStringLiteral("laboratorio1"));
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
        const auto shown = Messages::taken();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, kChanged);
        QCOMPARE(ini::read(passwordFile(), QStringLiteral("Accesso"), QStringLiteral("Valore")),
                 Crypt::Scramble(QStringLiteral("LABORATORIO1")));
        // Not logged in: the login window is back, empty, and wants the new password.
        QVERIFY(!w->isVisible());
        QVERIFY(login()->isVisible());
        QVERIFY(login()->txtPassword->text().isEmpty());
        QTest::keyClicks(login()->txtPassword, QStringLiteral("benvenutonuovo"));
        QTest::keyClick(login()->txtPassword, Qt::Key_Return);
        QCOMPARE(Messages::taken().value(0).text, kWrong);
        QTest::keyClicks(login()->txtPassword, QStringLiteral("LaBoRaToRiO1"));
        QTest::keyClick(login()->txtPassword, Qt::Key_Return);
        QVERIFY(m_ws->frmAvvio->isVisible());
    }

    void launcherTilesAndReturn_data()
    {
        QTest::addColumn<int>("tile");
        QTest::addColumn<bool>("captionBar");
        QTest::addColumn<QString>("title");
        const char *titles[4] = {" Tirello - Anagrafica clienti", " Tirello - Modelli di analisi",
                                 " Tirello - Rapporti di prova", " Tirello - Certificati di analisi chimica"};
        for (int i = 0; i < 4; ++i) {
            QTest::newRow(qPrintable(QStringLiteral("picture %1").arg(i + 1))) << i << false << titles[i];
            QTest::newRow(qPrintable(QStringLiteral("caption %1").arg(i + 1))) << i << true << titles[i];
        }
    }
    void launcherTilesAndReturn()
    {
        QFETCH(int, tile);
        QFETCH(bool, captionBar);
        QFETCH(QString, title);
        TfrmAvvio *launcher = enterLauncher();
        QToolButton *b = captionBar ? launcher->btnApp[tile] : launcher->imgApp[tile];
        QTest::mouseClick(b, Qt::LeftButton);
        QWidget *target = QApplication::topLevelWidgets().size() ? visibleWindowTitled(title) : nullptr;
        QVERIFY(target);
        QVERIFY(!launcher->isVisible());
        QVERIFY(target->close());
        QVERIFY(launcher->isVisible());
        QVERIFY(!target->isVisible());
    }

    void launcherExitAndSite()
    {
        TfrmAvvio *launcher = enterLauncher();
        QTest::mouseClick(launcher->icoSito, Qt::LeftButton);
        QCOMPARE(Shell::taken(), QStringList{TfrmAvvio::kWebSite});
        QTest::mouseClick(launcher->imgEsci, Qt::LeftButton);
        QCOMPARE(m_ends, 1);
        launcher->close(); // the title-bar close button does the same
        QCOMPARE(m_ends, 2);
        for (QToolButton *b : {launcher->imgInfo, launcher->imgGuida, launcher->imgCopyright, launcher->imgEsci})
            QVERIFY(!b->accessibleName().isEmpty());
    }

private:
    TfrmPassword *login() const { return m_ws->frmPassword; }
    QString passwordFile() const { return ProgramFolder::file(password::kFileName); }
    QByteArray fileBytes() const
    {
        QFile f(passwordFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    TfrmCambiaPassword *openChange()
    {
        if (!m_ws->frmCambiaPassword->isVisible())
            QTest::mouseClick(login()->btnCambiaPassword, Qt::LeftButton);
        TfrmCambiaPassword *w = m_ws->frmCambiaPassword;
        [&] { QVERIFY(w->isVisible() && !login()->isVisible()); }();
        return w;
    }
    // "<folder>": a folder has the password file's name; "<no read>": the file has no
    // read permission. False when this process can read the file all the same (root).
    bool makeUnreadable(const QString &how)
    {
        if (how == u"<folder>")
            return QFile::remove(passwordFile()) && QDir(m_dir->path()).mkdir(password::kFileName);
        return QFile::setPermissions(passwordFile(), QFile::WriteOwner)
            && !QFile(passwordFile()).open(QIODevice::ReadOnly);
    }
    TfrmAvvio *enterLauncher()
    {
        QTest::keyClicks(login()->txtPassword, QStringLiteral("benvenutonuovo"));
        QTest::keyClick(login()->txtPassword, Qt::Key_Return);
        return m_ws->frmAvvio;
    }
    static QWidget *visibleWindowTitled(const QString &title)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == title)
                return w;
        return nullptr;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Workspace> m_ws;
    int m_ends = 0;
};

QTEST_MAIN(TestLogin)
#include "test_login.moc"
