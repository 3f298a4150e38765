#pragma once

#include "ui/exportwindow.h"

// Exports the open yearly archive of test reports to "Rapporti_di_Prova.xls". Most
// columns may be corrected in the grid before exporting; the archive itself is never
// written.
class TfrmExpRapporti : public ExportWindow {
    Q_OBJECT
public:
    TfrmExpRapporti(QWidget *owner, const QString &archivePath);
};

namespace reports {

// The card's Esporta: a fresh modal export window over the yearly archive at
// archivePath, destroyed afterwards.
void openExport(QWidget *owner, const QString &archivePath);

} // namespace reports
