#include "workspace.h"

#include "frmavvio.h"
#include "frmpassword.h"

#include "clients/frmclienti.h"
#include "models/frmparametri.h"
#include "models/modelsearch.h"
#include "reports/frmrapporti.h"
#include "reports/yearwindows_ui.h"
#include "ui/yearwindow.h"

#include "storage/programfolder.h"
#include "storage/recordfile.h"
#include "storage/records.h"

#include <QCloseEvent>

namespace {

// A work area whose window is still to be built: its frame, and back to the launcher.
class FrameWindow : public WorkWindow {
public:
    FrameWindow(QWidget *home, const QString &name, const QString &title) : WorkWindow(name, title), m_home(home)
    {
        look::setGradient(this, QColor(0x40, 0x8A, 0xB3), Qt::white);
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->accept();
        windowSwitch(m_home, this);
    }

private:
    QWidget *m_home;
};

} // namespace

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
    ws->frmCertificati = new FrameWindow(ws->frmAvvio, QStringLiteral("frmCertificati"),
                                         QStringLiteral(" Tirello - Certificati di analisi chimica"));
    ws->frmMenuCertificati = new YearWindow(certificates::yearWindow(), ws->frmAvvio, ws->frmCertificati,
                                            [card = ws->frmCertificati](const QString &, const QString &title) {
                                                card->setWindowTitle(title);
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
