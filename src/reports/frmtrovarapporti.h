#pragma once
// " Trova rapporti di prova in archivio": ten filters over the open yearly archive, and
// the choice of only the reports with results out of their limits, then the list of the
// reports found. Opened by the test report card (tag "rapporti"), which
// gets the double-clicked report back with its position.

#include "reportsearch.h"

#include "ui/listwindow.h"

#include <functional>

class QCheckBox;
class QWidget;

namespace reports {

// What a report card does with a report chosen in a list: show it, with its 1-based
// position in the archive.
using ShowReport = std::function<void(const records::Record &, int)>;

inline const QString kTagReports = QStringLiteral("rapporti");

// The card's Trova: the search over the yearly archive at archivePath, tag "rapporti";
// the chosen report goes to show(record, 1-based position).
void openSearch(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show);

} // namespace reports

class TfrmTrovaRapporti : public ListWindow {
    Q_OBJECT
public:
    static inline const QString kListTitle = QStringLiteral("Riepilogo rapporti di prova");

    static inline const QString kOutOfLimitHint = QStringLiteral(
        "Elenca soltanto i rapporti di prova con almeno un risultato fuori dal limite indicato.");

    // The chosen report reaches show only while lblMemory holds "rapporti".
    TfrmTrovaRapporti(QWidget *owner, const QString &archivePath, reports::ShowReport show);

    // Under the filters: only the reports with a result out of its limit, together with
    // the filters in use.
    QCheckBox *chkFuoriLimite = nullptr;
};
