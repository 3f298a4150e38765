#pragma once

#include "ui/card.h"
#include "ui/rowgrid.h"

class PagedRowGrid;
class QLineEdit;
class QToolButton;

// The analysis model card: one model of "Parametri_Chimici.pro" at a time, its thirty
// parameter rows on two pages of fifteen.
class TfrmParametri : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmParametri(QWidget *home);

    QString archivePath() const override;
    static inline const QString kNameMissing =
        QStringLiteral("Attenzione: per salvare la scheda \u00e8 necessario indicare il nome dell'analisi.");
    static inline const QString kSampleMissing =
        QStringLiteral("Attenzione: per salvare la scheda \u00e8 necessario indicare il tipo di campione.");

    QLineEdit *edit(const QString &name) const; // a field control by its name
    QLineEdit *txtAnalisi = nullptr;
    QLineEdit *txtCampione = nullptr;
    PagedRowGrid *panParametri = nullptr; // two pages of fifteen rows

    QToolButton *cmdNuovo, *cmdDuplica, *cmdSalva, *cmdTrova, *cmdFile, *cmdAnteprima, *cmdStampa, *cmdEsporta,
        *cmdGuida, *cmdEsci;

    // New on this card also brings back page 1 of the rows.
    void cmdNuovoClick() override;
    int page() const; // 1 or 2

protected:
    QWidget *firstField() const override;
    bool mandatoryFieldsPresent() override;
    // A failing archive on Duplica is reported as a warning.
    Messages::Kind duplicateFailureKind() const override { return Messages::Kind::Warning; }
    void showEvent(QShowEvent *event) override;
};
