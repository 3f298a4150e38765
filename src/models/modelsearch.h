#pragma once
// The model list of the search and import windows: one line per named model, the quick
// find over the lines, and finding the record behind a chosen line again.

#include "storage/records.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace models {

inline const QString kArchiveName = QStringLiteral("Parametri_Chimici.pro");
QString archivePath(); // in the program folder

inline constexpr int kNameWidth = 40;
inline const QString kSampleColumn = QStringLiteral("  Campione: ");

// Name trimmed and padded or cut to 40 characters, "  Campione: ", sample trimmed.
QString listLine(const QString &name, const QString &sample);
QString listLine(const records::Record &model);

// Lines of the models whose name is not blank, in file order. A failing archive gives
// the lines read up to the failure.
QStringList buildList(const QString &path);

struct Found {
    int position; // 1-based
    records::Record record;
};

// The last record in file order whose line, trimmed, equals the chosen line, trimmed.
// Throws ArchiveError.
std::optional<Found> recordOfLine(const QString &path, const QString &line);

// The quick find of the list windows. The last search text decides where a search starts:
// a new text tests from line 0 on, line 0 included; the same text again moves on from the
// selected line, testing it last.
class QuickFind {
public:
    // Returns the line to select: the matching line, else the selection as it was (line 0
    // when nothing was selected). -1 only for an empty list, which leaves the state alone.
    int find(const QStringList &lines, int selected, const QString &typed);
    const QString &lastSearch() const { return m_last; }

private:
    QString m_last;
};

} // namespace models
