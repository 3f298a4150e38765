#include "frmexpcertificati.h"

#include "certexport.h"

TfrmExpCertificati::TfrmExpCertificati(QWidget *owner, const QString &archivePath)
    : ExportWindow(owner, {QStringLiteral("frmExpCertificati"),
                           QStringLiteral(" Esporta archivio certificati di analisi chimica in Microsoft Excel"),
                           &certificates::exportSheet(), &records::certificate(), archivePath,
                           &help::certificateExport})
{
}

namespace certificates {

void openExport(QWidget *owner, const QString &archivePath)
{
    TfrmExpCertificati window(owner, archivePath);
    window.exec();
}

} // namespace certificates
