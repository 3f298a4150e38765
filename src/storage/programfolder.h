#pragma once
// Where the program keeps its files, and what time it is: both settable by tests.

#include <QDateTime>
#include <QString>

namespace ProgramFolder {

// The executable's folder with a trailing separator, unless a test set another one.
QString path();
QString file(const QString &name);
void setOverride(const QString &folder); // empty: back to the real folder

} // namespace ProgramFolder

namespace Clock {

QDateTime now();
void setOverride(const QDateTime &fixed); // invalid: back to the system clock

} // namespace Clock

namespace formats {

// Dates are always day/month/four-digit year.
QString date(const QDate &d);

} // namespace formats
