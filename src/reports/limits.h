#pragma once
// A result judged against its limit. Both texts are read as intervals of numbers when
// they can be; anything else is text and is never judged. The decision is simple
// acceptance: a result written with its uncertainty ("12 ± 2") is judged on its value
// alone. The card's colours, the search's filter and the printed mark all ask this one
// rule. No windows here.
//
// Numbers: an optional sign, digits with a decimal comma or point, an optional exponent
// ("0,5", "0.5", "1,2E-3"); when a comma and points both appear the points group the
// thousands ("1.250,5"), and so do several points alone ("1.250.000"). A single point
// followed by exactly three digits ("1.000") reads both ways, one thousand or one: the
// verdict stands when both readings give it, otherwise the result is not decidable.
// Blanks around are ignored; a unit or words after a number make the text unreadable.
//
// Limits (letters in any case): "x", "<= x", "≤ x", "=< x", "max x", "max. x",
// "fino a x" (at most x); "< x" (below x); ">= x", "≥ x", "=> x", "min x", "min. x",
// "almeno x" (at least x); "> x" (above x); "a - b", "a – b", "a — b", "a ÷ b",
// "da a a b" (from a to b, both included; a not above b).
// Results: "x", "x ± u" (also "x +/- u"); "< x", "inferiore a x" (somewhere below x);
// "> x", "superiore a x" (somewhere above x).

#include "storage/records.h"
#include "storage/values.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace limits {

enum class Verdict {
    NotJudged,   // the result or the limit is empty or text
    Conforming,  // "conforme": the result lies wholly inside the limit
    OutOfLimit,  // "fuori limite": wholly outside
    Undecidable, // "non valutabile": partly inside, partly outside
};

struct Judgement {
    Verdict verdict = Verdict::NotJudged;
    // Why, in a sentence for the user, for a result out of its limit or not decidable
    // ("Risultato fuori limite: 162 supera il limite 150."); empty otherwise.
    QString reason;
};

// The verdict alone, without building any text.
Verdict verdict(QStringView result, QStringView limit);
// The same on the stored Windows-1252 bytes of the two fields, as a record holds them.
Verdict verdict(QByteArrayView result, QByteArrayView limit);
// The verdict with its reason.
Judgement judge(QStringView result, QStringView limit);

} // namespace limits

namespace reports {

inline constexpr int kResultRows = 30;

// "txtRisultato" or "txtLimite" with the row's number in two digits (1-based).
QString resultField(int row);
QString limitField(int row);

// The 1-based rows of a card (field name -> text) whose result is out of its limit.
QList<int> outOfLimitRows(const records::Values &card);
// Whether a stored report holds at least one result out of its limit. Safe to call from
// the search's two scanning threads at once.
bool hasOutOfLimit(records::RecordView report);

// "riga 4", "righe 4, 17": rows as the summary and the card's page buttons name them.
QString rowsInWords(const QList<int> &rows);
// "Risultati fuori limite: 2 (righe 4, 17)", "Risultati fuori limite: 1 (riga 4)"; empty
// when there are none.
QString outOfLimitSummary(const QList<int> &rows);

} // namespace reports
