#pragma once
// The rules behind the client search and the list of clients to recontact: the ten
// filters and the fixed-width list line. No windows here.

#include "storage/lists.h"
#include "storage/records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace clients {

// The record fields the search window filters on, in the window's tab order; each
// filter edit carries the name of its field.
inline constexpr std::array<const char *, 10> kFilterFields = {
    "txtCliente",   "txtComuneRes", "txtPartitaIva", "txtCodFisc", "txtDocumento",
    "txtOccupazione", "txtProdotti", "txtZona",      "txtQuestioni", "txtNote"};

// The client fields a test report or certificate card takes from a chosen client.
inline constexpr std::array<const char *, 7> kDocumentClientFields = {
    "txtCliente", "txtIndirizzoRes", "txtComuneRes", "txtProvRes",
    "txtCapRes",  "txtCodFisc",      "txtPartitaIva"};

// The search filters over client records (field: a name of kFilterFields).
class ClientFilters : public lists::Filters {
public:
    ClientFilters() : Filters(records::client()) {}
};

// What a list line shows after the products column.
enum class LastColumn { Notes, OpenQuestions };

// 115 fixed characters (name, "  Tel. ", preferred contact, occupation, "  Prod. ",
// products) followed by the notes or the open questions, whole.
QString listLine(records::RecordView client, LastColumn last);
// The same line added to `line` as bytes (see lists::Lines).
void appendLine(QByteArray &line, records::RecordView client, LastColumn last);
inline constexpr int kFixedLineWidth = 115;

// The list of a search: every record the filters let through, in list order. Opens
// (creating it when missing) and closes the archive; throws ArchiveError.
lists::Lines searchList(const QString &archivePath, const ClientFilters &filters);
// The clients whose recontact flag is "Sì", with their open questions, in list order.
// A failure part way keeps the lines read so far in `lines` and throws ArchiveError.
void recontactList(const QString &archivePath, lists::Lines &lines);
// The two lists as strings.
QStringList searchLines(const QString &archivePath, const ClientFilters &filters);
void recontactLines(const QString &archivePath, QStringList &lines);

// The line a record shows, for lists::lastRecordOfLine.
lists::LineOf lineOf(LastColumn last);

// kDocumentClientFields as names.
QStringList documentClientFields();

} // namespace clients
