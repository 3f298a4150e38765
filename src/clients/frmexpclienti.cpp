#include "frmexpclienti.h"

#include "clientexport.h"
#include "frmclienti.h"

#include "storage/programfolder.h"

TfrmExpClienti::TfrmExpClienti(QWidget *owner)
    : ExportWindow(owner, {QStringLiteral("frmExpClienti"), QStringLiteral(" Esporta archivio clienti in Microsoft Excel"),
                           &clients::exportSheet(), &records::client(),
                           ProgramFolder::file(TfrmClienti::kArchiveName), &help::clientExport})
{
}

namespace clients {

void openExport(TfrmClienti *card)
{
    TfrmExpClienti window(card);
    window.exec();
}

} // namespace clients
