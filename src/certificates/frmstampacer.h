#pragma once
// The printed chemical-analysis certificate: its preview and print windows, filled from
// the certificate card as it is on screen, saved or not, with the laboratory's logo. The
// certificate takes the two faces of one A4 sheet.

#include "ui/printwindow.h"

class TfrmAnteprimaCer : public LogoPrintWindow {
    Q_OBJECT
public:
    TfrmAnteprimaCer(QWidget *owner, std::function<records::Values()> values);
};

class TfrmStampaCer : public LogoPrintWindow {
    Q_OBJECT
public:
    // With issue, "Salva PDF" issues the certificate as a PDF file.
    TfrmStampaCer(QWidget *owner, std::function<records::Values()> values, Issue issue = {});
};

namespace certificates {

// The two pages: the texts from values() and the picture from *logo, both read when the
// document is filled. The print dialog proposes both faces of the sheet; before any
// output the user is asked about long texts that the page would cut. The preview opens
// at 100 % and carries the chemist's two lines 0.6 mm higher than the print does.
printing::Document certificateSheet(PrintWindow::Output output, std::function<records::Values()> values,
                                    const QImage *logo);

// The card's Anteprima and Stampa: fresh modal windows over owner; the document is
// filled from values() at the moment the user confirms.
void openPreview(QWidget *owner, std::function<records::Values()> values);
void openPrint(QWidget *owner, std::function<records::Values()> values, PrintWindow::Issue issue = {});

} // namespace certificates
