#pragma once

class QApplication;

namespace app {

// Process-wide settings: Italian texts in Qt's own dialogs, dates as dd/mm/yyyy,
// decimal comma, the program's icon, and the end only when asked for.
void setUp(QApplication &app);

} // namespace app
