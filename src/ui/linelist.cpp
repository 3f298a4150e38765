#include "linelist.h"

#include <QAbstractListModel>
#include <QFontMetrics>
#include <QItemSelectionModel>

// The rows over the compact lines, all of one size.
class LineListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void reset(lists::Lines lines, QSize rowSize)
    {
        beginResetModel();
        m_lines = std::move(lines);
        m_rowSize = rowSize;
        endResetModel();
    }
    const lists::Lines &lines() const { return m_lines; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_lines.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_lines.size())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return m_lines.text(index.row());
        case Qt::SizeHintRole:
            return m_rowSize;
        default:
            return {};
        }
    }

private:
    lists::Lines m_lines;
    QSize m_rowSize;
};

LineList::LineList(QWidget *parent) : QListView(parent), m_model(new LineListModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row alike: the view lays out and scrolls a long list without asking each row.
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void LineList::setLines(lists::Lines lines, int minimumWidth)
{
    // Monospaced lines: the widest is its length times one character.
    const QFontMetrics fm(font());
    const QSize rowSize(std::max<int>(minimumWidth, int(lines.longest() + 2) * fm.horizontalAdvance(QLatin1Char('M'))),
                        fm.height() + 2);
    m_model->reset(std::move(lines), rowSize);
}

const lists::Lines &LineList::lines() const
{
    return m_model->lines();
}

void LineList::clear()
{
    m_model->reset({}, {});
}

int LineList::count() const
{
    return m_model->rowCount();
}

QString LineList::line(int row) const
{
    return row >= 0 && row < count() ? lines().text(row) : QString();
}

int LineList::selectedRow() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void LineList::setCurrentRow(int row)
{
    selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::ClearAndSelect);
}
