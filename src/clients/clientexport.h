#pragma once
// The client archive export ("Clienti.xls"): one column per field, the birth and residence
// towns with their province.

#include "storage/exportsheet.h"

namespace clients {

const spreadsheet::Sheet &exportSheet();

} // namespace clients
