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

#include "storage/log.h"
#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/records.h"

template <typename Window, typename... Args>
Window *Workspace::make(Args &&...args)
{
    auto window = std::make_unique<Window>(std::forward<Args>(args)...);
    Window *name = window.get();
    m_windows.push_back(std::move(window));
    return name;
}

std::unique_ptr<Workspace> Workspace::create()
{
    auto ws = std::make_unique<Workspace>();
    ws->frmPassword = ws->make<TfrmPassword>();
    ws->frmAvvio = ws->make<TfrmAvvio>();
    ws->frmCambiaPassword = ws->make<TfrmCambiaPassword>(ws->frmPassword);
    ws->frmPassword->setNext(ws->frmAvvio, ws->frmCambiaPassword);
    ws->frmClienti = ws->make<TfrmClienti>(ws->frmAvvio);
    ws->frmRapporti = ws->make<TfrmRapporti>(ws->frmAvvio);
    ws->frmMenuRapporti = ws->make<YearWindow>(reports::yearWindow(), ws->frmAvvio, ws->frmRapporti,
                                               [card = ws->frmRapporti](const QString &path, const QString &title) {
                                                   card->openArchive(path, title);
                                               });
    ws->frmParametri = ws->make<TfrmParametri>(ws->frmAvvio);
    ws->frmCertificati = ws->make<TfrmCertificati>(ws->frmAvvio);
    ws->frmMenuCertificati =
        ws->make<YearWindow>(certificates::yearWindow(), ws->frmAvvio, ws->frmCertificati,
                             [card = ws->frmCertificati](const QString &path, const QString &title) {
                                 card->openArchive(path, title);
                             });
    ws->frmAvvio->setWorkAreas({ws->frmClienti, ws->frmParametri, ws->frmMenuRapporti, ws->frmMenuCertificati});
    // The model lists read their archive when the program starts, so the archive exists
    // from the first start on. A failure here stays silent: the first use of the models
    // tries again and says so.
    try {
        archive::touch(models::archivePath(), records::model().size());
    } catch (const ArchiveError &e) {
        qCWarning(lcTirello) << "model archive not made at start:" << e.what();
    }
    return ws;
}

Workspace::~Workspace()
{
    // The last made first: no window outlives one it was made to point at.
    while (!m_windows.empty())
        m_windows.pop_back();
}

void Workspace::start()
{
    frmPassword->show();
}
