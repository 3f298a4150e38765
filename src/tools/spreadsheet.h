#pragma once
// Archive export to a spreadsheet file: an HTML table in the spreadsheet dialect, written
// as one line of Windows-1252 text with the extension ".xls".
//
// An export is described as a Sheet by its subsystem; the export windows read the
// archive into an ArchiveGrid, show it through an ArchiveGridModel and write it with
// save(). A Grid holds cells given as text.

#include "storage/exportsheet.h"
#include "storage/records.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>

class QIODevice;

namespace spreadsheet {

// Rows of cell texts, one text per exported column. Each row keeps its cells in one
// string, so a big archive costs two allocations per row rather than one per cell.
class Grid {
public:
    explicit Grid(int columns = 0) : m_columns(columns) {}

    int columnCount() const { return m_columns; }
    int rowCount() const { return int(m_rows.size()); }
    void reserve(int rows);
    void clear();

    // Starts an empty row; appendCell() then fills its cells from the left. Cells never
    // given stay empty.
    void appendRow();
    void appendCell(QStringView text);
    void appendRow(const QStringList &cells);

    QStringView cell(int row, int column) const; // empty outside the grid
    void setCell(int row, int column, const QString &text);

    // The rows of `more` after these (both of as many columns).
    void append(Grid &&more);

private:
    int m_columns;
    QList<QString> m_rows;
    QList<quint32> m_ends;   // where each cell ends in its row's string, row by row
    int m_filled = 0;        // cells given to the last row
};

// The rows of an archive as an export shows them, each cell kept as the stored bytes it
// decodes from (one byte a character) and decoded only when it is asked for: a fraction
// of the memory of the texts, and nothing decoded before the grid is on screen. A cell
// set afterwards (an edit in the grid) is kept as its text.
class ArchiveGrid {
public:
    explicit ArchiveGrid(int columns = 0) : m_columns(columns) {}

    int columnCount() const { return m_columns; }
    int rowCount() const { return int(m_rowStarts.size()); }
    // Room for rows more rows of up to bytes bytes in all. Room never filled costs
    // address space only: the memory is taken as the bytes come.
    void reserve(int rows, qsizetype bytes = 0);
    void clear();

    // Starts an empty row; appendCell() then fills its cells from the left, each with the
    // bytes of its text. Cells never given stay empty.
    void appendRow();
    void appendCell(QByteArrayView bytes);
    // A whole row at once, its cells from the left (as many as there are columns).
    void appendRow(std::span<const QByteArrayView> cells);
    // The rows of `more` after these (both of as many columns).
    void append(ArchiveGrid &&more);

    QString cell(int row, int column) const; // empty outside the grid
    // The same decoded into `room` (or the text it was set to): no string of its own.
    QStringView cell(int row, int column, QString &room) const;
    void setCell(int row, int column, const QString &text);

private:
    QByteArrayView stored(int row, int column) const;
    // The cells of the last row from its first one not given on, as many as it has room
    // for.
    void appendCells(std::span<const QByteArrayView> cells);

    // A cell's bytes are counted in a quint16; a longer one is kept as a set text.
    static constexpr qsizetype kLongest = 0xFFFF;

    // Where a row's bytes begin: the block in the top bits, the place in it below.
    static constexpr int kBlockShift = 48;

    int m_columns;
    // Every cell's bytes, row after row, in blocks: new rows go into the last one, and the
    // rows of another grid joined to these bring their block along.
    QList<QByteArray> m_blocks;
    QList<quint64> m_rowStarts;
    QList<quint16> m_sizes;        // each cell's bytes, row by row
    QHash<qint64, QString> m_set;  // texts given with setCell, by row * columns + column
    int m_filled = 0;              // cells given to the last row
};

// Reads the archive in file order into a grid, one row per record, each cell the
// column's fields (standard conversion) joined with one blank and trimmed. The archive
// is created when missing. A failure keeps the rows read so far; returns false then.
// A big archive is read in two parts at once.
bool fill(Grid &grid, const Sheet &sheet, const records::Layout &layout, const QString &archivePath);
bool fill(ArchiveGrid &grid, const Sheet &sheet, const records::Layout &layout, const QString &archivePath);

// An export's rows in a view: column 0 "N." holds the row number, the sheet's columns
// follow. Cells are read-only unless their grid column was made editable. The rows are
// a Grid (GridModel) or an ArchiveGrid (ArchiveGridModel).
class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    const Sheet &sheet() const { return m_sheet; }
    void setEditable(const QSet<int> &gridColumns) { m_editable = gridColumns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    static inline const QString kNumberHeading = QStringLiteral("N.");
    static constexpr int kNumberWidth = 60;

protected:
    SheetModel(const Sheet &sheet, QObject *parent);
    // The rows; column is a column of the sheet.
    virtual int rows() const = 0;
    virtual QString text(int row, int column) const = 0;
    virtual void setText(int row, int column, const QString &text) = 0;

private:
    Sheet m_sheet;
    QSet<int> m_editable;
};

class GridModel : public SheetModel {
    Q_OBJECT
public:
    explicit GridModel(const Sheet &sheet, QObject *parent = nullptr);

    const Grid &grid() const { return m_grid; }
    void setGrid(Grid grid);

protected:
    int rows() const override { return m_grid.rowCount(); }
    QString text(int row, int column) const override { return m_grid.cell(row, column).toString(); }
    void setText(int row, int column, const QString &text) override { m_grid.setCell(row, column, text); }

private:
    Grid m_grid;
};

class ArchiveGridModel : public SheetModel {
    Q_OBJECT
public:
    explicit ArchiveGridModel(const Sheet &sheet, QObject *parent = nullptr);

    const ArchiveGrid &grid() const { return m_grid; }
    void setGrid(ArchiveGrid grid);

protected:
    int rows() const override { return m_grid.rowCount(); }
    QString text(int row, int column) const override { return m_grid.cell(row, column); }
    void setText(int row, int column, const QString &text) override { m_grid.setCell(row, column, text); }

private:
    ArchiveGrid m_grid;
};

// A cell's text as it goes into the file: Windows-1252, with "&", "<" and ">" written as
// entities and characters outside the code page as numeric references.
QByteArray encodeCell(QStringView text);

// The whole document onto an open device. False when a write fails.
bool write(QIODevice &device, const Sheet &sheet, const Grid &grid);
bool write(QIODevice &device, const Sheet &sheet, const ArchiveGrid &grid);

// Replaces the file at path with the document. The old file stays as it was unless the
// new one was written completely.
// False when the file could not be written, with the cause in *error when given.
bool save(const QString &path, const Sheet &sheet, const Grid &grid, QString *error = nullptr);
bool save(const QString &path, const Sheet &sheet, const ArchiveGrid &grid, QString *error = nullptr);

} // namespace spreadsheet
