#pragma once
// " Riepilogo clienti da ricontattare": the clients whose card is ticked "Da ricontattare",
// with their open questions. A double-clicked client opens in the client card.

#include "ui/listwindow.h"

class TfrmClienti;

class TfrmRicontatta : public ListWindow {
    Q_OBJECT
public:
    static inline const QString kListTitle = QStringLiteral("Riepilogo clienti da ricontattare");

    TfrmRicontatta(QWidget *owner, TfrmClienti *card);
};

namespace clients {

// Creates a fresh modal window over the card, runs it and destroys it.
void openRecontact(TfrmClienti *card);

} // namespace clients
