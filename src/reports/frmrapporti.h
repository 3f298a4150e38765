#pragma once
// The test report card: one report of the yearly archive chosen in the year window; its
// second section holds the thirty result rows on two pages and the remarks.

#include "documentcard_ui.h"

class PagedRowGrid;

class TfrmRapporti : public DocumentCard {
    Q_OBJECT
public:
    explicit TfrmRapporti(QWidget *home);

    static inline const QString kTitlePrefix = QStringLiteral(" Tirello - Rapporti di prova anno ");
    static const Description &description();

    PagedRowGrid *grdRisultati = nullptr; // panPagina01, panPagina02

    bool showsResults() const { return showsSecondSection(); }

protected:
    QWidget *secondSectionFirstField() const override;
    void secondSectionShown() override;
};
