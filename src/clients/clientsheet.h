#pragma once
// The printed client card ("Scheda informativa"): the texts of its template objects,
// filled from the card's fields as they stand.

#include "storage/values.h"

namespace clients {

inline const QString kSheetTemplate = QStringLiteral("scheda_cliente");

// txtTitolo, and for n = 01..24 the caption titCampo<n> and the value txtCampo<n>
// built from the card's fields, each trimmed. The print stamp is not among them.
records::Values sheetTexts(const records::Values &card);

} // namespace clients
