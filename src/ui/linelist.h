#pragma once
// The list of a list window: its fixed-width lines one to a row in the window's
// monospaced font. The lines stay in their compact form (lists::Lines) and the view
// decodes only the rows it draws or is asked about (also by assistive tools, which read
// each row's text as its name), so a list of a hundred thousand lines is on screen as
// soon as one of ten.

#include "storage/lists.h"

#include <QListView>

class LineListModel;

class LineList : public QListView {
    Q_OBJECT
public:
    explicit LineList(QWidget *parent = nullptr);

    // Rows as wide as the longest line, and at least minimumWidth pixels, so that long
    // lines scroll sideways.
    void setLines(lists::Lines lines, int minimumWidth);
    const lists::Lines &lines() const;
    void clear();

    int count() const;
    QString line(int row) const;
    // -1 when no row is selected.
    int selectedRow() const;
    // Makes the row the current and only selected one.
    void setCurrentRow(int row);

private:
    LineListModel *m_model;
};
