#pragma once
// The certificate export ("Certificati_Analisi_Chimica.xls"): the document, the client
// and the sample with its dates, the chemist and the delivered flag of every certificate.
// The six memos, the laboratory block and the attachments stay out. The grid is for
// viewing only: no column can be corrected before exporting.

#include "storage/exportsheet.h"

namespace certificates {

const spreadsheet::Sheet &exportSheet();

} // namespace certificates
