#pragma once
// The client card's printed sheet ("Scheda informativa"): preview, print and "Cliente.pdf".

#include "ui/printwindow.h"

class TfrmClienti;

namespace clients {

inline const QString kSheetPdf = QStringLiteral("Cliente.pdf");
inline const QString kPdfDone =
    QStringLiteral("L'esportazione della scheda in PDF \u00e8 terminata con successo.\r\n\r\nSi vuole aprire il file?");

// The sheet as the card stands now, with the print stamp.
printing::Document cardSheet(TfrmClienti *card);

// A failure ends the command with the engine's message; the card stays as it was.
void previewCard(TfrmClienti *card);
void printCard(TfrmClienti *card);
void pdfCard(TfrmClienti *card);

} // namespace clients
