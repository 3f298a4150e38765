#pragma once
// The four identifier check windows. Each is a small fixed-size modal dialog with a
// banner, one caption, one field and the buttons Controlla and Chiudi; it shows one
// answer and closes, or warns about the length and stays open for a correction.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QSvgWidget;

class CheckWindow : public QDialog {
    Q_OBJECT
public:
    QSvgWidget *imgLogo;
    QLabel *lblTitolo;
    QPushButton *btnControlla;
    QPushButton *btnChiudi;

    // Puts the caller's text into the field. A text longer than the field's limit is kept
    // whole (and gets the length warning) rather than cut silently; once the user brings it
    // within the limit, the limit holds again.
    void prime(const QString &text);

protected:
    struct Frame {
        QString objectName;
        QString title;
        QSize client;
        QSize panel;
        QSize banner;
        QString bannerTitle;
        QByteArray bannerIcon; // SVG elements drawn in a 64 x 64 box
        QString caption;
        QString fieldName;
        int maxLength;
        int visibleChars; // the field is made wide enough to show this many
        bool digitsOnly;  // key filter: digits, Backspace, Delete, arrows
        bool trimUpper;   // the text is trimmed and upper-cased while typing
    };

    CheckWindow(QWidget *owner, const Frame &frame);

    virtual void check() = 0;
    void answered();        // after an answer: the window closes
    void backToField();     // after a warning: the window stays open

    void showEvent(QShowEvent *event) override;

    QLineEdit *m_field;

private:
    int m_limit;
};

class TfrmCodFisc : public CheckWindow {
    Q_OBJECT
public:
    explicit TfrmCodFisc(QWidget *owner);
    QLineEdit *txtCodFisc;

protected:
    void check() override;
};

class TfrmPartitaIva : public CheckWindow {
    Q_OBJECT
public:
    explicit TfrmPartitaIva(QWidget *owner);
    QLineEdit *txtPartitaIva;

protected:
    void check() override;
};

class TfrmCarta : public CheckWindow {
    Q_OBJECT
public:
    explicit TfrmCarta(QWidget *owner);
    QLineEdit *txtNumero;

protected:
    void check() override;
};

class TfrmIban : public CheckWindow {
    Q_OBJECT
public:
    explicit TfrmIban(QWidget *owner);
    QLineEdit *txtIban;

protected:
    void check() override;
};

namespace checkTexts {

inline const QString kBreak = QStringLiteral("\r\n\r\n");

inline const QString kTaxCodeLength =
    QStringLiteral("Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.");
inline const QString kTaxCodeValid = QStringLiteral("Il codice fiscale digitato \u00e8 VALIDO.");
inline const QString kTaxCodeWrong = QStringLiteral("Attenzione: il codice fiscale digitato \u00e8 ERRATO.");

inline const QString kVatLength =
    QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici.");
inline const QString kVatValid = QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.");
inline const QString kVatOffice = QStringLiteral("E' stato rilasciato dall'Ufficio IVA del Comune di ");
inline const QString kVatUnknownOffice = QStringLiteral(
    "Non \u00e8 per\u00f2 possibile fornire informazioni relative all'Ufficio IVA che lo ha rilasciato: "
    "il codice ufficio %1 non corrisponde ad alcun Ufficio IVA conosciuto.");
inline const QString kVatWrong = QStringLiteral("Attenzione: il numero di partita IVA digitato risulta ERRATO!");
inline const QString kVatNoOffice = QStringLiteral(
    "Non \u00e8 quindi possibile fornire informazioni relative all'Ufficio IVA che lo ha rilasciato.");

inline const QString kCardEmpty = QStringLiteral(
    "Attenzione: immettere il numero di carta di credito prima di premere il pulsante di controllo.");
inline const QString kCardWrong = QStringLiteral("Attenzione: il numero digitato risulta ERRATO!");
inline const QString kCardNoFamily = QStringLiteral(
    "Non \u00e8 quindi possibile fornire informazioni relative al tipo di carta di credito.");
inline const QString kCardValid = QStringLiteral("Il numero di carta di credito %1 risulta valido.");
inline const QString kCardFamily = QStringLiteral("La carta di credito \u00e8 del tipo ");
inline const QString kCardUnknownFamily = QStringLiteral(
    "Non \u00e8 per\u00f2 possibile fornire informazioni relative al tipo di carta di credito: "
    "le prime cifre del numero non corrispondono ad alcun tipo conosciuto.");

inline const QString kIbanLength =
    QStringLiteral("Attenzione: l'IBAN deve essere composto da 27 caratteri alfanumerici.");
inline const QString kIbanValid = QStringLiteral("L'IBAN digitato \u00e8 VALIDO.");
inline const QString kIbanWrong = QStringLiteral("Attenzione: l'IBAN digitato \u00e8 ERRATO!");

} // namespace checkTexts
