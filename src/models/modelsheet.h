#pragma once
// The printed analysis model ("Modello di analisi"): the texts of its template objects.

#include "storage/values.h"

namespace models {

inline const QString kSheetTemplate = QStringLiteral("modello_analisi");

// Name, sample and the thirty rows' parameter, method, unit and limit, each trimmed,
// under their own field names. The print stamp is not among them.
records::Values sheetTexts(const records::Values &card);

} // namespace models
