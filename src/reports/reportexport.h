#pragma once
// The test report export ("Rapporti_di_Prova.xls"): a summary of each report (document,
// client, sample and its dates, parameter and result of the first five rows, remarks).

#include "storage/exportsheet.h"

#include <QSet>

namespace reports {

const spreadsheet::Sheet &exportSheet();

// Grid columns (0 is "N.") whose cells can be corrected before exporting: all but the
// client, the client's town, the sampling date and the analysis start date.
const QSet<int> &editableColumns();

} // namespace reports
