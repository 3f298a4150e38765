#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// The login window: the only way into the program.
class TfrmPassword : public QWidget {
    Q_OBJECT
public:
    TfrmPassword();
    // The launcher that the right password opens, and the change of password.
    void setNext(QWidget *launcher, QWidget *changePassword);

    QLineEdit *txtPassword;
    QPushButton *cmdOK;
    QPushButton *cmdEsci;
    QPushButton *btnCambiaPassword;
    QLabel *lblMemory;

    void reset(); // empties the field and the scratch label, focuses the field

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void cmdOKClick();
    void updateOK();

    QWidget *m_launcher = nullptr;
    QWidget *m_change = nullptr;
};

// Change of the access password. Never logs the user in.
class TfrmCambiaPassword : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(TfrmPassword *login); // closing returns to the login

    QLineEdit *txtPasswordOld;
    QLineEdit *txtPasswordNew;
    QLineEdit *txtConferma;
    QPushButton *cmdOK;
    QPushButton *cmdEsci;
    QLabel *lblMemory;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void cmdOKClick();
    void updateOK();

    TfrmPassword *m_login;
};

namespace passwordTexts {
inline const QString kWrong = QStringLiteral("Attenzione: password errata.");
inline const QString kReadError = QStringLiteral(
    "Attenzione: si \u00e8 verificato un errore durante la procedura di lettura della password. "
    "Si consiglia di reinstallare il software.");
inline const QString kOldWrong = QStringLiteral("Attenzione: vecchia password errata.");
inline const QString kNotConfirmed = QStringLiteral(
    "Attenzione: la nuova password non \u00e8 stata confermata correttamente. "
    "E' necessario reinserire entrambi i valori.");
inline const QString kChanged = QStringLiteral("Modifica della password completata con successo.");
inline const QString kChangeError = QStringLiteral(
    "Attenzione: si \u00e8 verificato un errore durante la procedura di modifica della password. "
    "Si consiglia di reinstallare il software.");
inline const QString kNotStorable = QStringLiteral(
    "Attenzione: la nuova password pu\u00f2 contenere al massimo 255 caratteri e soltanto "
    "lettere, cifre e simboli dell'alfabeto latino (niente simboli speciali come \u20ac). "
    "E' necessario reinserire entrambi i valori.");
} // namespace passwordTexts
