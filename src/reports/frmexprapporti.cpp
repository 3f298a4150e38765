#include "frmexprapporti.h"

#include "reportexport.h"

TfrmExpRapporti::TfrmExpRapporti(QWidget *owner, const QString &archivePath)
    : ExportWindow(owner, {QStringLiteral("frmExpRapporti"),
                           QStringLiteral(" Esporta archivio rapporti di prova in Microsoft Excel"),
                           &reports::exportSheet(), &records::report(), archivePath, &help::reportExport})
{
    model()->setEditable(reports::editableColumns());
}

namespace reports {

void openExport(QWidget *owner, const QString &archivePath)
{
    TfrmExpRapporti window(owner, archivePath);
    window.exec();
}

} // namespace reports
