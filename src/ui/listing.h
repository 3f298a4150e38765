#pragma once
// The shared landscape listing of the search and summary windows: the title bar on the
// first page, the list lines in Courier New 8 over as many pages as they need, then the
// print stamp once after the last line. Printed through the print dialog, no preview.

#include <QString>
#include <QStringList>

class QWidget;

namespace listing {

void print(QWidget *owner, const QString &title, const QStringList &lines);

} // namespace listing
