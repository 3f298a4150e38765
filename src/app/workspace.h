#pragma once
// The work windows: one instance of each for the whole run, switched by showing the
// target and hiding the source.

#include "application.h" // endProgram
#include "ui/widgets.h"   // windowSwitch

#include <functional>
#include <memory>
#include <vector>

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

// The pointers below name the windows; the workspace owns them (m_windows) and they go
// with it, the last made first.
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

private:
    // Makes a window that the workspace owns and hands back its name.
    template <typename Window, typename... Args>
    Window *make(Args &&...args);

    std::vector<std::unique_ptr<QWidget>> m_windows; // in the order they were made
};

