#pragma once
// How an archive is exported to a spreadsheet file, described as data: the file, the
// worksheet and its columns with the record fields behind each one. Each subsystem
// describes its own export; the writer knows none of them.

#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

namespace spreadsheet {

struct Column {
    QString heading;    // in the window's grid
    int gridWidth = 0;  // pixels
    QString caption;    // in the file's header row
    int width = 0;      // written in the file's header row
    QStringList fields; // record fields shown, joined with one blank

    Column() = default;
    Column(QString heading, int gridWidth, QString caption, int width, QStringList fields)
        : heading(std::move(heading)), gridWidth(gridWidth), caption(std::move(caption)), width(width),
          fields(std::move(fields))
    {
    }
    // A column of a table written in the code: its texts in UTF-8.
    Column(const char *heading, int gridWidth, const char *caption, int width, std::initializer_list<const char *> fields)
        : heading(QString::fromUtf8(heading)), gridWidth(gridWidth), caption(QString::fromUtf8(caption)), width(width)
    {
        for (const char *f : fields)
            this->fields.append(QString::fromUtf8(f));
    }
};

struct Sheet {
    QString fileName;  // in the program folder
    QString name;      // worksheet name
    QList<Column> columns;
};

} // namespace spreadsheet
