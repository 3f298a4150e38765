#pragma once
// The rules behind the test report search and the list of reports not yet delivered:
// the ten filters, the fixed-width list line and the two lists. No windows here; the
// yearly archive is whatever file the caller names.

#include "storage/documentlists.h"

namespace reports {

using FilterField = documents::FilterField;

// The filters of the search window, in the window's order (also the Enter order).
inline constexpr auto kFilters = documents::searchFilters("Rapporto di prova n.", {"txtOsservazioni", "Osservazioni:"});

// The search filters over test report records (field: a name of kFilters).
class ReportFilters : public lists::Filters {
public:
    ReportFilters() : Filters(records::report()) {}
};

// The lists of test reports.
const documents::Lists &documentLists();

// Client (30), "  N. ", number (12), "  Data: ", issue date (10), two blanks, type of
// analysis (35), "  Campione: " and the sample, whole; every field trimmed, the fixed
// ones filled with blanks or cut.
inline QString listLine(records::RecordView report) { return documentLists().line(report); }
inline constexpr int kFixedLineWidth = documents::kFixedLineWidth;

// The line a record shows, for lists::lastRecordOfLine.
inline lists::LineOf lineOf() { return documentLists().lineOf(); }

// Whether a report is still to be handed to its client: its delivered flag is "No".
inline bool undelivered(records::RecordView report) { return documentLists().undelivered(report); }

// The list of a search: every record the filters let through, in list order. Opens
// (creating it when missing) and closes the archive; throws ArchiveError.
inline QStringList searchLines(const QString &archivePath, const ReportFilters &filters)
{
    return documentLists().search(archivePath, filters);
}

// The same list, only with the reports that hold at least one result out of its limit
// when outOfLimitOnly: the filters and that condition together. As the window keeps it
// (bytes, see lists::Lines), and as strings.
lists::Lines searchList(const QString &archivePath, const lists::Filters &filters, bool outOfLimitOnly);
inline QStringList searchLines(const QString &archivePath, const lists::Filters &filters, bool outOfLimitOnly)
{
    return searchList(archivePath, filters, outOfLimitOnly).texts();
}

// The reports not yet delivered, in list order. A failure part way keeps the lines read
// so far in `lines` (sorted) and throws ArchiveError.
inline void undeliveredLines(const QString &archivePath, QStringList &lines)
{
    documentLists().undeliveredLines(archivePath, lines);
}

} // namespace reports
