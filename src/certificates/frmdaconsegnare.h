#pragma once
// " Riepilogo certificati di analisi non consegnati ai committenti": the certificates of
// the open yearly archive whose delivered box is not ticked, read when the window opens.
// The double-clicked certificate goes back to the card with its position.

#include "frmtrovacertificati.h"

class TfrmDaConsegnare : public ListWindow {
    Q_OBJECT
public:
    // Printed as it is, with its closing blank.
    static inline const QString kListTitle =
        QStringLiteral("Riepilogo certificati di analisi non consegnati ai committenti ");

    TfrmDaConsegnare(QWidget *owner, const QString &archivePath, certificates::ShowCertificate show);
};

namespace certificates {

// The card's undelivered list over the same archive.
void openUndelivered(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show);

} // namespace certificates
