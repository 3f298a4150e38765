#pragma once
// The printed test report ("Rapporto di prova"): the texts of its template objects,
// built from the report card's field values as they stand, saved or not.

#include "storage/values.h"

namespace reports {

inline const QString kSheetTemplate = QStringLiteral("rapporto_prova");

// Every text object of the page that takes a card value: the laboratory lines, the
// number and date, the client lines, the sample and its history, the thirty result rows
// and the remarks. Each card value is trimmed; captions and separators are printed even
// when the value after them is empty. The head of the laboratory is not printed.
records::Values sheetTexts(const records::Values &card);

// With the printing option on, a result out of its limit prints in bold followed by the
// mark, and the note explains the mark once on the page.
inline const QString kOutOfLimitMark = QStringLiteral(" (*)");
inline const QString kOutOfLimitNote = QStringLiteral(
    "(*) Risultato non conforme al limite indicato. Regola decisionale: accettazione semplice, senza considerare "
    "l'incertezza di misura.");
inline const QString kOutOfLimitNoteObject = QStringLiteral("txtNotaFuoriLimite");

// What the test report and the certificate print alike, from the card of either: the
// laboratory lines, the issue date, the analysis, the client lines, the sample and its
// history. Values trimmed, captions and separators kept when the value is empty.
records::Values documentHead(const records::Values &card);

} // namespace reports
