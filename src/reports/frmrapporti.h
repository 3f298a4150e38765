#pragma once
// The test report card: one report of the yearly archive chosen in the year window, in
// two sections (general data, and the thirty result rows on two pages), with the
// laboratory block kept in the settings file and the document number proposed by "Nuovo".

#include "ui/card.h"

class PagedRowGrid;
class QCheckBox;
class QLineEdit;
class QPushButton;

class TfrmRapporti : public CardWindow {
    Q_OBJECT
public:
    explicit TfrmRapporti(QWidget *home);

    QString archivePath() const override; // lblFile
    // What the year window hands over: the archive and the title with the year.
    void openArchive(const QString &archivePath, const QString &title);

    static inline const QString kTitlePrefix = QStringLiteral(" Tirello - Rapporti di prova anno ");
    static inline const QString kDateHint = QStringLiteral(
        "Fai clic su questo campo e premi un tasto qualsiasi per importare una data dal calendario.");

    // The six mandatory fields in the order they are checked, with their warnings.
    struct Mandatory {
        const char *field;
        const char *warning;
    };
    static const QList<Mandatory> &mandatoryFields();

    QLineEdit *edit(const QString &name) const; // a field control by its name

    QLabel *lblFile = nullptr;
    QLabel *lblInizio = nullptr;
    QLabel *lblSolare = nullptr;
    QWidget *panDatiGen = nullptr;
    QWidget *panRisultati = nullptr;
    PagedRowGrid *grdRisultati = nullptr; // panPagina01, panPagina02
    QCheckBox *chkConsegnato = nullptr;
    QPushButton *btnDatiGen_A = nullptr, *btnRisultati_A = nullptr, *btnDatiGen_B = nullptr,
                *btnRisultati_B = nullptr;
    QToolButton *btnLogo = nullptr, *impCliente = nullptr, *btnOraRic = nullptr, *btnPartitaIvaLab = nullptr,
                *btnCodFiscLab = nullptr, *btnPartitaIva = nullptr, *btnCodFisc = nullptr;
    QToolButton *cmdNuovo, *cmdSalva, *cmdTrova, *cmdFile, *cmdImporta, *cmdNonConsegnati, *cmdAnteprima,
        *cmdStampa, *cmdEsporta, *cmdNumerazione, *cmdGuida, *cmdEsci;

    // New report: the proposed number and today's date on a blank card.
    void cmdNuovoClick() override;
    // The two sections; the results open on page 1.
    void btnRisultatiClick();
    void btnDatiGenClick();
    void btnOraRicClick();
    // Empties the document fields; the laboratory, the head of the laboratory, the number
    // and the date stay.
    void blankCard();
    bool showsResults() const;

protected:
    QWidget *firstField() const override;
    bool mandatoryFieldsPresent() override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};
