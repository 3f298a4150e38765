#pragma once
// The printed test report ("Rapporto di prova"): its preview and print windows, filled
// from the report card as it is on screen, saved or not, with the laboratory's logo.

#include "ui/printwindow.h"

class TfrmAnteprimaRap : public LogoPrintWindow {
    Q_OBJECT
public:
    TfrmAnteprimaRap(QWidget *owner, std::function<records::Values()> values);
};

class TfrmStampaRap : public LogoPrintWindow {
    Q_OBJECT
public:
    // With issue, "Salva PDF" issues the report as a PDF file.
    TfrmStampaRap(QWidget *owner, std::function<records::Values()> values, Issue issue = {});
};

namespace reports {

// The report page: the texts from values() and the picture from *logo, both read when
// the document is filled. With the printing option "Evidenzia risultati fuori limite"
// on, read then too, the results out of their limits are marked and the mark explained
// in a note; otherwise the page is exactly the plain one. The preview opens at 100 %.
printing::Document reportSheet(std::function<records::Values()> values, const QImage *logo);

// The card's Anteprima and Stampa: fresh modal windows over owner; the document is
// filled from values() at the moment the user confirms.
void openPreview(QWidget *owner, std::function<records::Values()> values);
void openPrint(QWidget *owner, std::function<records::Values()> values, PrintWindow::Issue issue = {});

} // namespace reports
