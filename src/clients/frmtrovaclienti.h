#pragma once
// " Trova clienti in archivio": ten filters, then the list of the clients found. The
// chosen client opens in the client card (tag "clienti") or is copied into the test
// report or certificate card that opened the search (tags "rapporti", "certificati").

#include "clientsearch.h"

#include "storage/values.h"
#include "ui/listwindow.h"

class TfrmClienti;

class TfrmTrovaClienti : public ListWindow {
    Q_OBJECT
public:
    static inline const QString kListTitle = QStringLiteral("Riepilogo clienti");
    static inline const QString kTagClients = QStringLiteral("clienti");
    static inline const QString kTagReports = QStringLiteral("rapporti");
    static inline const QString kTagCertificates = QStringLiteral("certificati");

    // card takes the client for the tag "clienti", document for "rapporti" and
    // "certificati"; either may be null when the caller is the other kind.
    TfrmTrovaClienti(QWidget *owner, TfrmClienti *card, records::FieldTarget *document = nullptr);
};

namespace clients {

// Each creates a fresh modal window, runs it and destroys it.
void openSearch(TfrmClienti *card); // tag "clienti"
// "rapporti", "certificati": the chosen client's kDocumentClientFields go into document.
void openSearch(QWidget *owner, records::FieldTarget *document, const QString &callerTag);

} // namespace clients
