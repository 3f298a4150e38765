#pragma once

#include "ui/exportwindow.h"

// Exports the open yearly archive of certificates to "Certificati_Analisi_Chimica.xls",
// as the read-only grid shows it; the archive itself is never written.
class TfrmExpCertificati : public ExportWindow {
    Q_OBJECT
public:
    TfrmExpCertificati(QWidget *owner, const QString &archivePath);
};

namespace certificates {

// The card's Esporta: a fresh modal export window over the yearly archive at
// archivePath, destroyed afterwards.
void openExport(QWidget *owner, const QString &archivePath);

} // namespace certificates
