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

void Lists::appendLine(QByteArray &line, records::RecordView document) const
{
    // Certificate fields come back as stored, blanks and all: trim every one.
    lists::appendColumn(line, document, m_client, 30);
    lists::appendBytes(line, "  N. ");
    lists::appendColumn(line, document, m_number, 12);
    lists::appendBytes(line, "  Data: ");
    lists::appendColumn(line, document, m_date, 10);
    lists::appendBytes(line, "  ");
    lists::appendColumn(line, document, m_analysis, 35);
    lists::appendBytes(line, "  Campione: ");
    lists::appendTrimmed(line, document, m_sample);
}

QString Lists::line(records::RecordView document) const
{
    QByteArray line;
    line.reserve(kFixedLineWidth + 120);
    appendLine(line, document);
    return text::fromCp1252(line);
}

lists::LineOf Lists::lineOf() const
{
    return [this](records::RecordView document) { return line(document); };
}

bool Lists::undelivered(records::RecordView document) const
{
    return text::trimBytes(document.stored(m_delivered)) == records::kNoStored;
}

lists::Lines Lists::searchList(const QString &archivePath, const lists::Filters &filters) const
{
    lists::Lines lines;
    lists::collectSortedLines(
        archivePath, *m_layout, [this](records::RecordView document, QByteArray &line) { appendLine(line, document); },
        [&filters](records::RecordView document) { return filters.matches(document); }, lines);
    return lines;
}

void Lists::undeliveredList(const QString &archivePath, lists::Lines &lines) const
{
    lists::collectSortedLines(
        archivePath, *m_layout, [this](records::RecordView document, QByteArray &line) { appendLine(line, document); },
        [this](records::RecordView document) { return undelivered(document); }, lines);
}

QStringList Lists::search(const QString &archivePath, const lists::Filters &filters) const
{
    return searchList(archivePath, filters).texts();
}

void Lists::undeliveredLines(const QString &archivePath, QStringList &lines) const
{
    lists::Lines found;
    try {
        undeliveredList(archivePath, found);
    } catch (const ArchiveError &) {
        lines = found.texts();
        throw;
    }
    lines = found.texts();
}

} // namespace documents
