#include "reportsearch.h"

#include "limits.h"

namespace reports {

const documents::Lists &documentLists()
{
    static const documents::Lists lists(records::report());
    return lists;
}

lists::Lines searchList(const QString &archivePath, const lists::Filters &filters, bool outOfLimitOnly)
{
    if (!outOfLimitOnly)
        return documentLists().searchList(archivePath, filters);
    lists::Lines lines;
    // The typed filters first: they cost less than judging thirty rows.
    lists::collectSortedLines(
        archivePath, records::report(),
        [](records::RecordView report, QByteArray &line) { documentLists().appendLine(line, report); },
        [&filters](records::RecordView report) { return filters.matches(report) && hasOutOfLimit(report); }, lines);
    return lines;
}

} // namespace reports
