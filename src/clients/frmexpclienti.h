#pragma once

#include "ui/exportwindow.h"

class TfrmClienti;

// Exports "Clienti.pro" to "Clienti.xls".
class TfrmExpClienti : public ExportWindow {
    Q_OBJECT
public:
    explicit TfrmExpClienti(QWidget *owner = nullptr);
};

namespace clients {

// The card's Esporta: a fresh modal export window over the card, destroyed afterwards.
void openExport(TfrmClienti *card);

} // namespace clients
