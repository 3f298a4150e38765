#pragma once
// The client search and the list of clients to recontact. Both show clients one per
// fixed-width line, find a line by a few words, print the list and hand a double-clicked
// client to the window that opened them.

#include "clientsearch.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSvgWidget;
class TfrmClienti;

// A document card (test report, certificate) that takes a client chosen in the search.
class ClientTarget {
public:
    virtual ~ClientTarget() = default;
    virtual void takeClient(const records::Record &client) = 0;
};

namespace clients {
// What a document card takes of a client: the seven fields of kDocumentClientFields,
// trimmed, into the card's edits of the same names. Nothing else of the card changes.
void fillDocumentClient(QWidget *card, const records::Record &client);

enum class BannerIcon { Search, Recontact };
} // namespace clients

// The list part shared by the two windows: quick find, the sorted list, print, close.
class ClientListWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kEmptyList =
        QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce.");

    QLineEdit *txtTrova = nullptr;
    QPushButton *btnTrova = nullptr;
    QListWidget *lstRecords = nullptr;
    QLabel *lblRigo03 = nullptr;
    QPushButton *btnStampa = nullptr;
    QPushButton *btnChiudi = nullptr;

    QStringList lines() const;
    int selectedLine() const; // -1 when no line is selected

    void btnTrovaClick();
    void btnStampaClick();
    // Finds the record of the selected line, hands it over and closes the window.
    void lstRecordsDblClick();

protected:
    ClientListWindow(QWidget *owner, const QString &objectName, const QString &title, const QSize &size,
                     const QString &printTitle, clients::LastColumn last);

    // The banner across the top of a panel: a picture and the title words.
    QSvgWidget *addBanner(QWidget *panel, const QString &name, const QString &title, clients::BannerIcon icon);
    // Builds the list controls on `panel`, from `top` down to the bottom of the panel.
    void buildList(QWidget *panel, int top, const QString &doubleClickText);
    void setLines(const QStringList &lines);
    // Gives the chosen client to the window's caller.
    virtual void take(const clients::Chosen &chosen) = 0;

    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    clients::QuickFind m_find;

private:
    QString m_printTitle;
    clients::LastColumn m_last;
};

// " Trova clienti in archivio": ten filters, then the list of the clients found.
class TfrmTrovaClienti : public ClientListWindow {
    Q_OBJECT
public:
    static inline const QString kListTitle = QStringLiteral("Riepilogo clienti");
    static inline const QString kTagClients = QStringLiteral("clienti");
    static inline const QString kTagReports = QStringLiteral("rapporti");
    static inline const QString kTagCertificates = QStringLiteral("certificati");

    // card takes the client for the tag "clienti", document for "rapporti" and
    // "certificati"; either may be null when the caller is the other kind.
    TfrmTrovaClienti(QWidget *owner, TfrmClienti *card, ClientTarget *document = nullptr);

    // Filter panel.
    QWidget *panAvvio;
    QSvgWidget *imgSpiegazione; // how the search goes, in pictures
    QLineEdit *txtCliente, *txtComuneRes, *txtPartitaIva, *txtCodFisc, *txtDocumento, *txtOccupazione,
        *txtProdotti, *txtZona, *txtQuestioni, *txtNote;
    QPushButton *btnCerca;
    QPushButton *btnAnnulla;
    QLabel *lblConta;
    QLabel *lblMemory;
    QLabel *lblAttendere;

    // Result panel.
    QWidget *panContainer;
    QLabel *lblTrovate;

    QLineEdit *filter(const QString &field) const;
    void btnCercaClick();

protected:
    void take(const clients::Chosen &chosen) override;
    void showEvent(QShowEvent *event) override;

private:
    TfrmClienti *m_card;
    ClientTarget *m_document;
};

namespace clients {

// Each creates a fresh modal window, runs it and destroys it.
void openSearch(TfrmClienti *card);                                               // tag "clienti"
void openSearch(QWidget *owner, ClientTarget *document, const QString &callerTag); // "rapporti", "certificati"

} // namespace clients
