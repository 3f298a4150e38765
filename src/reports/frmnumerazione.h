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

    QWidget *imgLogo;
    QGroupBox *grpNumerazione;
    QLineEdit *txtInizio;
    QFrame *effInizio;
    QCheckBox *chkTipo;
    QPushButton *btnAnnulla;
    QPushButton *btnApplica;
    QLabel *lblMemory;

    // Writes the start and the year option in the mode's section and closes; a failing
    // write is reported and the window stays open.
    void btnApplicaClick();

    static constexpr QSize kClient{420, 373};

protected:
    void showEvent(QShowEvent *event) override;

private:
    settings::DocumentKind kind() const;
};

namespace reports {

// The card's N button: a fresh modal numbering window for the kind, destroyed afterwards.
void openNumbering(QWidget *owner, settings::DocumentKind kind);

} // namespace reports
