#pragma once
// How an archive is exported to a spreadsheet file, described as data: the file, the
// worksheet and its columns with the record fields behind each one. Each subsystem
// describes its own export; the writer knows none of them.

#include <QList>
#include <QString>
#include <QStringList>

namespace spreadsheet {

struct Column {
    QString heading;    // in the window's grid
    int gridWidth = 0;  // pixels
    QString caption;    // in the file's header row
    int width = 0;      // written in the file's header row
    QStringList fields; // record fields shown, joined with one blank
};

struct Sheet {
    QString fileName;  // in the program folder
    QString name;      // worksheet name
    QList<Column> columns;
};

} // namespace spreadsheet
