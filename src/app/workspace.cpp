#include "workspace.h"

#include "frmavvio.h"
#include "frmpassword.h"

#include "clients/frmclienti.h"
#include "models/frmparametri.h"
#include "certificates/frmcertificati.h"
#include "models/modelsearch.h"
#include "reports/frmrapporti.h"
#include "reports/yearwindows_ui.h"
#include "ui/yearwindow.h"

#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/records.h"



std::unique_ptr<Workspace> Workspace::create()
{
    auto ws = std::make_unique<Workspace>();
    ws->frmPassword = new TfrmPassword;
    ws->frmAvvio = new TfrmAvvio;
    ws->frmCambiaPassword = new TfrmCambiaPassword(ws->frmPassword);
    ws->frmPassword->setNext(ws->frmAvvio, ws->frmCambiaPassword);
    ws->frmClienti = new TfrmClienti(ws->frmAvvio);
    ws->frmRapporti = new TfrmRapporti(ws->frmAvvio);
    ws->frmMenuRapporti = new YearWindow(reports::yearWindow(), ws->frmAvvio, ws->frmRapporti,
                                         [card = ws->frmRapporti](const QString &path, const QString &title) {
                                             card->openArchive(path, title);
                                         });
    ws->frmParametri = new TfrmParametri(ws->frmAvvio);
    ws->frmCertificati = new TfrmCertificati(ws->frmAvvio);
    ws->frmMenuCertificati = new YearWindow(certificates::yearWindow(), ws->frmAvvio, ws->frmCertificati,
                                            [card = ws->frmCertificati](const QString &path, const QString &title) {
                                                card->openArchive(path, title);
                                            });
    ws->frmAvvio->setWorkAreas({ws->frmClienti, ws->frmParametri, ws->frmMenuRapporti, ws->frmMenuCertificati});
    // The model lists read their archive when the program starts, so the archive exists
    // from the first start on. A failure here stays silent.
    try {
        archive::touch(models::archivePath(), records::model().size());
    } catch (const ArchiveError &) {
    }
    return ws;
}

Workspace::~Workspace()
{
    delete frmPassword;
    delete frmAvvio;
    delete frmCambiaPassword;
    delete frmClienti;
    delete frmParametri;
    delete frmMenuRapporti;
    delete frmRapporti;
    delete frmMenuCertificati;
    delete frmCertificati;
}

void Workspace::start()
{
    frmPassword->show();
}
