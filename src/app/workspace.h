#pragma once
// The work windows: one instance of each for the whole run, switched by showing the
// target and hiding the source.

#include "application.h" // endProgram
#include "ui/widgets.h"   // windowSwitch

#include <functional>
#include <memory>

class QWidget;
class TfrmPassword;
class TfrmCambiaPassword;
class TfrmAvvio;
class WorkWindow;
class TfrmClienti;
class TfrmParametri;
class TfrmRapporti;
class TfrmCertificati;
class YearWindow;

struct Workspace {
    TfrmPassword *frmPassword = nullptr;
    TfrmAvvio *frmAvvio = nullptr;
    TfrmCambiaPassword *frmCambiaPassword = nullptr;
    TfrmClienti *frmClienti = nullptr;
    TfrmParametri *frmParametri = nullptr;
    YearWindow *frmMenuRapporti = nullptr;
    TfrmRapporti *frmRapporti = nullptr;
    YearWindow *frmMenuCertificati = nullptr;
    TfrmCertificati *frmCertificati = nullptr;

    // Creates every work window, in the program's order, and the model archive when
    // it is missing. Nothing is shown yet.
    static std::unique_ptr<Workspace> create();
    ~Workspace();

    void start(); // shows the login window
};

