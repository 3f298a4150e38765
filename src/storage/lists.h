#pragma once
// What every list window of the program shares, without windows: the order of the lines,
// the count line, the search filters, the quick find over the lines and the way a chosen
// line leads back to its record.

#include "storage/records.h"
#include "storage/textcodec.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <optional>

namespace lists {

// Character codes after folding a-z to A-Z; a line that begins another comes first.
bool lineLess(const QString &a, const QString &b);
// Sorts in place by lineLess; equal lines keep their order.
void sortLines(QStringList &lines);

// The lines of a list as the code page's bytes they are made of: a line is made of
// stored texts and plain ASCII, one byte a character, so the bytes decode to exactly the
// line. A big list costs a fraction of the same lines as strings; it is sorted, searched
// and counted without decoding, and a line is decoded only when it is shown.
class Lines {
public:
    qsizetype size() const { return m_spans.size(); }
    bool isEmpty() const { return m_spans.isEmpty(); }
    QByteArrayView bytes(qsizetype line) const
    {
        const Span &s = m_spans.at(line);
        return QByteArrayView(m_bytes.constData() + s.start, s.size);
    }
    QString text(qsizetype line) const;
    QStringList texts() const;
    // Characters of the longest line.
    qsizetype longest() const { return m_longest; }

    void append(QByteArrayView line);
    // A line made in place: `make` adds its bytes to the end of the array it is given.
    template <class Make>
    void appendMade(Make &&make)
    {
        const qsizetype start = m_bytes.size();
        make(m_bytes);
        const qsizetype size = m_bytes.size() - start;
        m_spans.append({start, size});
        m_longest = std::max(m_longest, size);
    }
    // Every line of `more` after these, in its order.
    void append(Lines &&more);
    void clear();
    // In list order (lineLess); equal lines keep their order.
    void sort();

private:
    struct Span {
        qsizetype start;
        qsizetype size;
    };
    QByteArray m_bytes;
    QList<Span> m_spans;
    qsizetype m_longest = 0;
};

// Pieces of a list line, added to its bytes (see Lines), a hundred thousand times for a
// big archive: straight into the room the line has.
// Plain text of the code page (the fixed words between the columns).
void appendBytes(QByteArray &line, QByteArrayView bytes);
// A fixed-width column: the record's field trimmed, then blanks, cut to exactly width.
void appendColumn(QByteArray &line, records::RecordView record, int field, int width);
// A field whole, as text() reads it (a short text comes trimmed, a certificate's not).
inline void appendField(QByteArray &line, records::RecordView record, int field)
{
    appendBytes(line, record.stored(field));
}
// A field whole and trimmed.
inline void appendTrimmed(QByteArray &line, records::RecordView record, int field)
{
    appendBytes(line, text::trimBytes(record.stored(field)));
}

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
// The same line added to the end of `line` as bytes (see Lines).
using LineBytesOf = std::function<void(records::RecordView, QByteArray &line)>;
// Whether a record belongs in a list.
using Keep = std::function<bool(records::RecordView)>;

// The lines of the records `keep` lets through (every record when empty), in file order.
// Opens (creating it when missing) and closes the archive. A failure part way keeps the
// lines read so far in `lines` and throws ArchiveError.
// A big archive is read in two parts at once: `lineOf` and `keep` are called from two
// threads and must not change anything they share.
void collectLines(const QString &archivePath, const records::Layout &layout, const LineOf &lineOf,
                  const Keep &keep, QStringList &lines);
void collectLines(const QString &archivePath, const records::Layout &layout, const LineBytesOf &lineOf,
                  const Keep &keep, Lines &lines);
// The same in list order (Lines::sort); the lines kept by a failure part way are sorted
// too.
void collectSortedLines(const QString &archivePath, const records::Layout &layout, const LineBytesOf &lineOf,
                        const Keep &keep, Lines &lines);

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
    int findIn(const Lines &lines, int selected, const QString &typed); // the same over compact lines
    void forget() { m_remembered.clear(); }
    const QString &remembered() const { return m_remembered; }

private:
    // The stepping, over n lines of which hit() tells those that hold the folded text.
    int step(int n, int selected, const QString &wanted, const std::function<bool(int)> &hit);

    QString m_remembered;
};

} // namespace lists
