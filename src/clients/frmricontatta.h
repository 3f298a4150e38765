#pragma once
// " Riepilogo clienti da ricontattare": the clients whose card is ticked "Da ricontattare",
// with their open questions. A double-clicked client opens in the client card.

#include "frmtrovaclienti.h"

class TfrmRicontatta : public ClientListWindow {
    Q_OBJECT
public:
    static inline const QString kListTitle = QStringLiteral("Riepilogo clienti da ricontattare");

    TfrmRicontatta(QWidget *owner, TfrmClienti *card);

protected:
    void take(const clients::Chosen &chosen) override;
    void showEvent(QShowEvent *event) override;

private:
    TfrmClienti *m_card;
};

namespace clients {

// Creates a fresh modal window over the card, runs it and destroys it.
void openRecontact(TfrmClienti *card);

} // namespace clients
