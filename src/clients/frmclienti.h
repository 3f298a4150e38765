#pragma once

#include "storage/programfiles.h"
#include "ui/card.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

// The client card: one client of "Clienti.pro" at a time.
class TfrmClienti : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmClienti(QWidget *home);

    QString archivePath() const override;
    static inline const QString kArchiveName = programfiles::kClients;
    static inline const QString kNameMissing =
        QStringLiteral("Attenzione: per salvare la scheda \u00e8 necessario indicare il nome del cliente.");

    QLineEdit *edit(const QString &name) const; // a field control by its name
    QComboBox *txtProvNasc = nullptr;
    QComboBox *txtProvRes = nullptr;
    QCheckBox *chkRicontatta = nullptr;

    QToolButton *cmdNuovo, *cmdDuplica, *cmdFile, *cmdSalva, *cmdTrova, *cmdAnteprima, *cmdStampa, *cmdPDF,
        *cmdRicontatta, *cmdEsporta, *cmdGuida, *cmdEsci;
    QToolButton *btnEmail, *btnCodFisc, *btnCarta, *btnPartitaIva, *btnIban;

    void btnCodFiscClick();
    void btnEmailClick();

protected:
    QWidget *firstField() const override;
    bool mandatoryFieldsPresent() override;
    void showEvent(QShowEvent *event) override;
};
