#pragma once
// The model list of the search and import windows: one line per named model, and the
// fields an import copies into a test report.

#include "storage/lists.h"
#include "storage/programfiles.h"
#include "storage/records.h"

#include <QString>
#include <QStringList>

namespace models {

inline const QString kArchiveName = programfiles::kModels;
QString archivePath(); // in the program folder

inline constexpr int kNameWidth = 40;
inline constexpr char kSampleColumn[] = "  Campione: ";

// Name trimmed and padded or cut to 40 characters, "  Campione: ", sample trimmed.
QString listLine(const QString &name, const QString &sample);
QString listLine(records::RecordView model);
// The same line added to `line` as bytes (see lists::Lines).
void appendLine(QByteArray &line, records::RecordView model);
// The same, for lists::lastRecordOfLine.
lists::LineOf lineOf();

// Lines of the models whose name is not blank, in file order. A failing archive gives
// the lines read up to the failure.
lists::Lines modelList(const QString &path);
QStringList buildList(const QString &path); // as strings

// The fields an import writes into a test report, in record order: every text field of
// the model (the attachments stay with the model).
QStringList importedFields();

} // namespace models
