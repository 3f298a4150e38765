#include "documentlists.h"

#include "storage/lists.h"
#include "storage/recordfile.h"
#include "storage/textcodec.h"

namespace documents {
Lists::Lists(const records::Layout &layout)
    : m_layout(&layout), m_client(layout.indexOf(QStringLiteral("txtCliente"))),
      m_number(layout.indexOf(QStringLiteral("txtNumRap"))), m_date(layout.indexOf(QStringLiteral("txtData"))),
      m_analysis(layout.indexOf(QStringLiteral("txtAnalisi"))),
      m_sample(layout.indexOf(QStringLiteral("txtCampione"))),
      m_delivered(layout.indexOf(QStringLiteral("chkConsegnato")))
{
}

QString Lists::line(records::RecordView document) const
{
    // Certificate fields come back as stored, blanks and all: trim every one.
    QString line;
    line.reserve(kFixedLineWidth + 120);
    lists::appendColumn(line, document, m_client, 30);
    line += u"  N. ";
    lists::appendColumn(line, document, m_number, 12);
    line += u"  Data: ";
    lists::appendColumn(line, document, m_date, 10);
    line += u"  ";
    lists::appendColumn(line, document, m_analysis, 35);
    line += u"  Campione: ";
    document.appendTrimmed(m_sample, line);
    return line;
}

lists::LineOf Lists::lineOf() const
{
    return [this](records::RecordView document) { return line(document); };
}

bool Lists::undelivered(records::RecordView document) const
{
    return text::trim(document.text(m_delivered)) == records::kNo;
}

QStringList Lists::search(const QString &archivePath, const lists::Filters &filters) const
{
    QStringList lines;
    lists::collectLines(archivePath, *m_layout, lineOf(),
                        [&filters](records::RecordView document) { return filters.matches(document); }, lines);
    lists::sortLines(lines);
    return lines;
}

void Lists::undeliveredLines(const QString &archivePath, QStringList &lines) const
{
    try {
        lists::collectLines(archivePath, *m_layout, lineOf(),
                            [this](records::RecordView document) { return undelivered(document); }, lines);
    } catch (const ArchiveError &) {
        lists::sortLines(lines);
        throw;
    }
    lists::sortLines(lines);
}

} // namespace documents
