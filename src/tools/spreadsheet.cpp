#include "spreadsheet.h"

#include "storage/recordfile.h"
#include "storage/safesave.h"
#include "storage/textcodec.h"

#include <QIODevice>
#include <QVarLengthArray>

#include <algorithm>

namespace spreadsheet {

// ---- Grid ------------------------------------------------------------------------------

void Grid::reserve(int rows)
{
    m_rows.reserve(rows);
    m_ends.reserve(qsizetype(rows) * m_columns);
}

void Grid::clear()
{
    m_rows.clear();
    m_ends.clear();
    m_filled = 0;
}

void Grid::appendRow()
{
    // Rows of one archive are alike: start a row with the room the last one took, and
    // give back what the last one did not use.
    qsizetype room = 64;
    if (!m_rows.isEmpty()) {
        QString &last = m_rows.last();
        if (last.capacity() > last.size() + 256)
            last.squeeze();
        room = last.size() + 64;
    }
    m_rows.append(QString());
    m_rows.last().reserve(room);
    m_ends.resize(m_ends.size() + m_columns, 0);
    m_filled = 0;
}

void Grid::appendCell(QStringView text)
{
    if (m_rows.isEmpty() || m_filled >= m_columns)
        return;
    QString &row = m_rows.last();
    row.append(text);
    const auto base = m_ends.begin() + (m_rows.size() - 1) * m_columns;
    std::fill(base + m_filled, base + m_columns, quint32(row.size()));
    ++m_filled;
}

void Grid::appendRow(const QStringList &cells)
{
    appendRow();
    for (const QString &c : cells)
        appendCell(c);
}

QStringView Grid::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns)
        return {};
    const qsizetype base = qsizetype(row) * m_columns;
    const quint32 begin = column == 0 ? 0 : m_ends[base + column - 1];
    return QStringView(m_rows[row]).mid(begin, m_ends[base + column] - begin);
}

void Grid::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns)
        return;
    const qsizetype base = qsizetype(row) * m_columns;
    const quint32 begin = column == 0 ? 0 : m_ends[base + column - 1];
    const quint32 end = m_ends[base + column];
    m_rows[row].replace(begin, end - begin, text);
    const qint64 delta = qint64(text.size()) - qint64(end - begin);
    for (int c = column; c < m_columns; ++c)
        m_ends[base + c] = quint32(qint64(m_ends[base + c]) + delta);
}

// ---- Filling from an archive -------------------------------------------------------------

bool fill(Grid &grid, const Sheet &sheet, const records::Layout &layout, const QString &archivePath)
{
    // Field indexes once; an unknown name reads as empty.
    QList<QList<int>> sources;
    for (const Column &c : sheet.columns) {
        QList<int> fields;
        for (const QString &name : c.fields)
            fields.append(layout.indexOf(name));
        sources.append(fields);
    }
    try {
        grid.reserve(grid.rowCount() + archive::count(archivePath, layout.size()));
        QVarLengthArray<char16_t, 1024> joined; // one cell at a time, in the room of the last
        // Under the read lock: a record another station is writing never reaches the file.
        archive::scan(archivePath, layout.size(), [&](int, QByteArrayView bytes) {
            const records::RecordView record(layout, bytes.data());
            grid.appendRow();
            for (const QList<int> &fields : std::as_const(sources)) {
                joined.clear();
                for (int k = 0; k < fields.size(); ++k) {
                    if (k > 0)
                        joined.append(u' ');
                    if (fields[k] >= 0)
                        record.appendText(fields[k], joined);
                }
                grid.appendCell(text::trimView(QStringView(joined.constData(), joined.size())));
            }
        }, archive::ScanLock::Held);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

// ---- Model -------------------------------------------------------------------------------

GridModel::GridModel(const Sheet &sheet, QObject *parent)
    : QAbstractTableModel(parent), m_sheet(sheet), m_grid(int(sheet.columns.size()))
{
}

void GridModel::setGrid(Grid grid)
{
    beginResetModel();
    m_grid = std::move(grid);
    endResetModel();
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.rowCount();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sheet.columns.size()) + 1;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole))
        return {};
    if (index.column() == 0)
        return QString::number(index.row() + 1);
    return m_grid.cell(index.row(), index.column() - 1).toString();
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > m_sheet.columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == 0 ? kNumberHeading : m_sheet.columns[section - 1].heading;
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() > 0 && m_editable.contains(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_grid.setCell(index.row(), index.column() - 1, value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

// ---- Writing -----------------------------------------------------------------------------

namespace {

char *putReference(char *d, char32_t code)
{
    *d++ = '&';
    *d++ = '#';
    char digits[10];
    int n = 0;
    do {
        digits[n++] = char('0' + code % 10);
        code /= 10;
    } while (code);
    while (n)
        *d++ = digits[--n];
    *d++ = ';';
    return d;
}

char *put(char *d, const char *s)
{
    while (*s)
        *d++ = *s++;
    return d;
}

void appendEncoded(QByteArray &out, QStringView text)
{
    // Room for the worst case (a reference is at most 8 bytes per UTF-16 unit), written
    // through a pointer, then cut back to what was used.
    const qsizetype n = text.size();
    const qsizetype start = out.size();
    out.resize(start + 8 * n);
    char *const begin = out.data();
    char *d = begin + start;
    const char16_t *s = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            switch (c) {
            case u'&': d = put(d, "&amp;"); break;
            case u'<': d = put(d, "&lt;"); break;
            case u'>': d = put(d, "&gt;"); break;
            default: *d++ = char(c); break;
            }
        } else if (c >= 0xA0 && c <= 0xFF) {
            *d++ = char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            d = putReference(d, QChar::surrogateToUcs4(c, s[i + 1]));
            ++i;
        } else {
            // The code page's own letters (euro sign, typographic quotes, ...) stay bytes;
            // anything it cannot hold goes in as a reference instead of a question mark.
            const QByteArray b = text::toCp1252(QString(QChar(c)));
            if (b.size() == 1 && b[0] != text::kReplacement)
                *d++ = b[0];
            else if (QChar::isSurrogate(c))
                *d++ = text::kReplacement; // half a pair: nothing to refer to
            else
                d = putReference(d, c);
        }
    }
    out.resize(d - begin);
}

QByteArray head(const Sheet &sheet)
{
    QByteArray out;
    out += "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
           "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
           "xmlns=\"http://www.w3.org/TR/REC-html40\">";
    out += "<head>";
    out += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";
    out += "<!--[if gte mso 9]><xml>";
    out += "<x:ExcelWorkbook>";
    out += "<x:ExcelWorksheets>";
    out += "<x:ExcelWorksheet>";
    out += "<x:Name>";
    appendEncoded(out, sheet.name);
    out += "</x:Name>";
    out += "<x:WorksheetOptions>";
    out += "<x:Selected/>";
    out += "<x:Panes>";
    out += "<x:Pane>";
    out += "<x:Number>1</x:Number>";
    out += "<x:ActiveRow>3</x:ActiveRow>";
    out += "</x:Pane>";
    out += "</x:Panes>";
    out += "<x:ProtectContents>False</x:ProtectContents>";
    out += "<x:ProtectObjects>False</x:ProtectObjects>";
    out += "<x:ProtectScenarios>False</x:ProtectScenarios>";
    out += "</x:WorksheetOptions>";
    out += "</x:ExcelWorksheet>";
    out += "</x:ExcelWorksheets>";
    out += "</x:ExcelWorkbook>";
    out += "</xml><![endif]-->";
    out += "</head>";
    out += "<body>";
    out += "<table x:str>";
    out += "<tr>";
    for (const Column &c : sheet.columns) {
        out += "<td style=\"text-align: left; font-weight: bold;\" width=";
        out += QByteArray::number(c.width);
        out += '>';
        appendEncoded(out, c.caption);
        out += "</td>";
    }
    out += "</tr>";
    return out;
}

constexpr qsizetype kChunk = 256 * 1024;

bool flushTo(QIODevice &device, QByteArray &buffer)
{
    const bool ok = device.write(buffer) == buffer.size();
    buffer.clear();
    return ok;
}

} // namespace

QByteArray encodeCell(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    appendEncoded(out, text);
    return out;
}

bool write(QIODevice &device, const Sheet &sheet, const Grid &grid)
{
    // Streamed through a bounded buffer: the grid is the only copy of the data.
    QByteArray buffer = head(sheet);
    buffer.reserve(kChunk + 4096);
    const int columns = int(sheet.columns.size());
    for (int r = 0; r < grid.rowCount(); ++r) {
        buffer += "<tr>";
        for (int c = 0; c < columns; ++c) {
            // Marked as text for both spreadsheet programs, so that "00100" stays 00100.
            buffer += "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">";
            appendEncoded(buffer, text::trimView(grid.cell(r, c)));
            buffer += "</td>";
        }
        buffer += "</tr>";
        if (buffer.size() >= kChunk && !flushTo(device, buffer))
            return false;
    }
    buffer += "</table></body></html>";
    return flushTo(device, buffer);
}

bool save(const QString &path, const Sheet &sheet, const Grid &grid)
{
    return safesave::save(path, [&](QIODevice &device) { return write(device, sheet, grid); });
}

} // namespace spreadsheet
