#pragma once
// "Salva PDF" in the print window of a test report or certificate: the document as it
// prints, issued as an archival PDF into "Documenti_Emessi" (see storage/issued.h), then,
// if the user wants, handed to the mail program addressed to the client.

#include "storage/settings.h"
#include "ui/printwindow.h"

class CardWindow;

namespace issuing {

// A document is issued only as it is stored: with its number, saved, unchanged since.
QString noNumberWarning(settings::DocumentKind kind);
QString saveFirstWarning(settings::DocumentKind kind);
inline const QString kFailed = QStringLiteral(
    "Attenzione: non \u00e8 stato possibile salvare il documento in PDF.\r\n\r\n"
    "Accertarsi di possedere i privilegi di scrittura nella cartella Documenti_Emessi del programma e che il "
    "disco non sia pieno.");
// Where the file is, and whether to send it by e-mail.
QString doneQuestion(settings::DocumentKind kind, const QString &number, const QString &path, int revision);
QString mailFailedWarning(const QString &path);

// Issues the document printed from the card (Output::Print), with the card's number,
// client and laboratory; the messages go over window. The card must show its stored
// record unchanged (CardWindow::showsStoredRecord). A failure leaves no file and no
// register line.
void issue(CardWindow *card, settings::DocumentKind kind, QWidget *window, const printing::Document &document);

// The print window's Issue for the card.
PrintWindow::Issue issuer(CardWindow *card, settings::DocumentKind kind);

} // namespace issuing
