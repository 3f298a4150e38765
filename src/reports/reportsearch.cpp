#include "reportsearch.h"

#include "storage/recordfile.h"

namespace reports {
namespace {

struct LineFields {
    int client, number, date, analysis, sample, delivered;
};

const LineFields &lineFields()
{
    static const LineFields f = [] {
        const records::Layout &l = records::report();
        return LineFields{l.indexOf(QStringLiteral("txtCliente")),  l.indexOf(QStringLiteral("txtNumRap")),
                          l.indexOf(QStringLiteral("txtData")),     l.indexOf(QStringLiteral("txtAnalisi")),
                          l.indexOf(QStringLiteral("txtCampione")), l.indexOf(QStringLiteral("chkConsegnato"))};
    }();
    return f;
}

} // namespace

QString listLine(const records::Record &report)
{
    // Record texts come back trimmed already.
    const LineFields &f = lineFields();
    QString line;
    line.reserve(kFixedLineWidth + 120);
    lists::appendColumn(line, report.text(f.client), 30);
    line += u"  N. ";
    lists::appendColumn(line, report.text(f.number), 12);
    line += u"  Data: ";
    lists::appendColumn(line, report.text(f.date), 10);
    line += u"  ";
    lists::appendColumn(line, report.text(f.analysis), 35);
    line += u"  Campione: ";
    line += report.text(f.sample);
    return line;
}

lists::LineOf lineOf()
{
    return [](const records::Record &report) { return listLine(report); };
}

bool undelivered(const records::Record &report)
{
    return report.text(lineFields().delivered) == records::kNo;
}

QStringList searchLines(const QString &archivePath, const ReportFilters &filters)
{
    QStringList lines;
    lists::collectLines(archivePath, records::report(), lineOf(),
                        [&filters](const records::Record &report) { return filters.matches(report); }, lines);
    lists::sortLines(lines);
    return lines;
}

void undeliveredLines(const QString &archivePath, QStringList &lines)
{
    try {
        lists::collectLines(archivePath, records::report(), lineOf(), undelivered, lines);
    } catch (const ArchiveError &) {
        lists::sortLines(lines);
        throw;
    }
    lists::sortLines(lines);
}

} // namespace reports
