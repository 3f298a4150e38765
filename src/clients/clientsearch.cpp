#include "clientsearch.h"

#include "storage/recordfile.h"
#include "storage/textcodec.h"


namespace clients {
namespace {

struct LineFields {
    int name, contact, occupation, products, notes, questions, recontact;
};

const LineFields &lineFields()
{
    static const LineFields f = [] {
        const records::Layout &l = records::client();
        return LineFields{l.indexOf(QStringLiteral("txtCliente")),     l.indexOf(QStringLiteral("txtRecapito")),
                          l.indexOf(QStringLiteral("txtOccupazione")), l.indexOf(QStringLiteral("txtProdotti")),
                          l.indexOf(QStringLiteral("txtNote")),        l.indexOf(QStringLiteral("txtQuestioni")),
                          l.indexOf(QStringLiteral("chkRicontatta"))};
    }();
    return f;
}

} // namespace

// ---- List lines ----------------------------------------------------------------------

void appendLine(QByteArray &line, records::RecordView client, LastColumn last)
{
    const LineFields &f = lineFields();
    lists::appendColumn(line, client, f.name, 26);
    lists::appendBytes(line, "  Tel. ");
    lists::appendColumn(line, client, f.contact, 15);
    lists::appendBytes(line, "  ");
    lists::appendColumn(line, client, f.occupation, 25);
    lists::appendBytes(line, "  Prod. ");
    lists::appendColumn(line, client, f.products, 30);
    lists::appendBytes(line, "  ");
    lists::appendField(line, client, last == LastColumn::Notes ? f.notes : f.questions);
}

QString listLine(records::RecordView client, LastColumn last)
{
    QByteArray line;
    line.reserve(kFixedLineWidth + 250);
    appendLine(line, client, last);
    return text::fromCp1252(line);
}

lists::LineOf lineOf(LastColumn last)
{
    return [last](records::RecordView client) { return listLine(client, last); };
}

QStringList documentClientFields()
{
    QStringList names;
    for (const char *name : kDocumentClientFields)
        names.append(QString::fromLatin1(name));
    return names;
}

lists::Lines searchList(const QString &archivePath, const ClientFilters &filters)
{
    lists::Lines lines;
    lists::collectSortedLines(
        archivePath, records::client(),
        [](records::RecordView client, QByteArray &line) { appendLine(line, client, LastColumn::Notes); },
        [&filters](records::RecordView client) { return filters.matches(client); }, lines);
    return lines;
}

void recontactList(const QString &archivePath, lists::Lines &lines)
{
    const int flag = lineFields().recontact;
    lists::collectSortedLines(
        archivePath, records::client(),
        [](records::RecordView client, QByteArray &line) { appendLine(line, client, LastColumn::OpenQuestions); },
        [flag](records::RecordView client) {
            return client.stored(flag) == records::kYesStored; // read back trimmed
        },
        lines);
}

QStringList searchLines(const QString &archivePath, const ClientFilters &filters)
{
    return searchList(archivePath, filters).texts();
}

void recontactLines(const QString &archivePath, QStringList &lines)
{
    lists::Lines found;
    try {
        recontactList(archivePath, found);
    } catch (const ArchiveError &) {
        lines = found.texts();
        throw;
    }
    lines = found.texts();
}

} // namespace clients
