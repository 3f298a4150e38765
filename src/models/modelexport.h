#pragma once
// The analysis model export ("Modelli_Analisi.xls"): name, sample, and parameter and
// method of the first ten rows, alternately.

#include "storage/exportsheet.h"

namespace models {

const spreadsheet::Sheet &exportSheet();

} // namespace models
