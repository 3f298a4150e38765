#pragma once
// The test report card: one report of the yearly archive chosen in the year window; its
// second section holds the thirty result rows on two pages and the remarks. Each result
// is judged against its limit as it is loaded, imported or typed: red when out of the
// limit, amber when it cannot be decided, with the reason in its tooltip; the rows out of
// limit are counted under the pages.

#include "documentcard_ui.h"
#include "reports/limits.h"

#include <array>

class PagedRowGrid;
class QCheckBox;

class TfrmRapporti : public DocumentCard {
    Q_OBJECT
public:
    explicit TfrmRapporti(QWidget *home);

    static inline const QString kTitlePrefix = QStringLiteral(" Tirello - Rapporti di prova anno ");
    static const Description &description();

    static inline const QString kHighlightHint =
        QStringLiteral("Spunta questa casella per evidenziare nella stampa i risultati fuori limite.");
    // The printing option could not be written: the box goes back as it was.
    static inline const QString kHighlightNotSaved = QStringLiteral(
        "Attenzione: il sistema non permette di salvare l'impostazione di stampa.\n\r\n\r"
        "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");

    PagedRowGrid *grdRisultati = nullptr; // panPagina01, panPagina02
    QLabel *lblFuoriLimite = nullptr;     // "Risultati fuori limite: 2 (righe 4, 17)", or nothing
    QCheckBox *chkEvidenziaFuoriLimite = nullptr; // the printing option of the settings file

    bool showsResults() const { return showsSecondSection(); }
    // The verdict the card shows for a row (1-based).
    limits::Verdict verdictOf(int row) const { return m_verdicts[row - 1]; }

    // The user ticks or clears the printing option: written to the settings file at once.
    void chkEvidenziaFuoriLimiteClick();

protected:
    QWidget *secondSectionFirstField() const override;
    void secondSectionShown() override;

private:
    void judgeRow(int row);
    void showOutOfLimitRows();
    void readHighlightOption();

    std::array<limits::Verdict, reports::kResultRows> m_verdicts{};
};
