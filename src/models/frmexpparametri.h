#pragma once

#include "ui/exportwindow.h"

#include <QSet>

class TfrmParametri;

// Exports "Parametri_Chimici.pro" to "Modelli_Analisi.xls": name, sample and the first
// ten rows' parameter and method. Some parameter and method columns may be corrected in
// the grid before exporting; the archive itself is never written.
class TfrmExpParametri : public ExportWindow {
    Q_OBJECT
public:
    explicit TfrmExpParametri(QWidget *owner = nullptr);

    // Grid columns (0 is "N.") whose cells can be edited.
    static const QSet<int> &editableColumns();
};

namespace models {

// The card's Esporta: a fresh modal export window, destroyed afterwards.
void openExport(TfrmParametri *card);

} // namespace models
