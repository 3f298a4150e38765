#pragma once
// Archive export to a spreadsheet file: an HTML table in the spreadsheet dialect, written
// as one line of Windows-1252 text with the extension ".xls".
//
// An export is described as a Sheet by its subsystem; the export windows show a Grid
// through a GridModel and write it with save().

#include "storage/exportsheet.h"
#include "storage/records.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

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

private:
    int m_columns;
    QList<QString> m_rows;
    QList<quint32> m_ends;   // where each cell ends in its row's string, row by row
    int m_filled = 0;        // cells given to the last row
};

// Reads the archive in file order into a grid, one row per record, each cell the
// column's fields (standard conversion) joined with one blank and trimmed. The archive
// is created when missing. A failure keeps the rows read so far; returns false then.
bool fill(Grid &grid, const Sheet &sheet, const records::Layout &layout, const QString &archivePath);

// The grid in a view: column 0 "N." holds the row number, the sheet's columns follow.
// Cells are read-only unless their grid column was made editable.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(const Sheet &sheet, QObject *parent = nullptr);

    const Sheet &sheet() const { return m_sheet; }
    const Grid &grid() const { return m_grid; }
    void setGrid(Grid grid);
    void setEditable(const QSet<int> &gridColumns) { m_editable = gridColumns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    static inline const QString kNumberHeading = QStringLiteral("N.");
    static constexpr int kNumberWidth = 60;

private:
    Sheet m_sheet;
    Grid m_grid;
    QSet<int> m_editable;
};

// A cell's text as it goes into the file: Windows-1252, with "&", "<" and ">" written as
// entities and characters outside the code page as numeric references.
QByteArray encodeCell(QStringView text);

// The whole document onto an open device. False when a write fails.
bool write(QIODevice &device, const Sheet &sheet, const Grid &grid);

// Replaces the file at path with the document. The old file stays as it was unless the
// new one was written completely.
bool save(const QString &path, const Sheet &sheet, const Grid &grid);

} // namespace spreadsheet
