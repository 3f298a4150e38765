#pragma once
// The client card's printed sheet ("Scheda informativa"): preview, print and "Cliente.pdf".

#include "tools/template.h"

class TfrmClienti;

namespace clients {

inline const QString kSheetPdf = QStringLiteral("Cliente.pdf");
inline const QString kPdfDone =
    QStringLiteral("L'esportazione della scheda in PDF \u00e8 terminata con successo.\r\n\r\nSi vuole aprire il file?");

// The sheet filled from the card's controls as they are now, with the print stamp.
render::Template cardSheet(TfrmClienti *card);

void previewCard(TfrmClienti *card);
void printCard(TfrmClienti *card);
void pdfCard(TfrmClienti *card);

} // namespace clients
