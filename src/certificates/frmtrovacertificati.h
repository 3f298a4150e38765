#pragma once
// " Trova certificati di analisi in archivio": ten filters over the open yearly archive,
// then the list of the certificates found. Opened by the certificate card (tag
// "certificati"), which gets the double-clicked certificate back with its position.

#include "certsearch.h"

#include "ui/listwindow.h"

#include <functional>

class QWidget;

namespace certificates {

// What a certificate card does with a certificate chosen in a list: show it, with its
// 1-based position in the archive.
using ShowCertificate = std::function<void(const records::Record &, int)>;

inline const QString kTagCertificates = QStringLiteral("certificati");

// The double-click advice of the certificate lists: crimson, centred.
void adviseInCrimson(ListWindow &window);

// The card's Trova: the search over the yearly archive at archivePath, tag
// "certificati"; the chosen certificate goes to show(record, 1-based position).
void openSearch(QWidget *owner, const QString &archivePath, std::function<void(const records::Record &, int)> show);

} // namespace certificates

class TfrmTrovaCertificati : public ListWindow {
    Q_OBJECT
public:
    static inline const QString kListTitle = QStringLiteral("Riepilogo certificati di analisi chimica");

    // The chosen certificate reaches show only while lblMemory holds "certificati".
    TfrmTrovaCertificati(QWidget *owner, const QString &archivePath, certificates::ShowCertificate show);
};
