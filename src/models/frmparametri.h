#pragma once

#include "storage/card_ui.h"

class QLineEdit;
class QPushButton;
class QToolButton;

// The analysis model card: one model of "Parametri_Chimici.pro" at a time, its thirty
// parameter rows on two pages of fifteen.
class TfrmParametri : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmParametri(Workspace &ws);

    QString archivePath() const override;
    static inline const QString kNameMissing =
        QStringLiteral("Attenzione: per salvare la scheda \u00e8 necessario indicare il nome dell'analisi.");
    static inline const QString kSampleMissing =
        QStringLiteral("Attenzione: per salvare la scheda \u00e8 necessario indicare il tipo di campione.");
    static inline const QString kPage1 = QStringLiteral("pag. 1 / 2");
    static inline const QString kPage2 = QStringLiteral("pag. 2 / 2");

    QLineEdit *edit(const QString &name) const; // a field control by its name
    QLineEdit *txtAnalisi = nullptr;
    QLineEdit *txtCampione = nullptr;
    QWidget *panParametri = nullptr;
    QWidget *panPag01 = nullptr;
    QWidget *panPag02 = nullptr;
    QPushButton *btnIndietro = nullptr;
    QPushButton *btnAvanti = nullptr;
    QLabel *lblPag = nullptr;
    QLabel *lblFile[3] = {};
    QLabel *lblDesc[3] = {};

    QToolButton *cmdNuovo, *cmdDuplica, *cmdSalva, *cmdTrova, *cmdFile, *cmdAnteprima, *cmdStampa, *cmdEsporta,
        *cmdGuida, *cmdEsci;

    // New on this card also brings back page 1 of the rows.
    void cmdNuovoClick();
    // The protocol's duplicate, except that a failing archive is reported as a warning.
    void cmdDuplicaClick();
    void btnAvantiClick();
    void btnIndietroClick();
    int page() const; // 1 or 2

protected:
    QWidget *firstField() const override;
    bool mandatoryFieldsPresent() override;
    void showEvent(QShowEvent *event) override;

private:
    void showPage(int page);
};
