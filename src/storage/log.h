#pragma once
// The program's one logging category, "tirello": where a failure's cause goes when the
// window shows only its fixed message. Silent unless enabled, for example with
// QT_LOGGING_RULES="tirello.debug=true" (everything) or "tirello.warning=true"; written to
// standard error only, the program keeps no log file.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcTirello)
