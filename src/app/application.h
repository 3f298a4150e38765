#pragma once

#include <functional>

class QApplication;

namespace app {

// Process-wide settings: Italian texts in Qt's own dialogs, dates as dd/mm/yyyy,
// decimal comma, the program's icon, and the end only when asked for.
void setUp(QApplication &app);

} // namespace app

// Asks the application to end. Tests may catch the request instead.
void endProgram();
void setEndHandler(std::function<void()> handler); // empty: quit the application
