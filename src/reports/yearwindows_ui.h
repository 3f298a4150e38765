#pragma once
// The two year windows: test reports ("frmMenuRapporti") and certificates
// ("frmMenuCertificati"), the same window with each kind's texts.

#include "ui/yearwindow.h"

namespace reports {
YearWindow::Description yearWindow();
}

namespace certificates {
YearWindow::Description yearWindow();
}
