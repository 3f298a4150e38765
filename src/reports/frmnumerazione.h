#pragma once
// The start of the automatic numbering of test reports or certificates: the start number
// and whether the solar year follows the number. It writes the settings file and returns
// nothing to the card that opened it.

#include "storage/settings.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmNumerazione : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNumerazione(QWidget *owner);

    static inline const QString kTitleReports =
        QStringLiteral(" Impostazione inizio numerazione rapporti di prova");
    static inline const QString kTitleCertificates =
        QStringLiteral(" Impostazione inizio numerazione certificati di analisi");
    static inline const QString kModeReports = QStringLiteral("rapporti");
    static inline const QString kModeCertificates = QStringLiteral("certificati");
    static inline const QString kWriteFailed = QStringLiteral(
        "Attenzione: il sistema non permette di salvare le impostazioni della numerazione.\n\r\n\r"
        "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");

    static inline const QString kBadStart = QStringLiteral(
        "Attenzione: il numero iniziale della numerazione deve essere un numero intero da 0 a 99999.\r\n\r\n"
        "Le impostazioni della numerazione non sono state modificate.");

    QWidget *imgLogo;
    QGroupBox *grpNumerazione;
    QLineEdit *txtInizio;
    QFrame *effInizio;
    QCheckBox *chkTipo;
    QPushButton *btnAnnulla;
    QPushButton *btnApplica;
    QLabel *lblMemory;

    // Writes the start and the year option in the mode's section and closes; a start that
    // is negative or longer than five digits is refused, and a failing write is reported:
    // the window then stays open and nothing is written.
    void btnApplicaClick();

    static constexpr QSize kClient{420, 373};

protected:
    void showEvent(QShowEvent *event) override;

private:
    settings::DocumentKind kind() const;

    // The start read from the settings when the field could not hold it whole (a file
    // edited by hand), and what the field showed of it: written back unchanged while the
    // field still shows that.
    QString m_longStart;
    QString m_longStartShown;
};

namespace reports {

// The card's N button: a fresh modal numbering window for the kind, destroyed afterwards.
void openNumbering(QWidget *owner, settings::DocumentKind kind);

} // namespace reports
