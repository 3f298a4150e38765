#pragma once
// The start number of the automatic numbering as the numbering window keeps it.

#include <QString>

namespace reports {

// The text of the start field once the user leaves it: empty or not a number gives "1";
// a number (decimal comma allowed) becomes the nearest whole number, halves upwards,
// without leading zeros ("007" gives "7", "2,5" gives "3").
QString normaliseStart(const QString &typed);

// A normalised start that the field and the settings can take: a whole number from 0 to
// 99999 (the field holds five characters). A negative start or a longer one is refused.
bool isAcceptedStart(const QString &normalised);

} // namespace reports
