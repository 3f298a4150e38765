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

QString listLine(records::RecordView client, LastColumn last)
{
    const LineFields &f = lineFields();
    QString line;
    line.reserve(kFixedLineWidth + 250);
    lists::appendColumn(line, client, f.name, 26);
    line += u"  Tel. ";
    lists::appendColumn(line, client, f.contact, 15);
    line += u"  ";
    lists::appendColumn(line, client, f.occupation, 25);
    line += u"  Prod. ";
    lists::appendColumn(line, client, f.products, 30);
    line += u"  ";
    client.appendText(last == LastColumn::Notes ? f.notes : f.questions, line);
    return line;
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

QStringList searchLines(const QString &archivePath, const ClientFilters &filters)
{
    QStringList lines;
    lists::collectLines(archivePath, records::client(), lineOf(LastColumn::Notes),
                        [&filters](records::RecordView client) { return filters.matches(client); }, lines);
    lists::sortLines(lines);
    return lines;
}

void recontactLines(const QString &archivePath, QStringList &lines)
{
    const int flag = lineFields().recontact;
    try {
        lists::collectLines(archivePath, records::client(), lineOf(LastColumn::OpenQuestions),
                            [flag](records::RecordView client) {
                                return client.text(flag) == records::kYes; // read back trimmed
                            },
                            lines);
    } catch (const ArchiveError &) {
        lists::sortLines(lines);
        throw;
    }
    lists::sortLines(lines);
}

} // namespace clients
