#include "frmexpparametri.h"

#include "frmparametri.h"
#include "modelexport.h"
#include "modelsearch.h"

TfrmExpParametri::TfrmExpParametri(QWidget *owner)
    : ExportWindow(owner, {QStringLiteral("frmExpParametri"),
                           QStringLiteral(" Esporta archivio modelli di analisi in Microsoft Excel"),
                           &models::exportSheet(), &records::model(), models::archivePath(), &help::modelExport})
{
    model()->setEditable(editableColumns());
}

const QSet<int> &TfrmExpParametri::editableColumns()
{
    // Parametro 2, 5, 7, 9, 10 and Metodo di prova 2, 5, 9, 10; the rest is read-only.
    static const QSet<int> columns{5, 6, 11, 12, 15, 19, 20, 21, 22};
    return columns;
}

namespace models {

void openExport(TfrmParametri *card)
{
    TfrmExpParametri window(card);
    window.exec();
}

} // namespace models
