#pragma once
// The rules behind the certificate search and the list of certificates not yet
// delivered: the ten filters, the fixed-width list line and the two lists. No windows
// here; the yearly archive is whatever file the caller names.
//
// Certificate fields are read as stored, blanks included: the filters look at them so,
// the list line and the delivered flag trim them first.

#include "storage/documentlists.h"

namespace certificates {

// The filters of the search window, in the window's order (also the Enter order). The
// conclusions filter searches the whole memo, line breaks included.
inline constexpr auto kFilters =
    documents::searchFilters("Certificato di analisi n.", {"txtConclusioni", "Conclusioni:"});

// The search filters over certificate records (field: a name of kFilters).
class CertificateFilters : public lists::Filters {
public:
    CertificateFilters() : Filters(records::certificate()) {}
};

// The list line, the undelivered selection, the search and the undelivered list over
// certificate archives.
const documents::Lists &documentLists();

} // namespace certificates
