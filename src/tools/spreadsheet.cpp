#include "spreadsheet.h"

#include "storage/log.h"
#include "storage/recordfile.h"
#include "storage/safesave.h"
#include "storage/textcodec.h"

#include <QIODevice>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstring>

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

void Grid::append(Grid &&more)
{
    if (more.m_rows.isEmpty())
        return;
    if (m_rows.isEmpty()) {
        std::swap(*this, more);
        return;
    }
    m_rows.append(std::move(more.m_rows));
    m_ends.append(std::move(more.m_ends));
    m_filled = more.m_filled;
    more.clear();
}

// ---- Rows kept as stored bytes -----------------------------------------------------------

void ArchiveGrid::reserve(int rows, qsizetype bytes)
{
    m_rowStarts.reserve(m_rowStarts.size() + rows);
    m_sizes.reserve(m_sizes.size() + qsizetype(rows) * m_columns);
    if (m_blocks.isEmpty())
        m_blocks.append(QByteArray());
    m_blocks.last().reserve(m_blocks.last().size() + bytes);
}

void ArchiveGrid::clear()
{
    m_blocks.clear();
    m_rowStarts.clear();
    m_sizes.clear();
    m_set.clear();
    m_filled = 0;
}

void ArchiveGrid::appendRow()
{
    if (m_blocks.isEmpty())
        m_blocks.append(QByteArray());
    m_rowStarts.append(quint64(m_blocks.size() - 1) << kBlockShift | quint64(m_blocks.last().size()));
    m_sizes.resize(m_sizes.size() + m_columns, 0);
    m_filled = 0;
}

void ArchiveGrid::appendCell(QByteArrayView bytes)
{
    if (!m_rowStarts.isEmpty())
        appendCells({&bytes, 1});
}

void ArchiveGrid::appendRow(std::span<const QByteArrayView> cells)
{
    appendRow();
    appendCells(cells);
}

void ArchiveGrid::appendCells(std::span<const QByteArrayView> cells)
{
    // The bytes of the cells in one go, for the hundred thousand rows of a big archive.
    const qsizetype n = std::min<qsizetype>(qsizetype(cells.size()), m_columns - m_filled);
    qsizetype bytes = 0;
    for (qsizetype c = 0; c < n; ++c)
        if (cells[c].size() <= kLongest)
            bytes += cells[c].size();
    QByteArray &block = m_blocks.last();
    qsizetype end = block.size();
    block.resize(end + bytes);
    char *to = block.data();
    const qint64 first = qint64(m_rowStarts.size() - 1) * m_columns + m_filled;
    quint16 *sizes = m_sizes.data() + first;
    for (qsizetype c = 0; c < n; ++c) {
        const QByteArrayView cell = cells[c];
        if (cell.size() > kLongest) {
            m_set.insert(first + c, text::fromCp1252(cell.data(), cell.size()));
            continue;
        }
        if (!cell.isEmpty())
            std::memcpy(to + end, cell.data(), size_t(cell.size()));
        end += cell.size();
        sizes[c] = quint16(cell.size());
    }
    m_filled += int(n);
}

void ArchiveGrid::append(ArchiveGrid &&more)
{
    if (more.m_rowStarts.isEmpty())
        return;
    if (m_rowStarts.isEmpty() && m_set.isEmpty()) {
        std::swap(*this, more);
        return;
    }
    const quint64 blocksBefore = quint64(m_blocks.size()) << kBlockShift;
    const qint64 cellsBefore = qint64(m_rowStarts.size()) * m_columns;
    m_blocks.append(std::move(more.m_blocks));
    m_rowStarts.reserve(m_rowStarts.size() + more.m_rowStarts.size());
    for (const quint64 start : std::as_const(more.m_rowStarts))
        m_rowStarts.append(start + blocksBefore);
    m_sizes.append(more.m_sizes);
    for (auto it = more.m_set.cbegin(); it != more.m_set.cend(); ++it)
        m_set.insert(it.key() + cellsBefore, it.value());
    m_filled = more.m_filled;
    more.clear();
}

QByteArrayView ArchiveGrid::stored(int row, int column) const
{
    const qsizetype base = qsizetype(row) * m_columns;
    const quint64 start = m_rowStarts[row];
    qsizetype at = qsizetype(start & ((quint64(1) << kBlockShift) - 1));
    for (int c = 0; c < column; ++c)
        at += m_sizes[base + c];
    return QByteArrayView(m_blocks[qsizetype(start >> kBlockShift)].constData() + at, m_sizes[base + column]);
}

QStringView ArchiveGrid::cell(int row, int column, QString &room) const
{
    if (row < 0 || row >= m_rowStarts.size() || column < 0 || column >= m_columns)
        return {};
    if (!m_set.isEmpty()) {
        const auto it = m_set.constFind(qint64(row) * m_columns + column);
        if (it != m_set.cend())
            return *it;
    }
    const QByteArrayView bytes = stored(row, column);
    room.resize(bytes.size());
    text::decodeCp1252(bytes, reinterpret_cast<char16_t *>(room.data()));
    return room;
}

QString ArchiveGrid::cell(int row, int column) const
{
    QString room;
    const QStringView text = cell(row, column, room);
    return text.data() == room.constData() ? room : text.toString();
}

void ArchiveGrid::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_rowStarts.size() || column < 0 || column >= m_columns)
        return;
    m_set.insert(qint64(row) * m_columns + column, text);
}

// ---- Filling from an archive -------------------------------------------------------------

namespace {

void addRow(Grid &grid, std::span<const QByteArrayView> cells, QVarLengthArray<char16_t, 1024> &room)
{
    grid.appendRow();
    for (const QByteArrayView bytes : cells) {
        room.resize(bytes.size());
        text::decodeCp1252(bytes, room.data());
        grid.appendCell(QStringView(room.constData(), room.size()));
    }
}

void addRow(ArchiveGrid &grid, std::span<const QByteArrayView> cells, QVarLengthArray<char16_t, 1024> &)
{
    grid.appendRow(cells);
}

// Room for the rows of a part: the bytes too, as many as the fields can hold, so that
// they never move while the rows come in.
void reserveRows(Grid &grid, int rows, qsizetype)
{
    grid.reserve(rows);
}

void reserveRows(ArchiveGrid &grid, int rows, qsizetype rowBytes)
{
    grid.reserve(rows, rows * rowBytes);
}

// Each record's cells as the bytes they decode from: the fields, the standard conversion
// giving their bytes trimmed (certificates: as stored), joined with one blank and
// trimmed. The code page has a character for each byte and a byte for each of its
// characters, and its characters of code 32 or less are the bytes of 32 or less, so the
// bytes decode to what joining and trimming the decoded texts gives.
template <class Rows>
bool fillRows(Rows &grid, const Sheet &sheet, const records::Layout &layout, const QString &archivePath)
{
    // Field indexes once; an unknown name reads as empty. The most bytes a row can take.
    QList<QList<int>> sources;
    qsizetype rowBytes = 0;
    for (const Column &c : sheet.columns) {
        QList<int> fields;
        for (const QString &name : c.fields) {
            fields.append(layout.indexOf(name));
            if (fields.last() >= 0)
                rowBytes += layout.fields().at(fields.last()).capacity + 1;
            rowBytes += 1;
        }
        sources.append(fields);
    }
    try {
        // Under the archive's read lock, held across both parts: a record another station
        // is writing never reaches the grid, nor the file written from it.
        RecordFile lock(archivePath, layout.size());
        lock.open();
        lock.lock(RecordFile::Lock::Read, true);
        const int count = lock.count();
        std::array<Rows, archive::kMaxScanParts> parts;
        for (int p = 0; p < archive::kMaxScanParts; ++p) {
            parts[p] = Rows(grid.columnCount());
            reserveRows(parts[p], count / archive::kMaxScanParts + 1, rowBytes);
        }
        // Per part: the cells of the record at hand, and the joined ones' bytes.
        std::array<QVarLengthArray<QByteArrayView, 64>, archive::kMaxScanParts> cells;
        std::array<QVarLengthArray<char, 4096>, archive::kMaxScanParts> joined;
        std::array<QVarLengthArray<char16_t, 1024>, archive::kMaxScanParts> rooms;
        const archive::PartErrors errors =
            archive::scanParts(archivePath, layout.size(), [&](int part, int, QByteArrayView bytes) {
                const records::RecordView record(layout, bytes.data());
                QVarLengthArray<QByteArrayView, 64> &row = cells[part];
                QVarLengthArray<char, 4096> &together = joined[part];
                row.clear();
                together.clear();
                // Joined cells go one after the other into `together`, which must not move
                // while the row is made: its room is that of every field.
                together.reserve(rowBytes);
                for (const QList<int> &fields : std::as_const(sources)) {
                    if (fields.size() == 1) {
                        row.append(fields[0] >= 0 ? text::trimBytes(record.stored(fields[0])) : QByteArrayView());
                        continue;
                    }
                    const qsizetype from = together.size();
                    for (qsizetype k = 0; k < fields.size(); ++k) {
                        if (k > 0)
                            together.append(' ');
                        if (fields[k] >= 0) {
                            const QByteArrayView stored = record.stored(fields[k]);
                            together.append(stored.data(), stored.size());
                        }
                    }
                    row.append(text::trimBytes(QByteArrayView(together.constData() + from, together.size() - from)));
                }
                addRow(parts[part], row, rooms[part]);
            });
        // The parts in file order, up to the first failure.
        for (int p = 0; p < archive::kMaxScanParts; ++p) {
            grid.append(std::move(parts[p]));
            if (errors[p])
                return false;
        }
        return true;
    } catch (const std::exception &e) {
        // The caller says so with its own message; the cause goes to the log.
        qCWarning(lcTirello) << "export grid not read whole:" << e.what();
        return false;
    }
}

} // namespace

bool fill(Grid &grid, const Sheet &sheet, const records::Layout &layout, const QString &archivePath)
{
    return fillRows(grid, sheet, layout, archivePath);
}

bool fill(ArchiveGrid &grid, const Sheet &sheet, const records::Layout &layout, const QString &archivePath)
{
    return fillRows(grid, sheet, layout, archivePath);
}

// ---- Models ------------------------------------------------------------------------------

SheetModel::SheetModel(const Sheet &sheet, QObject *parent) : QAbstractTableModel(parent), m_sheet(sheet) {}

int SheetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows();
}

int SheetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sheet.columns.size()) + 1;
}

QVariant SheetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::AccessibleTextRole))
        return {};
    if (index.column() == 0)
        return QString::number(index.row() + 1);
    return text(index.row(), index.column() - 1);
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > m_sheet.columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == 0 ? kNumberHeading : m_sheet.columns[section - 1].heading;
}

Qt::ItemFlags SheetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() > 0 && m_editable.contains(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool SheetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    setText(index.row(), index.column() - 1, value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

GridModel::GridModel(const Sheet &sheet, QObject *parent)
    : SheetModel(sheet, parent), m_grid(int(sheet.columns.size()))
{
}

void GridModel::setGrid(Grid grid)
{
    beginResetModel();
    m_grid = std::move(grid);
    endResetModel();
}

ArchiveGridModel::ArchiveGridModel(const Sheet &sheet, QObject *parent)
    : SheetModel(sheet, parent), m_grid(int(sheet.columns.size()))
{
}

void ArchiveGridModel::setGrid(ArchiveGrid grid)
{
    beginResetModel();
    m_grid = std::move(grid);
    endResetModel();
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

namespace {

QStringView cellOf(const Grid &grid, int row, int column, QString &)
{
    return grid.cell(row, column);
}

QStringView cellOf(const ArchiveGrid &grid, int row, int column, QString &room)
{
    return grid.cell(row, column, room);
}

template <class Rows>
bool writeRows(QIODevice &device, const Sheet &sheet, const Rows &grid)
{
    // Streamed through a bounded buffer: the grid is the only copy of the data.
    QByteArray buffer = head(sheet);
    buffer.reserve(kChunk + 4096);
    QString room; // a cell decoded, in the room of the last
    const int columns = int(sheet.columns.size());
    for (int r = 0; r < grid.rowCount(); ++r) {
        buffer += "<tr>";
        for (int c = 0; c < columns; ++c) {
            // Marked as text for both spreadsheet programs, so that "00100" stays 00100.
            buffer += "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">";
            appendEncoded(buffer, text::trimView(cellOf(grid, r, c, room)));
            buffer += "</td>";
        }
        buffer += "</tr>";
        if (buffer.size() >= kChunk && !flushTo(device, buffer))
            return false;
    }
    buffer += "</table></body></html>";
    return flushTo(device, buffer);
}

} // namespace

bool write(QIODevice &device, const Sheet &sheet, const Grid &grid)
{
    return writeRows(device, sheet, grid);
}

bool write(QIODevice &device, const Sheet &sheet, const ArchiveGrid &grid)
{
    return writeRows(device, sheet, grid);
}

bool save(const QString &path, const Sheet &sheet, const Grid &grid, QString *error)
{
    return safesave::save(path, [&](QIODevice &device) { return write(device, sheet, grid); }, error);
}

bool save(const QString &path, const Sheet &sheet, const ArchiveGrid &grid, QString *error)
{
    return safesave::save(path, [&](QIODevice &device) { return write(device, sheet, grid); }, error);
}

} // namespace spreadsheet
