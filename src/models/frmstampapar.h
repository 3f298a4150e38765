#pragma once
// The printed analysis model ("Modello di analisi"): its preview and print windows,
// both filled from the model card as it is on screen, saved or not.

#include "ui/printwindow.h"

class TfrmParametri;

class TfrmAnteprimaPar : public PrintWindow {
    Q_OBJECT
public:
    explicit TfrmAnteprimaPar(TfrmParametri *card);
    static inline const QString kFailed = QStringLiteral(
        "Attenzione: la visualizzazione dell'anteprima di stampa non \u00e8 andata a buon fine.");
};

class TfrmStampaPar : public PrintWindow {
    Q_OBJECT
public:
    explicit TfrmStampaPar(TfrmParametri *card);
    static inline const QString kFailed = QStringLiteral("Attenzione: la stampa non \u00e8 andata a buon fine.");
};

namespace models {

// The page as the card stands now, with the print stamp.
printing::Document modelSheet(const TfrmParametri *card);

// The card's Anteprima and Stampa: a fresh modal window each, destroyed afterwards.
void openPreview(TfrmParametri *card);
void openPrint(TfrmParametri *card);

} // namespace models
