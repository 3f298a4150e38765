#pragma once
// What the lists of the two yearly document archives share, test reports and
// certificates: the ten search filters, the fixed-width list line, the search and the
// documents not yet delivered. No windows here; the archive is whatever file the caller
// names.

#include "storage/lists.h"
#include "storage/records.h"

#include <QString>
#include <QStringList>

#include <array>

namespace documents {

struct FilterField {
    const char *field;   // the record field; also the filter edit's name
    const char *caption; // UTF-8
};

// The filters of a document search, in the window's order (also the Enter order): the
// number under the document's own caption, date, analysis, sample, client, tax code,
// sampling place, sampled by, container, and the document's closing text.
constexpr std::array<FilterField, 10> searchFilters(const char *numberCaption, FilterField closing)
{
    return {{
        {"txtNumRap", numberCaption},
        {"txtData", "Data emissione (gg/mm/aaaa):"},
        {"txtAnalisi", "Tipologia di analisi effettuata:"},
        {"txtCampione", "Campione analizzato:"},
        {"txtCliente", "Committente:"},
        {"txtCodFisc", "Codice fiscale:"},
        {"txtLuogoPrel", "Luogo prelievo:"},
        {"txtCura", "Campionamento a cura di:"},
        {"txtContenitore", "Contenitore utilizzato:"},
        closing,
    }};
}

// Client (30), "  N. ", number (12), "  Data: ", issue date (10), two blanks, type of
// analysis (35), "  Campione: " and the sample, whole; every field trimmed first, the
// fixed ones then filled with blanks or cut. The sample therefore starts at character 115.
inline constexpr int kFixedLineWidth = 114;

// The lists of one document kind, over its record layout (any layout with the fields
// txtCliente, txtNumRap, txtData, txtAnalisi, txtCampione and chkConsegnato).
class Lists {
public:
    explicit Lists(const records::Layout &layout);

    const records::Layout &layout() const { return *m_layout; }

    QString line(records::RecordView document) const;
    // The same line added to `line` as bytes (see lists::Lines).
    void appendLine(QByteArray &line, records::RecordView document) const;
    // The line a record shows, for lists::lastRecordOfLine (it refers to this object).
    lists::LineOf lineOf() const;
    // Still to be handed to the client: the delivered flag, trimmed, is exactly "No". An
    // empty or foreign flag is not.
    bool undelivered(records::RecordView document) const;

    // The list of a search: every record the filters let through, in list order. Opens
    // (creating it when missing) and closes the archive; throws ArchiveError.
    lists::Lines searchList(const QString &archivePath, const lists::Filters &filters) const;
    // The documents not yet delivered, in list order. A failure part way keeps the lines
    // read so far in `lines` (sorted) and throws ArchiveError.
    void undeliveredList(const QString &archivePath, lists::Lines &lines) const;
    // The two lists as strings.
    QStringList search(const QString &archivePath, const lists::Filters &filters) const;
    void undeliveredLines(const QString &archivePath, QStringList &lines) const;

private:
    const records::Layout *m_layout;
    int m_client, m_number, m_date, m_analysis, m_sample, m_delivered;
};

} // namespace documents
