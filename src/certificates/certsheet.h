#pragma once
// The printed chemical-analysis certificate ("Certificato di analisi chimica"): the texts
// of the objects of its two pages, built from the certificate card's field values as
// they stand, saved or not.

#include "storage/values.h"

#include <QList>
#include <utility>

namespace certificates {

inline const QString kSheetTemplate = QStringLiteral("certificato_analisi");

// Every text object of the two pages that takes a card value. The front: the
// laboratory lines, number and issue date, the analysis, the client lines, the sample
// and its history, the methods and the motivation; the back: the attached documents,
// the two retention times, the conclusions, the chemist and the professional order.
// Each card value is trimmed; captions and separators are printed even when the value
// after them is empty. Line breaks inside the long texts come out as "\n", whether the
// card gives them as typed or as stored (CR LF).
records::Values sheetTexts(const records::Values &card);

// The boxes that must print whole, in the order of the card: object name and the caption
// the user knows the field by. The long texts and the sample wrap inside boxes of fixed
// height; what is longer does not reach the paper.
const QList<std::pair<QString, QString>> &wholeBoxes();

} // namespace certificates
