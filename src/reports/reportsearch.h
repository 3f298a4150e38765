#pragma once
// The rules behind the test report search and the list of reports not yet delivered:
// the ten filters, the fixed-width list line and the two lists. No windows here; the
// yearly archive is whatever file the caller names.

#include "storage/lists.h"
#include "storage/records.h"

#include <QString>
#include <QStringList>

#include <array>

namespace reports {

struct FilterField {
    const char *field;   // the record field; also the filter edit's name
    const char *caption; // UTF-8
};

// The filters of the search window, in the window's order (also the Enter order).
inline constexpr std::array<FilterField, 10> kFilters = {{
    {"txtNumRap", "Rapporto di prova n."},
    {"txtData", "Data emissione (gg/mm/aaaa):"},
    {"txtAnalisi", "Tipologia di analisi effettuata:"},
    {"txtCampione", "Campione analizzato:"},
    {"txtCliente", "Committente:"},
    {"txtCodFisc", "Codice fiscale:"},
    {"txtLuogoPrel", "Luogo prelievo:"},
    {"txtCura", "Campionamento a cura di:"},
    {"txtContenitore", "Contenitore utilizzato:"},
    {"txtOsservazioni", "Osservazioni:"},
}};

// The search filters over test report records (field: a name of kFilters).
class ReportFilters : public lists::Filters {
public:
    ReportFilters() : Filters(records::report()) {}
};

// Client (30), "  N. ", number (12), "  Data: ", issue date (10), two blanks, type of
// analysis (35), "  Campione: " and the sample, whole; every field trimmed, the fixed
// ones filled with blanks or cut.
QString listLine(const records::Record &report);
inline constexpr int kFixedLineWidth = 114;

// The line a record shows, for lists::lastRecordOfLine.
lists::LineOf lineOf();

// Whether a report is still to be handed to its client: its delivered flag is "No".
bool undelivered(const records::Record &report);

// The list of a search: every record the filters let through, in list order. Opens
// (creating it when missing) and closes the archive; throws ArchiveError.
QStringList searchLines(const QString &archivePath, const ReportFilters &filters);

// The reports not yet delivered, in list order. A failure part way keeps the lines read
// so far in `lines` (sorted) and throws ArchiveError.
void undeliveredLines(const QString &archivePath, QStringList &lines);

} // namespace reports
