#include "reportsearch.h"

#include "limits.h"

namespace reports {

const documents::Lists &documentLists()
{
    static const documents::Lists lists(records::report());
    return lists;
}

QStringList searchLines(const QString &archivePath, const lists::Filters &filters, bool outOfLimitOnly)
{
    if (!outOfLimitOnly)
        return documentLists().search(archivePath, filters);
    QStringList lines;
    // The typed filters first: they cost less than judging thirty rows.
    lists::collectLines(archivePath, records::report(), lineOf(),
                        [&filters](records::RecordView report) {
                            return filters.matches(report) && hasOutOfLimit(report);
                        },
                        lines);
    lists::sortLines(lines);
    return lines;
}

} // namespace reports
