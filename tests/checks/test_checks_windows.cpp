// The four check windows driven as a user would: type, press Enter or click, read the
// message and whether the window closed.

#include "ui/seams.h"
#include "checks/checkwindows.h"
#include "checks/frmcheck.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSvgWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

using Messages::Kind;

Q_DECLARE_METATYPE(Messages::Kind)

namespace {

enum Which { CodFisc, PartitaIva, Carta, Iban };

std::unique_ptr<CheckWindow> make(int which)
{
    switch (which) {
    case CodFisc: return std::make_unique<TfrmCodFisc>(nullptr);
    case PartitaIva: return std::make_unique<TfrmPartitaIva>(nullptr);
    case Carta: return std::make_unique<TfrmCarta>(nullptr);
    default: return std::make_unique<TfrmIban>(nullptr);
    }
}

QLineEdit *field(QWidget *w)
{
    return w->findChild<QLineEdit *>();
}

// Like QTest::keyClicks, also for characters beyond ASCII.
void type(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(w, char(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

const QString kBreak = QStringLiteral("\r\n\r\n");
const QString kVatValid = QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"
                                         "E' stato rilasciato dall'Ufficio IVA del Comune di ");
const QString kCardWrong = QStringLiteral(
    "Attenzione: il numero digitato risulta ERRATO!\r\n\r\n"
    "Non \u00e8 quindi possibile fornire informazioni relative al tipo di carta di credito.");

QString cardValid(const QString &shown, const QString &family)
{
    return QStringLiteral("Il numero di carta di credito ") + shown + QStringLiteral(" risulta valido.") + kBreak
        + QStringLiteral("La carta di credito \u00e8 del tipo ") + family + u'.';
}

} // namespace

class TestCheckWindows : public QObject {
    Q_OBJECT
private slots:
    void init() { Messages::startRecording(); }
    void cleanup()
    {
        m_window.reset();
        Messages::stopRecording();
    }

    void frames_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("caption");
        QTest::newRow("tax code") << int(CodFisc) << "frmCodFisc" << " Controllo codice fiscale" << QSize(478, 254)
                                  << "txtCodFisc" << 16
                                  << "Immettere il codice fiscale e premere il pulsante di controllo.";
        QTest::newRow("VAT") << int(PartitaIva) << "frmPartitaIva" << " Controllo partita IVA" << QSize(480, 254)
                             << "txtPartitaIva" << 11
                             << "Immettere il numero di partita IVA e premere il pulsante di controllo.";
        QTest::newRow("card") << int(Carta) << "frmCarta" << " Controllo carta di credito" << QSize(519, 254)
                              << "txtNumero" << 30
                              << "Immettere il numero di carta di credito e premere il pulsante di controllo.";
        QTest::newRow("IBAN") << int(Iban) << "frmIban" << " Controllo IBAN" << QSize(608, 270) << "txtIban" << 27
                              << "Immettere l'IBAN e premere il pulsante di controllo.";
    }
    void frames()
    {
        QFETCH(int, which);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QSize, size);
        QFETCH(QString, fieldName);
        QFETCH(int, maxLength);
        QFETCH(QString, caption);
        CheckWindow *w = open(which);
        QCOMPARE(w->objectName(), name);
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), QStringLiteral("T") + name);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(w->size(), size);
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));

        QLineEdit *f = w->findChild<QLineEdit *>(fieldName);
        QVERIFY(f);
        QCOMPARE(f->maxLength(), maxLength);
        QCOMPARE(QFontInfo(f->font()).pointSize(), 20);
        QVERIFY(f->font().bold());
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblTitolo"))->text(), caption);
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblTitolo"))->buddy(), f);
        QCOMPARE(f->accessibleName(), caption);
        QVERIFY(w->findChild<QSvgWidget *>(QStringLiteral("imgLogo")));
        QCOMPARE(w->btnControlla->objectName(), QStringLiteral("btnControlla"));
        QCOMPARE(w->btnControlla->text(), QStringLiteral("Controlla"));
        QCOMPARE(w->btnControlla->accessibleName(), QStringLiteral("Controlla"));
        QCOMPARE(w->btnChiudi->text(), QStringLiteral("Chiudi"));
        QCOMPARE(w->btnChiudi->accessibleName(), QStringLiteral("Chiudi"));

        // Every control inside the window, none clipped by its edges.
        for (QWidget *c : {static_cast<QWidget *>(f), static_cast<QWidget *>(w->btnControlla),
                           static_cast<QWidget *>(w->btnChiudi), static_cast<QWidget *>(w->lblTitolo),
                           static_cast<QWidget *>(w->imgLogo)})
            QVERIFY2(w->rect().contains(QRect(c->mapTo(w, QPoint(0, 0)), c->size())), qPrintable(c->objectName()));

        // Focus on show, Enter to the button without a check, then the tab order.
        QTRY_VERIFY(f->hasFocus());
        QTest::keyClick(f, Qt::Key_Return);
        QVERIFY(w->btnControlla->hasFocus());
        QVERIFY(Messages::taken().isEmpty());
        QVERIFY(w->isVisible());
        QTest::keyClick(w->btnControlla, Qt::Key_Tab);
        QVERIFY(w->btnChiudi->hasFocus());
        QTest::keyClick(w->btnChiudi, Qt::Key_Tab);
        QVERIFY(f->hasFocus());
    }

    // Typed text, Enter twice (to the button, then on it); or a handed-over text and a click.
    void answers_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("handedOver");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("closes");
        const QString none;
        const Kind I = Kind::Information, W = Kind::Warning;

        const QString taxLength =
            QStringLiteral("Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.");
        const QString taxValid = QStringLiteral("Il codice fiscale digitato \u00e8 VALIDO.");
        const QString taxWrong = QStringLiteral("Attenzione: il codice fiscale digitato \u00e8 ERRATO.");
        QTest::newRow("tax: valid typed lower case") << int(CodFisc) << "rssmra85t10a562s" << none << I << taxValid << true;
        QTest::newRow("tax: valid handed over") << int(CodFisc) << none << "BNCLRA92M41F205B" << I << taxValid << true;
        QTest::newRow("tax: last letter changed") << int(CodFisc) << "RSSMRA85T10A562T" << none << W << taxWrong << true;
        QTest::newRow("tax: last character a digit") << int(CodFisc) << "RSSMRA85T10A5621" << none << W << taxWrong << true;
        QTest::newRow("tax: 15 characters") << int(CodFisc) << "RSSMRA85T10A562" << none << W << taxLength << false;
        QTest::newRow("tax: empty") << int(CodFisc) << none << none << W << taxLength << false;
        QTest::newRow("tax: blank inside") << int(CodFisc) << none << "RSSMRA85 T10A562" << W << taxLength << false;
        QTest::newRow("tax: 17 handed over, not cut") << int(CodFisc) << none << "RSSMRA85T10A562SX" << W << taxLength << false;

        const QString vatLength =
            QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici.");
        const QString vatWrong = QStringLiteral(
            "Attenzione: il numero di partita IVA digitato risulta ERRATO!\r\n\r\n"
            "Non \u00e8 quindi possibile fornire informazioni relative all'Ufficio IVA che lo ha rilasciato.");
        QTest::newRow("VAT: 015") << int(PartitaIva) << "12345670157" << none << I << kVatValid + "Milano 1." << true;
        QTest::newRow("VAT: 096") << int(PartitaIva) << "01234560967" << none << I << kVatValid + "Monza (Milano 2)." << true;
        QTest::newRow("VAT: 120") << int(PartitaIva) << "07654321202" << none << I << kVatValid + "Bologna 2." << true;
        QTest::newRow("VAT: unknown office") << int(PartitaIva) << "04444441036" << none << I
            << QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"
                              "Non \u00e8 per\u00f2 possibile fornire informazioni relative all'Ufficio IVA che lo ha "
                              "rilasciato: il codice ufficio 103 non corrisponde ad alcun Ufficio IVA conosciuto.")
            << true;
        QTest::newRow("VAT: last digit changed") << int(PartitaIva) << "12345670158" << none << W << vatWrong << true;
        QTest::newRow("VAT: letter handed over") << int(PartitaIva) << none << "1234567015A" << W << vatWrong << true;
        QTest::newRow("VAT: 10 digits") << int(PartitaIva) << "1234567015" << none << W << vatLength << false;
        QTest::newRow("VAT: empty") << int(PartitaIva) << none << none << W << vatLength << false;
        QTest::newRow("VAT: 12 handed over, not cut") << int(PartitaIva) << none << "123456701570" << W << vatLength << false;

        QTest::newRow("card: Visa") << int(Carta) << "4111111111111111" << none << I
                                    << cardValid("4111111111111111", "Visa") << true;
        QTest::newRow("card: two digits") << int(Carta) << "42" << none << I << cardValid("42", "Visa") << true;
        QTest::newRow("card: 34") << int(Carta) << "343434343434343" << none << I
                                  << cardValid("343434343434343", "American Express") << true;
        QTest::newRow("card: 36") << int(Carta) << "36111111111111" << none << I
                                  << cardValid("36111111111111", "Diner's Club / Carte Blanche") << true;
        QTest::newRow("card: JCB") << int(Carta) << "3530111333300000" << none << I
                                   << cardValid("3530111333300000", "JCB") << true;
        QTest::newRow("card: 19 digits") << int(Carta) << "6011123456789012348" << none << I
                                         << cardValid("6011123456789012348", "Discover") << true;
        QTest::newRow("card: MasterCard in groups") << int(Carta) << none << "5555 5555 5555 4444" << I
                                                    << cardValid("5555 5555 5555 4444", "MasterCard") << true;
        QTest::newRow("card: 3 with no family") << int(Carta) << "32123456789017" << none << I
            << QStringLiteral("Il numero di carta di credito 32123456789017 risulta valido.\r\n\r\n"
                              "Non \u00e8 per\u00f2 possibile fornire informazioni relative al tipo di carta di "
                              "credito: le prime cifre del numero non corrispondono ad alcun tipo conosciuto.")
            << true;
        QTest::newRow("card: right digit, first 7") << int(Carta) << "71234567890123455" << none << W << kCardWrong << true;
        QTest::newRow("card: last digit changed") << int(Carta) << "4111111111111112" << none << W << kCardWrong << true;
        QTest::newRow("card: empty") << int(Carta) << none << none << W
            << QStringLiteral("Attenzione: immettere il numero di carta di credito prima di premere il pulsante di "
                              "controllo.")
            << false;

        const QString ibanLength =
            QStringLiteral("Attenzione: l'IBAN deve essere composto da 27 caratteri alfanumerici.");
        const QString ibanValid = QStringLiteral("L'IBAN digitato \u00e8 VALIDO.");
        const QString ibanWrong = QStringLiteral("Attenzione: l'IBAN digitato \u00e8 ERRATO!");
        QTest::newRow("IBAN: lower case") << int(Iban) << "it60x0542811101000000123456" << none << I << ibanValid << true;
        QTest::newRow("IBAN: upper case") << int(Iban) << "IT66A0306909606100000012345" << none << I << ibanValid << true;
        QTest::newRow("IBAN: digit changed") << int(Iban) << "IT60X0542811101000000123457" << none << W << ibanWrong << true;
        QTest::newRow("IBAN: hyphen") << int(Iban) << "IT60X0542811101000000-23456" << none << W << ibanWrong << true;
        QTest::newRow("IBAN: 27 with blanks") << int(Iban) << none << "DE89 3704 0044 0532 0130 00" << I << ibanValid << true;
        QTest::newRow("IBAN: groups handed over, not cut") << int(Iban) << none << "IT60 X054 2811 1010 0000 0123 456"
                                                           << W << ibanLength << false;
        QTest::newRow("IBAN: empty") << int(Iban) << none << none << W << ibanLength << false;
    }
    void answers()
    {
        QFETCH(int, which);
        QFETCH(QString, typed);
        QFETCH(QString, handedOver);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        QFETCH(bool, closes);
        CheckWindow *w = open(which, handedOver);
        QLineEdit *f = field(w);
        if (handedOver.isNull()) {
            QTest::keyClicks(f, typed);
            QTest::keyClick(f, Qt::Key_Return);
            QVERIFY(Messages::taken().isEmpty());
            QTest::keyClick(w->btnControlla, Qt::Key_Return);
        } else {
            QTest::mouseClick(w->btnControlla, Qt::LeftButton);
        }
        const QList<Messages::Shown> shown = Messages::taken();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, kind);
        QCOMPARE(shown[0].text, text);
        QCOMPARE(w->isVisible(), !closes);
        if (closes) {
            QCOMPARE(w->result(), int(QDialog::Accepted));
        } else {
            QTRY_VERIFY(f->hasFocus());
            // Still there for a correction: the next answer comes from the same window.
            QTest::mouseClick(w->btnControlla, Qt::LeftButton);
            QCOMPARE(Messages::taken().size(), 1);
            QVERIFY(w->isVisible());
        }
    }

    void typingRules_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("tax: upper case, blanks dropped at the end")
            << int(CodFisc) << " rss mra85" << "RSSMRA85";
        QTest::newRow("tax: accented letters stay") << int(CodFisc) << QStringLiteral("\u00e0b") << QStringLiteral("\u00e0B");
        QTest::newRow("tax: 17th character refused") << int(CodFisc) << "RSSMRA85T10A562SX" << "RSSMRA85T10A562S";
        QTest::newRow("VAT: digits only") << int(PartitaIva) << "12a3-4 5.B" << "12345";
        QTest::newRow("VAT: 12th digit refused") << int(PartitaIva) << "123456701570" << "12345670157";
        QTest::newRow("card: digits only") << int(Carta) << "4111 abc-1111" << "41111111";
        QTest::newRow("card: 31st digit refused") << int(Carta) << QString(31, u'4') << QString(30, u'4');
        QTest::newRow("IBAN: upper case, no key filter") << int(Iban) << " it60 x05-4." << "IT60X05-4.";
        QTest::newRow("IBAN: 28th character refused") << int(Iban) << "IT60X05428111010000001234567"
                                                      << "IT60X0542811101000000123456";
    }
    void typingRules()
    {
        QFETCH(int, which);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        CheckWindow *w = open(which);
        type(field(w), typed);
        QCOMPARE(field(w)->text(), shown);
        QVERIFY(Messages::taken().isEmpty());
    }

    // Typing in the middle upper-cases without throwing the cursor to the end.
    void typingInTheMiddle()
    {
        CheckWindow *w = open(CodFisc);
        QLineEdit *f = field(w);
        QTest::keyClicks(f, QStringLiteral("ssmra"));
        QTest::keyClick(f, Qt::Key_Home);
        QTest::keyClicks(f, QStringLiteral("r"));
        QCOMPARE(f->text(), QStringLiteral("RSSMRA"));
        QCOMPARE(f->cursorPosition(), 1);
        QTest::keyClick(f, Qt::Key_Delete);
        QTest::keyClick(f, Qt::Key_Right);
        QTest::keyClick(f, Qt::Key_Backspace);
        QCOMPARE(f->text(), QStringLiteral("RMRA"));
    }

    // A longer handed-over text stays whole; once shortened, the limit holds again.
    void overlongHandOverShrinksToTheLimit()
    {
        CheckWindow *w = open(PartitaIva, QStringLiteral("123456701570"));
        QLineEdit *f = field(w);
        QCOMPARE(f->text(), QStringLiteral("123456701570"));
        f->end(false);
        QTest::keyClick(f, Qt::Key_Backspace);
        QCOMPARE(f->text(), QStringLiteral("12345670157"));
        QTest::keyClicks(f, QStringLiteral("9"));
        QCOMPARE(f->text(), QStringLiteral("12345670157"));
        QTest::keyClick(f, Qt::Key_Return);
        QTest::keyClick(w->btnControlla, Qt::Key_Return);
        QCOMPARE(Messages::taken().value(0).text, kVatValid + "Milano 1.");
        QVERIFY(!w->isVisible());
    }

    void closeWithoutAMessage_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("tax code") << int(CodFisc);
        QTest::newRow("VAT") << int(PartitaIva);
        QTest::newRow("card") << int(Carta);
        QTest::newRow("IBAN") << int(Iban);
    }
    void closeWithoutAMessage()
    {
        QFETCH(int, which);
        CheckWindow *w = open(which, QStringLiteral("4111111111111111"));
        QTest::mouseClick(w->btnChiudi, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QVERIFY(Messages::taken().isEmpty());
    }

    // The entry points: a fresh modal window over the owner, primed with the trimmed text,
    // destroyed when it closes.
    void entryPoints_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("primed");
        QTest::newRow("tax code") << int(CodFisc) << "TfrmCodFisc" << "RSSMRA85T10A562S";
        QTest::newRow("VAT") << int(PartitaIva) << "TfrmPartitaIva" << "12345670157";
        QTest::newRow("card") << int(Carta) << "TfrmCarta" << "4111 1111 1111 1111";
        QTest::newRow("IBAN") << int(Iban) << "TfrmIban" << "IT60X0542811101000000123456";
    }
    void entryPoints()
    {
        QFETCH(int, which);
        QFETCH(QString, className);
        QFETCH(QString, primed);
        QWidget owner;
        owner.show();
        QString seenClass, seenText;
        bool seenModal = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            seenClass = QString::fromLatin1(modal->metaObject()->className());
            seenModal = modal->isModal() && modal->parentWidget() == &owner;
            seenText = field(modal)->text();
            modal->findChild<QPushButton *>(QStringLiteral("btnChiudi"))->click();
        });
        const QString text = QStringLiteral(" \t") + primed + QStringLiteral("  ");
        switch (which) {
        case CodFisc: checks::openTaxCode(&owner, text); break;
        case PartitaIva: checks::openVat(&owner, text); break;
        case Carta: checks::openCard(&owner, text); break;
        default: checks::openIban(&owner, text); break;
        }
        QCOMPARE(seenClass, className);
        QVERIFY(seenModal);
        QCOMPARE(seenText, primed);
        QVERIFY(owner.findChildren<QDialog *>().isEmpty());
        QVERIFY(Messages::taken().isEmpty());
    }

private:
    CheckWindow *open(int which, const QString &handedOver = {})
    {
        m_window = make(which);
        if (!handedOver.isNull())
            m_window->prime(handedOver);
        m_window->show();
        m_window->activateWindow();
        if (!QTest::qWaitForWindowActive(m_window.get()))
            qWarning("window not active");
        return m_window.get();
    }

    std::unique_ptr<CheckWindow> m_window;
};

QTEST_MAIN(TestCheckWindows)
#include "test_checks_windows.moc"
