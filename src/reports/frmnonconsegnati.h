#pragma once
// " Riepilogo rapporti di prova non consegnati ai committenti": the reports of the open
// yearly archive whose delivered box is not ticked, read when the window opens. The
// double-clicked report goes back to the card with its position.

#include "frmtrovarapporti.h"

class TfrmNonConsegnati : public ListWindow {
    Q_OBJECT
public:
    static inline const QString kListTitle =
        QStringLiteral("Riepilogo rapporti di prova non consegnati ai committenti");

    TfrmNonConsegnati(QWidget *owner, const QString &archivePath, reports::ShowReport show);
};

namespace reports {

// The card's undelivered list over the same archive.
void openUndelivered(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show);

} // namespace reports
