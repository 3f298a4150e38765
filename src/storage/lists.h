#pragma once
// What every list window of the program shares, without windows: the order of the lines,
// the count line, the search filters, the quick find over the lines and the way a chosen
// line leads back to its record.

#include "storage/records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace lists {

// Character codes after folding a-z to A-Z; a line that begins another comes first.
bool lineLess(const QString &a, const QString &b);
// Sorts in place by lineLess; equal lines keep their order.
void sortLines(QStringList &lines);

// A fixed-width column of a list line: the text of a record's field, trimmed and decoded
// straight into the line, then blanks, cut to exactly width characters.
void appendColumn(QString &line, records::RecordView record, int field, int width);

// "Il presente riepilogo contiene N schede."
QString countLine(qsizetype count);

// The filters of a search window over the fields of one record layout, as typed. A blank
// filter takes no part; every other one must occur in its field, with only A-Z folded
// (the typed text is not trimmed, so its blanks count).
class Filters {
public:
    explicit Filters(const records::Layout &layout) : m_layout(&layout) {}

    // field: a field of the layout; other names are ignored. Setting a field again
    // replaces its filter.
    void set(const QString &field, const QString &typed);
    int activeCount() const { return int(m_active.size()); }
    bool matches(records::RecordView record) const;

private:
    struct Active {
        int field;
        // The typed text, A-Z folded, as stored bytes; none when it holds a character the
        // code page lacks, which no stored text can contain.
        std::optional<QByteArray> bytes;
    };
    const records::Layout *m_layout;
    QList<Active> m_active;
};

// The line a record shows in a list.
using LineOf = std::function<QString(records::RecordView)>;
// Whether a record belongs in a list.
using Keep = std::function<bool(records::RecordView)>;

// The lines of the records `keep` lets through (every record when empty), in file order.
// Opens (creating it when missing) and closes the archive. A failure part way keeps the
// lines read so far in `lines` and throws ArchiveError.
// A big archive is read in two parts at once: `lineOf` and `keep` are called from two
// threads and must not change anything they share.
void collectLines(const QString &archivePath, const records::Layout &layout, const LineOf &lineOf,
                  const Keep &keep, QStringList &lines);

struct Found {
    records::Record record;
    int position; // 1-based
};

// The record a chosen list line stands for: the last one in file order whose line,
// trimmed, equals the chosen line, trimmed. Found only after the whole archive has been
// read: a failure part way throws ArchiveError and finds nothing. The record is read
// again at its position under the archive's lock, as it is stored when found. `lineOf`
// as for collectLines.
std::optional<Found> lastRecordOfLine(const QString &archivePath, const records::Layout &layout,
                                      const LineOf &lineOf, const QString &line);

// Quick find over the lines of a list; one instance per window. The text last searched
// decides where a search starts: a new text tests from the first line on, that line
// included; the same text again moves on from the selected line, testing it last.
class QuickFind {
public:
    // Returns the line to select: the matching line, else `selected` (the first line when
    // nothing is selected); -1 only for an empty list, which leaves the memory alone.
    // Letters A-Z and a-z match either way; an empty text matches nothing.
    int find(const QStringList &lines, int selected, const QString &typed);
    void forget() { m_remembered.clear(); }
    const QString &remembered() const { return m_remembered; }

private:
    QString m_remembered;
};

} // namespace lists
