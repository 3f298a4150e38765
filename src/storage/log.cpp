#include "log.h"

// Only critical messages are on by default: warnings and below wait for QT_LOGGING_RULES.
Q_LOGGING_CATEGORY(lcTirello, "tirello", QtCriticalMsg)
